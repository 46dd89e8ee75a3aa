#include "fonts/TTtfFont.h"

#include "fonts/FontSection.h"
#include "fonts/TImgFont.h"
#include "fonts/TextEffects.h"
#include "imaging/Bitmap.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"
#include "platform/SystemColors.h"
#include "script/IntegerConversion.h"
#include "text/Characters.h"

#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <map>

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

// The font height "size" gives for a size in points.
qint32 heightForSize(qint64 size) {
    return saturateToInt32(-mulDivRound(size, screenPixelsPerInch(), 72));
}

// Characters a one-line layout treats otherwise than QPainter::drawText does
// (tabs, line and paragraph separators, soft hyphens, objects, the string
// terminator metrics stop at): such texts are drawn and measured as always.
bool layoutDiffers(QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == 0xad || u == 0x2028 || u == 0x2029 ||
            u == 0xfffc)
            return true;
    }
    return false;
}

// The glyphs' ink as drawText shapes and draws them (marks stacked, fallback
// fonts included), relative to the start of the baseline: for the texts
// that keep drawText's own shaping.
QRect drawTextInk(const QFont& font, const QFontMetrics& fm, const QString& text) {
    QRectF ink = fm.boundingRect(text);
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (line.isValid()) {
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

// Lays a text out in one line, as QPainter::drawText would draw it at the
// start of a baseline, with the extra space of tracking after every
// character (a letter with its marks is one) but the last.
TextLine layOut(const QFont& base, const QString& text, qint32 tracking, bool decorated) {
    TextLine l;
    l.text = text;
    l.font = base;
    if (tracking != 0)
        l.font.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    const QFontMetrics fm(l.font);
    l.ascent = fm.ascent();
    l.height = fm.height();
    l.maxWidth = fm.maxWidth();
    if (text.isEmpty())
        return l;
    // Cut from runs: texts with control characters keep their own shaping.
    const bool shaped = !layoutDiffers(text);
    l.byDrawText = decorated || !shaped;
    // The platform puts letter spacing after the last character too.
    l.tracking = tracking;
    if (!shaped) {
        l.advance = fm.horizontalAdvance(text) - tracking;
        l.ink = drawTextInk(l.font, fm, text);
        return l;
    }
    QTextLayout layout(text, l.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    // As a painter lays out: the direction of the first letter that has one,
    // from the left.
    option.setTextDirection(Qt::LayoutDirectionAuto);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return l;
    // Rounded as the platform's metrics round it.
    l.advance = qint64(std::floor(line.horizontalAdvance() + 0.5)) - tracking;
    l.runBaseline = line.ascent();
    l.runs = layout.glyphRuns();
    // Glyphs of fallback fonts, and the boxes of missing ones, do not always
    // come out of a glyph run as drawText draws them (marks on them shift by
    // a pixel now and then): drawText keeps drawing those lines.
    l.byDrawText = l.byDrawText || l.runs.size() > 1 ||
                   (l.runs.size() == 1 && l.runs.front().glyphIndexes().contains(0u));
    // Each glyph's own box: a run's box leaves out marks past its advance.
    QRectF ink;
    for (const QGlyphRun& run : l.runs) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            const QRectF box = raw.boundingRect(glyphs[i]);
            if (!box.isEmpty())
                ink |= box.translated(positions[i].x(), positions[i].y() - l.runBaseline);
        }
    }
    l.ink = ink.toAlignedRect();
    return l;
}

// Box radius of a blur reaching about radius pixels, in three passes.
int boxRadius(int radius) {
    return (std::clamp(radius, 0, 64) + 2) / 3;
}

// What the effects reach around the letters and their outline.
struct Reach {
    int glow = 0;   // 3 box radii
    int shadow = 0; // 3 box radii
    QPoint offset;
};

bool hasShadow(const TTtfFont& f) {
    return f.ShadowX != 0 || f.ShadowY != 0 || f.ShadowBlur > 0;
}

// Whether the letters are drawn in layers (outline, glow, shadow) rather
// than straight onto the logo.
bool hasLayers(const TTtfFont& f) {
    return f.Outline > 0 || f.Glow > 0 || hasShadow(f);
}

Reach reachOf(const TTtfFont& f) {
    Reach r;
    if (f.Glow > 0)
        r.glow = 3 * boxRadius(f.Glow);
    if (hasShadow(f)) {
        r.shadow = 3 * boxRadius(f.ShadowBlur);
        r.offset = QPoint(f.ShadowX, f.ShadowY);
    }
    return r;
}

// a grown by m on every side, without overflow for the sizes at hand.
QRect grown(const QRect& a, int m) {
    return a.isEmpty() ? a : a.adjusted(-m, -m, m, m);
}

// 64-bit rectangle clipped to a QRect's range.
QRect clippedRect(qint64 l, qint64 t, qint64 r, qint64 b, const QRect& to) {
    l = std::max<qint64>(l, to.left());
    t = std::max<qint64>(t, to.top());
    r = std::min<qint64>(r, qint64(to.right()) + 1);
    b = std::min<qint64>(b, qint64(to.bottom()) + 1);
    return l < r && t < b ? QRect(int(l), int(t), int(r - l), int(b - t)) : QRect();
}

// Where the letters and their outline may put ink, in logo coordinates,
// clipped to bound: the ink box and the text cell (underline and
// strike-out run along the advance), with room for antialiasing and for
// slanted or emboldened faces the platform makes up.
QRect letterBox(const TextLine& l, qint64 x, qint64 y, int outline, const QRect& bound) {
    const qint64 baseline = y + l.ascent;
    const qint64 pad = 2 + l.height / 8 + outline;
    const qint64 left = std::min<qint64>(x + l.ink.left(), x) - pad;
    const qint64 right =
        std::max<qint64>(x + l.ink.right() + 1, x + l.advance + std::max(0, l.tracking)) + pad;
    const qint64 top = std::min<qint64>(baseline + l.ink.top(), y) - pad;
    const qint64 bottom = std::max<qint64>(baseline + l.ink.bottom() + 1, y + l.height) + pad;
    return clippedRect(left, top, right, bottom, bound);
}

// The places of the effects' pictures on a logo.
struct EffectRects {
    QRect letters; // letters and outline, on the logo
    QRect glow;    // on the logo
    QRect shadow;  // on the logo
};

EffectRects effectRects(const TTtfFont& f, const TextLine& l, qint64 x, qint64 y, QSize logo) {
    const Reach reach = reachOf(f);
    const QRect onLogo(QPoint(0, 0), logo);
    // Far enough around the logo for anything that could reach into it.
    const int far = 2 * 64 + 2 * 1024 + 8;
    const QRect letters = letterBox(l, x, y, f.Outline, grown(onLogo, far));
    EffectRects r;
    r.letters = letters & onLogo;
    if (f.Glow > 0)
        r.glow = grown(letters, reach.glow) & onLogo;
    if (hasShadow(f))
        r.shadow = grown(letters, reach.shadow).translated(reach.offset) & onLogo;
    return r;
}

// Draws the letters as the fill draws them, the cell's top-left at (x, top).
void drawLetters(QPainter& p, const TextLine& l, double x, double top) {
    if (l.byDrawText) {
        p.setFont(l.font);
        // As laid out: by the text's own direction, whatever the window's
        // language (a right-to-left one would turn every line round).
        p.setLayoutDirection(Qt::LayoutDirectionAuto);
        p.drawText(QPointF(x, top + l.ascent), l.text);
    } else {
        const QPointF at(x, top + l.ascent - l.runBaseline);
        for (const QGlyphRun& run : l.runs)
            p.drawGlyphRun(at, run);
    }
}

// The letters as the fill draws them, as coverage over rect (logo
// coordinates), for a cell at (x, y). Glyph outlines are not asked of the
// platform, whose outlines of a glyph vary by a fraction of a pixel with
// what it drew before.
QImage letterCoverage(const TextLine& l, qint64 x, qint64 y, const QRect& rect) {
    // Drawn in full colour, which the platform draws far faster than alpha
    // alone, and its alpha kept.
    QImage drawn(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull())
        throw Error::pictureTooLarge(rect.width(), rect.height());
    drawn.fill(Qt::transparent);
    {
        QPainter p(&drawn);
        p.setPen(Qt::white);
        drawLetters(p, l, double(x - rect.x()), double(y - rect.y()));
    }
    QImage mask = drawn.convertToFormat(QImage::Format_Alpha8);
    if (mask.isNull())
        throw Error::pictureTooLarge(rect.width(), rect.height());
    return mask;
}

// The box of a coverage picture's pixels that are not clear, in its own
// coordinates.
QRect inkOf(const QImage& mask) {
    int left = mask.width(), right = -1, top = -1, bottom = -1;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        const uchar* end = row + mask.width();
        const uchar* first = std::find_if(row, end, [](uchar a) { return a != 0; });
        if (first == end)
            continue;
        const uchar* last = end - 1;
        while (*last == 0)
            --last;
        left = std::min(left, int(first - row));
        right = std::max(right, int(last - row));
        top = top < 0 ? y : top;
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// The part of a coverage picture over rect, clear where it has none.
QImage part(const QImage& mask, const QRect& maskRect, const QRect& rect) {
    QImage out(rect.size(), QImage::Format_Alpha8);
    if (out.isNull())
        throw Error::pictureTooLarge(rect.width(), rect.height());
    out.fill(0);
    const QRect common = maskRect & rect;
    for (int yy = common.top(); yy <= common.bottom(); ++yy)
        std::memcpy(out.scanLine(yy - rect.y()) + (common.x() - rect.x()),
                    mask.constScanLine(yy - maskRect.y()) + (common.x() - maskRect.x()),
                    size_t(common.width()));
    return out;
}

// The blurred coverage over out (logo coordinates, already shifted by
// offset), reaching reach: worked out over out grown by the reach, so that
// every pixel of out is what an unclipped blur gives.
QImage blurred(const QImage& mask, const QRect& maskRect, const QRect& out, QPoint offset,
               int radius) {
    const int reach = 3 * radius;
    const QRect source = grown(out.translated(-offset), reach);
    QImage work = part(mask, maskRect, source);
    boxBlur3(work, radius);
    return work.copy(QRect(QPoint(reach, reach), out.size()));
}

// The gradient's colours row by row over rows first to first + count - 1 of
// a cell of the given height (rows above and below it take its ends), as a
// brush column: a picture is drawn the same at any offset, where a gradient
// may round otherwise.
QImage gradientColumn(QRgb top, QRgb bottom, int cellHeight, int first, int count) {
    QImage column(1, std::max(count, 1), QImage::Format_RGB32);
    const int h = std::max(cellHeight, 1);
    for (int i = 0; i < column.height(); ++i) {
        const double t = std::clamp((double(first + i) + 0.5) / h, 0.0, 1.0);
        const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
        column.setPixel(0, i,
                        qRgb(mix(qRed(top), qRed(bottom)), mix(qGreen(top), qGreen(bottom)),
                             mix(qBlue(top), qBlue(bottom))));
    }
    return column;
}

std::shared_ptr<EffectLayers> makeEffects(const TTtfFont& f, const TextLine& l, qint64 x, qint64 y,
                                          QSize logo) {
    auto layers = std::make_shared<EffectLayers>();
    layers->cell = QPoint(int(x), int(y));
    layers->logo = logo;
    const EffectRects r = effectRects(f, l, x, y, logo);
    const Reach reach = reachOf(f);
    // The coverage once, over every place the effects read it from, and
    // the letters that the outline brings there.
    QRect need = r.letters;
    if (!r.glow.isEmpty())
        need |= grown(r.glow, reach.glow);
    if (!r.shadow.isEmpty())
        need |= grown(r.shadow.translated(-reach.offset), reach.shadow);
    const QRect far = letterBox(l, x, y, f.Outline, grown(QRect(QPoint(0, 0), logo), 4096));
    const QRect drawn = grown(need, f.Outline) & far;
    if (drawn.isEmpty())
        return layers;
    const QImage letters = letterCoverage(l, x, y, drawn);
    // Only the letters' own box and the outline around it hold anything:
    // the effects are worked out there alone.
    const QRect ink = inkOf(letters).translated(drawn.topLeft());
    if (ink.isEmpty())
        return layers;
    const QRect maskRect = grown(ink, f.Outline) & drawn;
    QImage mask = part(letters, drawn, maskRect);
    if (f.Outline > 0)
        dilate(mask, f.Outline);
    const QRect glow = r.glow & grown(maskRect, reach.glow);
    if (!glow.isEmpty()) {
        layers->glow = tinted(blurred(mask, maskRect, glow, {}, reach.glow / 3),
                              colorFromWindowsValue(f.GlowColor), 2);
        layers->glowAt = glow.topLeft();
    }
    const QRect shadow = r.shadow & grown(maskRect, reach.shadow).translated(reach.offset);
    if (!shadow.isEmpty()) {
        layers->shadow = tinted(blurred(mask, maskRect, shadow, reach.offset, reach.shadow / 3),
                                colorFromWindowsValue(f.ShadowColor));
        layers->shadowAt = shadow.topLeft();
    }
    const QRect outline = r.letters & maskRect;
    if (f.Outline > 0 && !outline.isEmpty()) {
        layers->outline =
            tinted(part(mask, maskRect, outline), colorFromWindowsValue(f.OutlineColor));
        layers->outlineAt = outline.topLeft();
    }
    // The letters themselves from the same coverage: drawn once, not twice.
    const QRect fill = r.letters & ink;
    if (!fill.isEmpty()) {
        const QRgb top = colorFromWindowsValue(f.Color);
        const QRgb bottom = f.GradientColor ? colorFromWindowsValue(*f.GradientColor) : top;
        const QImage column =
            gradientColumn(top, bottom, l.height, int(fill.y() - y), fill.height());
        layers->fill =
            tinted(part(letters, drawn, fill), [&column](int row) { return column.pixel(0, row); });
        layers->fillAt = fill.topLeft();
    }
    return layers;
}

} // namespace

TTtfFont::TTtfFont() : DefaultText(kDefaultSampleText) {}

void TTtfFont::invalidate() {
    line_.reset();
    metrics_.reset();
    font_.reset();
}

bool TTtfFont::hasEffects() const {
    return hasLayers(*this) || GradientColor.has_value();
}

QFont TTtfFont::fontForHeight(qint32 height) const {
    QFont font(DesignFamily.isEmpty() ? Name : DesignFamily);
    font.setKerning(false);
    font.setBold(Bold);
    font.setItalic(Italic);
    font.setUnderline(Underline);
    font.setStrikeOut(StrikeOut);
    if (height < 0) {
        // A character height: the em size.
        font.setPixelSize(int(std::min<qint64>(-qint64(height), kMaxPixelSize)));
    } else {
        // A cell height (ascent + descent), or the default size for 0.
        const int cell = height == 0 ? 11 : int(std::min<qint32>(height, kMaxPixelSize));
        font.setPixelSize(cell);
        const int natural = QFontMetrics(font).height();
        if (natural > 0 && natural != cell) {
            const qint64 scaled = qint64(std::lround(double(cell) * cell / natural));
            font.setPixelSize(int(std::clamp<qint64>(scaled, 1, kMaxPixelSize)));
        }
    }
    return font;
}

const QFont& TTtfFont::qfont() const {
    if (!font_)
        font_ = fontForHeight(Height);
    return *font_;
}

const QFontMetrics& TTtfFont::metrics() const {
    if (!metrics_)
        metrics_.emplace(qfont());
    return *metrics_;
}

TextLine TTtfFont::fitted(const QString& spaced) const {
    const bool decorated = Underline || StrikeOut;
    TextLine l = layOut(qfont(), spaced, Tracking, decorated);
    if (FitWidth <= 0 || l.advance <= FitWidth)
        return l;
    // Sizes step down in points, keeping the sign of "size"; a negative one
    // is a cell height.
    const qint64 sign = Size < 0 ? -1 : 1;
    const qint64 top = std::llabs(qint64(Size));
    const qint64 lowest = std::clamp<qint64>(MinSize, 1, std::max<qint64>(top, 1));
    if (top <= lowest)
        return l;
    std::map<qint64, TextLine> tried;
    const auto at = [&](qint64 size) -> const TextLine& {
        auto it = tried.find(size);
        if (it == tried.end())
            it = tried
                     .emplace(size, layOut(fontForHeight(heightForSize(sign * size)), spaced,
                                           Tracking, decorated))
                     .first;
        return it->second;
    };
    const auto fits = [&](qint64 size) { return at(size).advance <= FitWidth; };
    // The sizes just below first, one by one: a text a little too long.
    qint64 size = top - 1;
    for (int k = 0; k < 8 && size > lowest; ++k, --size) {
        if (fits(size))
            return at(size);
    }
    // Further down widths shrink with the size, so halving the range finds
    // the size stepping down would reach, without a shaping per point.
    qint64 lo = lowest, hi = size; // the answer lies in [lo, hi]
    if (!fits(lo))
        return at(lo);
    while (lo < hi) {
        const qint64 mid = lo + (hi - lo + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    // Rounding may make a size fit that is a little above one that does not.
    for (qint64 s = std::min(size, lo + 8); s > lo; --s) {
        if (fits(s))
            return at(s);
    }
    return at(lo);
}

const TextLine& TTtfFont::line(const QString& spaced) const {
    if (!line_ || line_->text != spaced)
        line_ = std::make_shared<const TextLine>(fitted(spaced));
    return *line_;
}

void ParseTtfFontSection(FontSectionEditor& editor, ScriptLines& lines) {
    SectionFont<TTtfFont> font(editor.TtfFonts());
    readSection(editor, lines, u"ttfFontEnd",
                QStringLiteral("Missing \"ttfFontEnd\" at end of file!"),
                [&font](const ScriptLine& line) {
                    const QString& cmd = line.command;
                    const QString& value = line.value;
                    const auto number = [&value](qint32 low, qint32 high) {
                        return std::clamp<qint32>(StrToInt(value), low, high);
                    };
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
                        font->Size = StrToInt(value);
                        font->Height = heightForSize(font->Size);
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
                    } else if (cmd == u"outline") {
                        font->Outline = number(0, 64);
                    } else if (cmd == u"outlineColor") {
                        font->OutlineColor = StrToInt(value);
                    } else if (cmd == u"shadowX") {
                        font->ShadowX = number(-1024, 1024);
                    } else if (cmd == u"shadowY") {
                        font->ShadowY = number(-1024, 1024);
                    } else if (cmd == u"shadowBlur") {
                        font->ShadowBlur = number(0, 64);
                    } else if (cmd == u"shadowColor") {
                        font->ShadowColor = StrToInt(value);
                    } else if (cmd == u"glow") {
                        font->Glow = number(0, 64);
                    } else if (cmd == u"glowColor") {
                        font->GlowColor = StrToInt(value);
                    } else if (cmd == u"gradient") {
                        font->GradientColor = StrToInt(value);
                    } else if (cmd == u"tracking") {
                        font->Tracking = number(-64, 1024);
                    } else if (cmd == u"fitWidth") {
                        font->FitWidth = number(0, 65535);
                    } else if (cmd == u"minSize") {
                        font->MinSize = number(1, std::numeric_limits<qint32>::max());
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
    return saturateToInt32(font.advance(SpacedText(font, text)));
}

TextPlacement PlaceText(TTtfFont& font, const QString& text, int logoWidth, int logoHeight) {
    TextPlacement placed;
    placed.spaced = SpacedText(font, text);
    if (font.Centered)
        font.XPos = logoWidth / 2;
    const TextLine& l = font.line(placed.spaced);
    const qint64 w = l.advance;
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
    placed.y = font.YPos;
    placed.logo = QSize(logoWidth, logoHeight);
    const bool plain = !font.hasEffects() && font.Tracking == 0;
    if (plain) {
        // Entirely outside: nothing to clip, nothing to draw.
        if (placed.x >= logoWidth || placed.x + w + l.maxWidth < 0 || placed.y >= logoHeight ||
            placed.y + l.height < 0)
            return placed;
    }
    const EffectRects rects = effectRects(font, l, placed.x, placed.y, placed.logo);
    placed.area = rects.letters | rects.glow | rects.shadow;
    if (!plain && placed.area.isEmpty())
        return placed;
    placed.drawn = true;
    placed.colour = colorFromWindowsValue(font.Color);
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
    const TextLine& l = font.line(placement.spaced);
    const double x = double(placement.x - origin.x());
    const double top = double(placement.y - origin.y());
    if (hasLayers(font)) {
        const QPoint cell(int(placement.x), int(placement.y));
        if (!l.effects || l.effects->cell != cell || l.effects->logo != placement.logo)
            l.effects = makeEffects(font, l, placement.x, placement.y, placement.logo);
        const EffectLayers& e = *l.effects;
        for (const auto& [image, at] :
             {std::pair(&e.glow, e.glowAt), std::pair(&e.shadow, e.shadowAt),
              std::pair(&e.outline, e.outlineAt), std::pair(&e.fill, e.fillAt)}) {
            if (!image->isNull())
                p.drawImage(at - origin, *image);
        }
        return;
    }
    if (font.GradientColor) {
        // Rows of the letters' reach, from the cell's top.
        const int first = std::min(0, l.ascent + l.ink.top()) - 2;
        const int last = std::max(l.height, l.ascent + l.ink.bottom() + 1) + 2;
        QBrush brush(gradientColumn(placement.colour, colorFromWindowsValue(*font.GradientColor),
                                    l.height, first, last - first));
        brush.setTransform(QTransform::fromTranslate(0, top + first));
        p.setPen(QPen(brush, 0));
    } else {
        p.setPen(QColor::fromRgb(placement.colour));
    }
    drawLetters(p, l, x, top);
}

void PaintText(TTtfFont& font, const QString& text, Bitmap& logo) {
    const TextPlacement placed = PlaceText(font, text, logo.width(), logo.height());
    PaintPlacedText(font, placed, logo, QPoint(0, 0));
}

} // namespace zot
