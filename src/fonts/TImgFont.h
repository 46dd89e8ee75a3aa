#pragma once

#include "imaging/Bitmap.h"
#include "imaging/PictureBudget.h"

#include <QChar>
#include <QString>
#include <array>
#include <functional>

namespace zot {

class FontSectionEditor;
class ScriptLines;

// The text a new label input shows until the script gives a default.
inline const QString kDefaultSampleText = QStringLiteral("www.zotmaker.example");

// A font of character images: one picture per character, from a folder.
class TImgFont {
  public:
    static constexpr int kMaxCharacters = 100;

    qint32 Count = 0;
    std::array<QString, kMaxCharacters + 1> CharNames; // 1..100; [0] unused
    std::array<Bitmap, kMaxCharacters + 1> CharImages; // 1..100; [0] unused
    qint32 LabelIndex = 0;
    QString FolderName;
    QChar Align = QChar(0); // 'C', 'F', 'L', 'R'; anything else: no alignment
    qint32 XPos = 0;
    bool Centered = false;
    qint32 YPos = 0;
    qint32 Width = -1;
    qint32 Space = 0;
    qint32 CharSpace = 0;
    bool Transparent = false;
    QString LabelCaption;
    QString DefaultText = kDefaultSampleText;
};

// Reads an imgFont section up to imgFontEnd into a new font of the editor's
// design, gives it a label input and loads its characters.
void ParseImgFontSection(FontSectionEditor& editor, ScriptLines& lines);

// Loads every file of designFolderPath + FolderName as a character image.
// report gets one line when the folder holds more files than a font can use.
// The images are taken from budget when given (see loadPicture).
void LoadCharacters(TImgFont& font, const QString& designFolderPath,
                    const std::function<void(const QString&)>& report = {},
                    PictureBudget* budget = nullptr);
// Number (1..Count) of the image for a one-character text, 0 if none.
qint32 IndexOfCharacter(const TImgFont& font, const QString& character);
qint32 MeasureText(const TImgFont& font, const QString& text);
// Where ComposeText would put a text: the picture's size, where drawing
// starts, and the CharSpace the font has afterwards (fill alignment changes
// it). Allocates nothing.
struct TextLayout {
    qint64 width = 0;
    qint64 height = 0;
    qint64 x = 0;
    qint32 charSpace = 0;
};
TextLayout LayoutText(const TImgFont& font, const QString& text);
// The composed text picture; may change CharSpace (fill alignment).
// Throws Error::pictureTooLarge past the size limits.
Bitmap ComposeText(TImgFont& font, const QString& text);
qint32 CharacterPitch(const TImgFont& font);

} // namespace zot
