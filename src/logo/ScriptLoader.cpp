#include "imaging/ImageLoader.h"
#include "logo/LogoEngine.h"
#include "platform/FontTable.h"
#include "script/IntegerConversion.h"

#include <QScopeGuard>
#include <algorithm>
#include <vector>

namespace zot {

namespace {

std::optional<ExpandMode> expandModeFromKeyword(const QString& value) {
    if (value == u"center")
        return ExpandMode::Center;
    if (value == u"character")
        return ExpandMode::Character;
    if (value == u"leftright")
        return ExpandMode::LeftRight;
    if (value == u"left")
        return ExpandMode::Left;
    if (value == u"right")
        return ExpandMode::Right;
    return std::nullopt;
}

// The end-of-script message for a mode whose pieces are missing, or none.
QString missingPieceMessage(const Design& d) {
    const QString left = QStringLiteral(
        "Background expand is set to Left without specifying a backgroundExtraLeft image.");
    const QString right = QStringLiteral(
        "Background expand is set to Right without specifying a backgroundExtraRight image.");
    switch (d.ExpandFrom) {
    case ExpandMode::None:
        return {};
    case ExpandMode::Center:
        return d.HasExtraCenter ? QString()
                                : QStringLiteral("Background expand is set to center without "
                                                 "specifying a backgroundExtraCenter image.");
    case ExpandMode::Character:
        return d.HasExtraCenter ? QString()
                                : QStringLiteral("Background expand is set to character without "
                                                 "specifying a backgroundExtraCenter image.");
    case ExpandMode::Left:
        return d.HasExtraLeft ? QString() : left;
    case ExpandMode::Right:
        return d.HasExtraRight ? QString() : right;
    case ExpandMode::LeftRight:
        if (!d.HasExtraRight)
            return right;
        return d.HasExtraLeft ? QString() : left;
    }
    return {};
}

} // namespace

void LogoEngine::ParseScript() {
    Design& d = design_;
    drawn_.reset();
    composed_ = Bitmap();
    d.LineNumber = 0;
    d.TtfFonts.clear();
    d.ExtraMarge = 0;
    // A later line replaces a picture: what the old one took is free again.
    // A picture kept from the design before was never taken from this budget.
    std::vector<const Bitmap*> loadedHere;
    // The fonts the design ships draw the lines that name them, whichever
    // came first, also when a bad number ends the reading.
    const auto useDesignFamilies = [&d] {
        for (const auto& font : d.TtfFonts) {
            font->DesignFamily = d.mFontTable.familyFor(font->Name).value_or(QString());
            font->invalidate();
        }
    };
    auto onEarlyEnd = qScopeGuard(useDesignFamilies);
    const auto loadInto = [this, &d, &loadedHere](Bitmap& picture, QImage& alpha,
                                                  const QString& name) {
        if (std::find(loadedHere.begin(), loadedHere.end(), &picture) != loadedHere.end())
            d.Pictures.give(pictureBytes(picture) + alpha.sizeInBytes());
        else
            loadedHere.push_back(&picture);
        picture = Bitmap();
        alpha = QImage();
        const QString path = designFile(name);
        filesRead_.append(path);
        picture = loadPicture(path, d.Pictures, alpha);
    };

    while (!reScript.isEmpty()) {
        const ScriptLine line = ReadScriptLine(reScript, d.LineNumber);
        const QString& cmd = line.command;
        if (cmd.isEmpty())
            continue;
        if (cmd == u"imgFont") {
            const size_t before = d.ImgFonts.size();
            ParseImgFontSection(*this, reScript);
            if (d.ImgFonts.size() > before)
                filesRead_.append(joinPath(designFolderPath(), d.ImgFonts.back()->FolderName));
        } else if (cmd == u"ttfFont") {
            ParseTtfFontSection(*this, reScript);
        } else if (cmd == u"name") {
            observer_.captionChanged(line.value);
        } else if (cmd == u"installTempFontResource") {
            d.mFonts.append(line.value);
            filesRead_.append(designFile(line.value));
            d.mFontTable.add(filesRead_.back());
        } else if (cmd == u"backgroundExtraMarge") {
            d.ExtraMarge = StrToInt(line.value);
        } else if (cmd == u"backgroundImage") {
            loadInto(d.imgBackground, d.alphaBackground, line.value);
            observer_.viewSizeSet(d.imgBackground.width(), d.imgBackground.height());
        } else if (cmd == u"backgroundExtraLeft") {
            loadInto(d.imgExtraLeft, d.alphaExtraLeft, line.value);
            d.HasExtraLeft = true;
        } else if (cmd == u"backgroundExtraCenter") {
            loadInto(d.imgExtraCenter, d.alphaExtraCenter, line.value);
            d.HasExtraCenter = true;
        } else if (cmd == u"backgroundExtraRight") {
            loadInto(d.imgExtraRight, d.alphaExtraRight, line.value);
            d.HasExtraRight = true;
        } else if (cmd == u"backgroundExtraExpandFrom") {
            if (const auto mode = expandModeFromKeyword(line.value))
                d.ExpandFrom = *mode;
            else
                appendError(unknownValueReport(d.LineNumber, line.rawLine));
        } else {
            appendError(unknownCommandReport(d.LineNumber, line.rawLine));
        }
    }

    onEarlyEnd.dismiss();
    useDesignFamilies();
    const QString missing = missingPieceMessage(d);
    if (missing.isEmpty())
        RenderLogo();
    else
        appendError(missing);
}

} // namespace zot
