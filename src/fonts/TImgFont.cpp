#include "fonts/TImgFont.h"

#include "fonts/FontSection.h"
#include "imaging/ImageLoader.h"
#include "imaging/PictureLimits.h"
#include "platform/DirectoryListing.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zot {

namespace {

// Round half to even of a / b (b > 0), exact in 64-bit integers.
qint64 roundDivHalfEven(qint64 a, qint64 b) {
    qint64 q = a / b;
    qint64 r = a % b;
    if (r < 0) {
        r += b;
        --q;
    }
    // Now a = q * b + r with 0 <= r < b.
    if (2 * r > b || (2 * r == b && (q & 1)))
        ++q;
    return q;
}

// c is one character: one UTF-16 unit, or two for one outside the BMP.
qint32 indexOf(const TImgFont& font, QStringView c) {
    const qint32 last = std::min(font.Count, qint32(TImgFont::kMaxCharacters));
    if (c.size() == 1) {
        // The usual character, compared in place: every line of a batch
        // looks up each of its characters here, more than once.
        const QChar one = c.front();
        for (qint32 i = last; i >= 1; --i) {
            const QString& name = font.CharNames[i];
            if (name.size() == 1 && name.front() == one)
                return i;
        }
        return 0;
    }
    for (qint32 i = last; i >= 1; --i) {
        if (font.CharNames[i] == c)
            return i;
    }
    return 0;
}

struct FirstPass {
    qint64 total = 0;
    qint64 found = 0;
};

FirstPass measure(const TImgFont& font, const QString& lowered) {
    FirstPass pass;
    const qsizetype L = lowered.size();
    for (qsizetype i = 0; i < L;) {
        const QStringView c = QStringView(lowered).mid(i, characterLength(lowered, i));
        i += c.size();
        if (const qint32 idx = indexOf(font, c)) {
            pass.total += font.CharImages[idx].width();
            ++pass.found;
        }
        if (font.Width == -1 && i < L)
            pass.total += font.CharSpace;
        if (c == u" ")
            pass.total += font.Space;
    }
    return pass;
}

QString lowered(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        c = lowerAZ(c);
    return out;
}

} // namespace

void ParseImgFontSection(FontSectionEditor& editor, ScriptLines& lines) {
    SectionFont<TImgFont> font(editor.ImgFonts());
    readSection(editor, lines, u"imgFontEnd",
                QStringLiteral("Missing \"ImgFontEnd\" at end of file!"),
                [&font](const ScriptLine& line) {
                    const QString& cmd = line.command;
                    const QString& value = line.value;
                    if (cmd == u"name")
                        font->FolderName = value;
                    else if (cmd == u"align")
                        font->Align = alignLetter(value);
                    else if (cmd == u"transparent")
                        font->Transparent = true;
                    else if (cmd == u"label")
                        font->LabelCaption = value;
                    else if (cmd == u"space")
                        font->Space = StrToInt(value);
                    else if (cmd == u"charspace")
                        font->CharSpace = StrToInt(value);
                    else if (cmd == u"width")
                        font->Width = StrToInt(value);
                    else if (cmd == u"xpos" && value == u"center")
                        font->Centered = true;
                    else if (cmd == u"xpos")
                        font->XPos = StrToInt(value);
                    else if (cmd == u"ypos")
                        font->YPos = StrToInt(value);
                    else if (cmd == u"default")
                        font->DefaultText = value;
                    else
                        return false;
                    return true;
                });

    if (font->Align == u'F' && font->Width == -1) {
        editor.appendError(
            QStringLiteral("Error: Enter value for width when using fill for align."));
        return;
    }
    if (!font.addLabelInput(editor))
        return;
    LoadCharacters(
        *font, editor.designFolderPath(),
        [&editor](const QString& line) { editor.appendError(line); }, editor.pictureBudget());
}

void LoadCharacters(TImgFont& font, const QString& designFolderPath,
                    const std::function<void(const QString&)>& report, PictureBudget* budget) {
    PictureBudget own;
    font.Count = 0;
    QString folder = joinPath(designFolderPath, font.FolderName);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    for (const DirectoryEntry& entry : listDirectory(folder)) {
        if (entry.isDirectory)
            continue;
        if (font.Count >= TImgFont::kMaxCharacters) {
            if (report)
                report(QStringLiteral("The character folder ") + folder +
                       QStringLiteral(" holds more than 100 files: the rest are ignored."));
            break;
        }
        ++font.Count;
        Bitmap image = loadPicture(folder + entry.name, budget ? *budget : own);
        image.setTransparent(font.Transparent);
        font.CharImages[font.Count] = std::move(image);
        // Up to the first "."; without one the name is empty and never matches.
        const qsizetype dot = entry.name.indexOf(u'.');
        font.CharNames[font.Count] = dot < 0 ? QString() : entry.name.left(dot);
    }
}

qint32 IndexOfCharacter(const TImgFont& font, const QString& character) {
    if (character.isEmpty() || characterLength(character, 0) != character.size())
        return 0;
    return indexOf(font, character);
}

qint32 MeasureText(const TImgFont& font, const QString& text) {
    return saturateToInt32(measure(font, lowered(text)).total);
}

TextLayout LayoutText(const TImgFont& font, const QString& text) {
    TextLayout layout;
    const FirstPass pass = measure(font, lowered(text));
    qint64 total = pass.total;
    const qint64 n = pass.found;
    layout.charSpace = font.CharSpace;

    switch (font.Align.unicode()) {
    case u'C':
    case u'L':
    case u'R':
        total += (n - 1) * qint64(font.CharSpace);
        break;
    case u'F':
        if (n > 1)
            layout.charSpace = saturateToInt32(roundDivHalfEven(qint64(font.Width) - total, n - 1));
        break;
    default:
        break;
    }
    total = std::max<qint64>(total, 0);

    layout.height = font.Count >= 1 ? font.CharImages[1].height() : 0;
    layout.width = total;
    if (font.Width != -1) {
        layout.width = std::max<qint64>(font.Width, 0);
        switch (font.Align.unicode()) {
        case u'C':
            layout.x = (qint64(font.Width) - total) / 2;
            break;
        case u'F':
            layout.x = n > 1 ? 0 : roundDivHalfEven(qint64(font.Width) - total, 2);
            break;
        case u'R':
            layout.x = qint64(font.Width) - total;
            break;
        default:
            layout.x = 0;
            break;
        }
    }
    return layout;
}

Bitmap ComposeText(TImgFont& font, const QString& text) {
    const TextLayout layout = LayoutText(font, text);
    font.CharSpace = layout.charSpace;
    checkPictureSize(layout.width, layout.height, 32);
    Bitmap picture = Bitmap::create(int(layout.width), int(layout.height), 32);
    picture.setTransparent(font.Transparent);
    if (picture.isEmpty())
        return picture;

    const QString lower = lowered(text);
    const qsizetype L = lower.size();
    qint64 x = layout.x;
    for (qsizetype i = 0; i < L;) {
        const QStringView c = QStringView(lower).mid(i, characterLength(lower, i));
        i += c.size();
        if (const qint32 idx = indexOf(font, c)) {
            const Bitmap& image = font.CharImages[idx];
            picture.draw(image, x, 0);
            x += image.width();
        }
        if (i < L)
            x += font.CharSpace;
        if (c == u" ")
            x += font.Space;
    }
    return picture;
}

qint32 CharacterPitch(const TImgFont& font) {
    const qint64 first = font.Count >= 1 ? font.CharImages[1].width() : 0;
    return saturateToInt32(first + font.CharSpace);
}

} // namespace zot
