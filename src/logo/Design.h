#pragma once

#include "fonts/FontSection.h"
#include "fonts/TImgFont.h"
#include "fonts/TTtfFont.h"
#include "imaging/Bitmap.h"
#include "imaging/PictureBudget.h"
#include "platform/FontTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace zot {

enum class ExpandMode { None = 0, Center = 1, LeftRight = 2, Left = 3, Right = 4, Character = 5 };

// The open design: what its script set up.
struct Design {
    QString DesignFolder;
    std::vector<std::unique_ptr<TTtfFont>> TtfFonts; // TtfFonts[0] is font 1
    std::vector<std::unique_ptr<TImgFont>> ImgFonts;
    qint32 LineNumber = 0;
    qint32 ExtraMarge = 0;
    ExpandMode ExpandFrom = ExpandMode::None;
    bool HasExtraLeft = false;
    bool HasExtraCenter = false;
    bool HasExtraRight = false;
    Bitmap imgBackground;
    Bitmap imgExtraLeft;
    Bitmap imgExtraCenter;
    Bitmap imgExtraRight;
    // The same four pictures with their alpha, where each is a PNG that has
    // one (else null). A logo has alpha when its background has.
    QImage alphaBackground;
    QImage alphaExtraLeft;
    QImage alphaExtraCenter;
    QImage alphaExtraRight;
    // The memory of all pictures above and of every character image.
    PictureBudget Pictures;
    QStringList mFonts;        // temporary font files, as written in the script
    InstalledFonts mFontTable; // those files in the font table

    bool hasAlpha() const { return !alphaBackground.isNull(); }
    qint32 TtfFontCount() const { return qint32(TtfFonts.size()); }
    qint32 ImgFontCount() const { return qint32(ImgFonts.size()); }
};

} // namespace zot
