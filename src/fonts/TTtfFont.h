#pragma once

#include <QChar>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QPainter;

namespace zot {

class Bitmap;
class FontSectionEditor;
class ScriptLines;
struct TextPlacement;

// The pictures of a line's effects at one place on one logo, each with its
// top-left pixel in logo coordinates; null where the effect is off.
struct EffectLayers {
    QPoint cell; // the text cell's top-left, and the logo's size: the key
    QSize logo;
    QImage glow, shadow, outline, fill; // premultiplied ARGB
    QPoint glowAt, shadowAt, outlineAt, fillAt;
};

// A text laid out once in a line's font: everything measuring, placing and
// drawing it needs, so that a rendering shapes it once.
struct TextLine {
    QString text; // as drawn (already spaced)
    QFont font;   // at the fitted size, with the tracking
    int ascent = 0;
    int height = 0;
    int maxWidth = 0;
    qint64 advance = 0;  // the measured width
    qint32 tracking = 0; // which the platform also puts after the last character
    QRect ink;           // the glyphs' ink, from the start of the baseline
    // The glyphs as laid out; drawn at (x, cell top + ascent - runBaseline).
    QList<QGlyphRun> runs;
    qreal runBaseline = 0;
    // Drawn through QPainter::drawText: underline and strike-out (which the
    // platform draws along each run), texts of several runs (fallback
    // fonts, both directions) or with missing characters, and texts that a
    // one-line layout treats otherwise (control characters, separators).
    bool byDrawText = false;
    mutable std::shared_ptr<EffectLayers> effects;
};

// A line drawn in an installed typeface, named by the script.
class TTtfFont {
  public:
    // The typeface, size and style, as the script set them.
    QString Name = QStringLiteral("MS Sans Serif");
    qint32 Height = -11;               // pixels; negative: character height, positive: cell height
    qint32 Size = 8;                   // points, as "size" gave them
    qint32 Color = qint32(0x80000008); // 0x00BBGGRR, or a system colour
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    // Lettering of our own. The effects never move the letters; tracking
    // and fitWidth change what the line measures.
    qint32 Outline = 0;                  // pixels, 0-64
    qint32 OutlineColor = 0x000000;      // 0x00BBGGRR
    qint32 ShadowX = 0;                  // pixels, -1024-1024
    qint32 ShadowY = 0;                  // pixels, -1024-1024
    qint32 ShadowBlur = 0;               // radius, 0-64
    qint32 ShadowColor = 0x000000;       // 0x00BBGGRR
    qint32 Glow = 0;                     // radius, 0-64
    qint32 GlowColor = 0xFFFFFF;         // 0x00BBGGRR
    std::optional<qint32> GradientColor; // the colour at the cell's bottom
    qint32 Tracking = 0;                 // pixels after each character, -64-1024
    qint32 FitWidth = 0;                 // pixels, 0 (off)-65535
    qint32 MinSize = 6;                  // points, at least 1; at most Size where used

    qint32 LabelIndex = 0;
    QChar Align = QLatin1Char('L');
    qint32 XPos = 0;
    qint32 YPos = 0;
    bool Spaced = false;
    bool Centered = false;
    QString LabelCaption;
    QString DefaultText;
    // The family Name stands for in the font table when the design ships it
    // (set once the script is read); empty for the system's fonts.
    QString DesignFamily;

    TTtfFont();

    // The Qt font for the settings above, resolved on first use after the
    // script is read (fonts the design installs may come after the section).
    const QFont& qfont() const;
    const QFontMetrics& metrics() const;
    // A text as drawn (already spaced), laid out in this line's font at the
    // size fitWidth gives it. The last one is kept: a rendering measures
    // and draws the same text several times.
    const TextLine& line(const QString& spaced) const;
    // Its measured width.
    qint64 advance(const QString& spaced) const { return line(spaced).advance; }
    // Whether any effect is drawn.
    bool hasEffects() const;
    // Forgets the resolved font after a setting changed.
    void invalidate();

  private:
    QFont fontForHeight(qint32 height) const;
    TextLine fitted(const QString& spaced) const;

    mutable std::optional<QFont> font_;
    mutable std::optional<QFontMetrics> metrics_;
    mutable std::shared_ptr<const TextLine> line_;
};

void ParseTtfFontSection(FontSectionEditor& editor, ScriptLines& lines);
QString SpacedText(const TTtfFont& font, const QString& text);
qint32 MeasureText(const TTtfFont& font, const QString& text);
void PaintText(TTtfFont& font, const QString& text, Bitmap& logo);

// Where PaintText puts a text on a logo of the given size, and everything
// its pixels depend on besides the font's fixed settings. Sets XPos of a
// centred font as PaintText does.
struct TextPlacement {
    bool drawn = false; // false: PaintText leaves the logo as it is
    QString spaced;
    qint64 x = 0;
    qint64 y = 0;
    QRgb colour = 0;
    QSize logo; // the logo's size, which clips the effects' pictures
    // Holds every pixel the text and its effects may change, clipped to the logo.
    QRect area;

    bool sameDrawing(const TextPlacement& other) const {
        return drawn == other.drawn &&
               (!drawn || (x == other.x && y == other.y && colour == other.colour &&
                           logo == other.logo && spaced == other.spaced));
    }
};
TextPlacement PlaceText(TTtfFont& font, const QString& text, int logoWidth, int logoHeight);
// Paints a placed text onto part of a logo: target's top-left pixel is the
// logo's pixel origin. The pixels are those PaintText gives the logo there.
void PaintPlacedText(const TTtfFont& font, const TextPlacement& placement, Bitmap& target,
                     QPoint origin);
// The same with a painter already on a true-colour picture whose top-left
// pixel is the logo's pixel origin.
void PaintPlacedText(const TTtfFont& font, const TextPlacement& placement, QPainter& painter,
                     QPoint origin = {});

} // namespace zot
