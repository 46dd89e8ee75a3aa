#include "fonts/TTtfFont.h"

#include "fonts/FontSection.h"
#include "fonts/TImgFont.h"
#include "imaging/Bitmap.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"
#include "platform/SystemColors.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
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

// The glyphs' ink as shaped and drawn (marks stacked, fallback fonts
// included), relative to the start of the baseline.
QRect inkBox(const TTtfFont& font, const QString& text) {
    QRectF ink = font.metrics().boundingRect(text);
    QTextLayout layout(text, font.qfont());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e9);
    layout.endLayout();
    if (line.isValid()) {
        // Each glyph's own box: a run's box leaves out marks past its advance.
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QRawFont raw = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i)
                ink |= raw.boundingRect(glyphs[i]).translated(positions[i].x(),
                                                              positions[i].y() - line.ascent());
        }
    }
    return ink.toAlignedRect();
}

} // namespace

TTtfFont::TTtfFont() : DefaultText(kDefaultSampleText) {}

void TTtfFont::invalidate() {
    lastAdvance_.reset();
    metrics_.reset();
    font_.reset();
}

qint64 TTtfFont::advance(const QString& spaced) const {
    if (spaced.isEmpty())
        return 0;
    if (!lastAdvance_ || lastAdvance_->first != spaced)
        lastAdvance_.emplace(spaced, metrics().horizontalAdvance(spaced));
    return lastAdvance_->second;
}

const QFont& TTtfFont::qfont() const {
    if (!font_) {
        QFont font(DesignFamily.isEmpty() ? Name : DesignFamily);
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
    return qint32(font.advance(SpacedText(font, text)));
}

TextPlacement PlaceText(TTtfFont& font, const QString& text, int logoWidth, int logoHeight) {
    TextPlacement placed;
    placed.spaced = SpacedText(font, text);
    if (font.Centered)
        font.XPos = logoWidth / 2;
    const qint64 w = font.advance(placed.spaced);
    switch (font.Align.unicode()) {
    case u'C':
        placed.x = qint64(font.XPos) - w / 2;
        break;
    case u'L':
        placed.x = font.XPos;
        break;
    case u'R':
        placed.x = qint64(font.XPos) - w;
        break;
    default:
        return placed;
    }
    if (placed.spaced.isEmpty() || logoWidth <= 0 || logoHeight <= 0)
        return placed;
    const QFontMetrics& fm = font.metrics();
    placed.y = font.YPos;
    // Entirely outside: nothing to clip, nothing to draw.
    if (placed.x >= logoWidth || placed.x + w + fm.maxWidth() < 0 || placed.y >= logoHeight ||
        placed.y + fm.height() < 0)
        return placed;
    placed.drawn = true;
    placed.colour = colorFromWindowsValue(font.Color);

    // The ink box of the glyphs and the text cell (underline and strike-out
    // run along the advance), with room for antialiasing and for slanted or
    // emboldened faces the platform makes up.
    const QRect ink = inkBox(font, placed.spaced);
    const qint64 baseline = placed.y + fm.ascent();
    const qint64 pad = 2 + fm.height() / 8;
    const qint64 left = std::min<qint64>(placed.x + ink.left(), placed.x) - pad;
    const qint64 right = std::max<qint64>(placed.x + ink.right() + 1, placed.x + w) + pad;
    const qint64 top = std::min<qint64>(baseline + ink.top(), placed.y) - pad;
    const qint64 bottom =
        std::max<qint64>(baseline + ink.bottom() + 1, placed.y + fm.height()) + pad;
    const qint64 l = std::clamp<qint64>(left, 0, logoWidth);
    const qint64 r = std::clamp<qint64>(right, 0, logoWidth);
    const qint64 t = std::clamp<qint64>(top, 0, logoHeight);
    const qint64 b = std::clamp<qint64>(bottom, 0, logoHeight);
    if (l < r && t < b)
        placed.area = QRect(int(l), int(t), int(r - l), int(b - t));
    return placed;
}

void PaintPlacedText(const TTtfFont& font, const TextPlacement& placement, Bitmap& target,
                     QPoint origin) {
    if (!placement.drawn || target.isEmpty())
        return;
    target.paint([&](QPainter& p) { PaintPlacedText(font, placement, p, origin); });
}

void PaintPlacedText(const TTtfFont& font, const TextPlacement& placement, QPainter& p,
                     QPoint origin) {
    if (!placement.drawn)
        return;
    const int ascent = font.metrics().ascent();
    const double x = double(placement.x - origin.x());
    const double y = double(placement.y + ascent - origin.y());
    p.setFont(font.qfont());
    p.setPen(QColor::fromRgb(placement.colour));
    p.drawText(QPointF(x, y), placement.spaced);
}

void PaintText(TTtfFont& font, const QString& text, Bitmap& logo) {
    const TextPlacement placed = PlaceText(font, text, logo.width(), logo.height());
    PaintPlacedText(font, placed, logo, QPoint(0, 0));
}

} // namespace zot
