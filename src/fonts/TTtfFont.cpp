#include "fonts/TTtfFont.h"

#include "fonts/FontSection.h"
#include "fonts/TImgFont.h"
#include "imaging/Bitmap.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"
#include "platform/SystemColors.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace zot {

namespace {

// Larger text could not show in any picture the program allows.
constexpr int kMaxPixelSize = kMaxPictureSide;

// The platform's MulDiv: a * b / c rounded half away from zero.
qint64 mulDivRound(qint64 a, qint64 b, qint64 c) {
    const qint64 p = a * b;
    const qint64 q = (std::llabs(p) + c / 2) / c;
    return p < 0 ? -q : q;
}

} // namespace

TTtfFont::TTtfFont() : DefaultText(kDefaultSampleText) {}

void TTtfFont::invalidate() {
    metrics_.reset();
    font_.reset();
}

const QFont& TTtfFont::qfont() const {
    if (!font_) {
        QFont font(Name);
        font.setKerning(false);
        font.setBold(Bold);
        font.setItalic(Italic);
        font.setUnderline(Underline);
        font.setStrikeOut(StrikeOut);
        if (Height < 0) {
            // A character height: the em size.
            font.setPixelSize(int(std::min<qint64>(-qint64(Height), kMaxPixelSize)));
        } else {
            // A cell height (ascent + descent), or the default size for 0.
            const int cell = Height == 0 ? 11 : int(std::min<qint32>(Height, kMaxPixelSize));
            font.setPixelSize(cell);
            const int natural = QFontMetrics(font).height();
            if (natural > 0 && natural != cell) {
                const qint64 scaled = qint64(std::lround(double(cell) * cell / natural));
                font.setPixelSize(int(std::clamp<qint64>(scaled, 1, kMaxPixelSize)));
            }
        }
        font_ = font;
    }
    return *font_;
}

const QFontMetrics& TTtfFont::metrics() const {
    if (!metrics_)
        metrics_.emplace(qfont());
    return *metrics_;
}

void ParseTtfFontSection(FontSectionEditor& editor, ScriptLines& lines) {
    SectionFont<TTtfFont> font(editor.TtfFonts());
    readSection(
        editor, lines, u"ttfFontEnd", QStringLiteral("Missing \"ttfFontEnd\" at end of file!"),
        [&font](const ScriptLine& line) {
            const QString& cmd = line.command;
            const QString& value = line.value;
            if (cmd == u"name") {
                if (!value.isEmpty())
                    font->Name = leftCharacters(value, 31).toString();
            } else if (cmd == u"color") {
                font->Color = StrToInt(value);
            } else if (cmd == u"align") {
                font->Align = alignLetter(value);
            } else if (cmd == u"label") {
                font->LabelCaption = value;
            } else if (cmd == u"size") {
                const qint64 size = StrToInt(value);
                font->Height = saturateToInt32(-mulDivRound(size, screenPixelsPerInch(), 72));
            } else if (cmd == u"bold") {
                font->Bold = true;
            } else if (cmd == u"italic") {
                font->Italic = true;
            } else if (cmd == u"underline") {
                font->Underline = true;
            } else if (cmd == u"strikeout") {
                font->StrikeOut = true;
            } else if (cmd == u"xpos" && value == u"center") {
                font->Centered = true;
            } else if (cmd == u"xpos") {
                font->XPos = StrToInt(value);
            } else if (cmd == u"ypos") {
                font->YPos = StrToInt(value);
            } else if (cmd == u"spaced") {
                font->Spaced = true;
            } else if (cmd == u"default") {
                font->DefaultText = value;
            } else {
                return false;
            }
            return true;
        });
    font->invalidate();
    font.addLabelInput(editor);
}

QString SpacedText(const TTtfFont& font, const QString& text) {
    if (!font.Spaced)
        return text;
    QString spaced;
    spaced.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = characterLength(text, i);
        spaced += QStringView(text).mid(i, n);
        spaced += u' ';
        i += n;
    }
    return spaced;
}

qint32 MeasureText(const TTtfFont& font, const QString& text) {
    const QString spaced = SpacedText(font, text);
    if (spaced.isEmpty())
        return 0;
    return font.metrics().horizontalAdvance(spaced);
}

void PaintText(TTtfFont& font, const QString& text, Bitmap& logo) {
    const QString spaced = SpacedText(font, text);
    if (font.Centered)
        font.XPos = logo.width() / 2;
    const qint64 w = spaced.isEmpty() ? 0 : font.metrics().horizontalAdvance(spaced);
    qint64 x = 0;
    switch (font.Align.unicode()) {
    case u'C':
        x = qint64(font.XPos) - w / 2;
        break;
    case u'L':
        x = font.XPos;
        break;
    case u'R':
        x = qint64(font.XPos) - w;
        break;
    default:
        return;
    }
    if (spaced.isEmpty() || logo.isEmpty())
        return;
    const QFontMetrics& fm = font.metrics();
    const qint64 y = font.YPos;
    // Entirely outside: nothing to clip, nothing to draw.
    if (x >= logo.width() || x + w + fm.maxWidth() < 0 || y >= logo.height() || y + fm.height() < 0)
        return;
    const QColor colour = QColor::fromRgb(colorFromWindowsValue(font.Color));
    const QFont& qf = font.qfont();
    const int ascent = fm.ascent();
    logo.paint([&](QPainter& p) {
        p.setFont(qf);
        p.setPen(colour);
        p.drawText(QPointF(double(x), double(y + ascent)), spaced);
    });
}

} // namespace zot
