#pragma once

#include <QChar>
#include <QFont>
#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QString>
#include <optional>
#include <utility>

class QPainter;

namespace zot {

class Bitmap;
class FontSectionEditor;
class ScriptLines;

// A line drawn in an installed typeface, named by the script.
class TTtfFont {
  public:
    // The typeface, size and style, as the script set them.
    QString Name = QStringLiteral("MS Sans Serif");
    qint32 Height = -11;               // pixels; negative: character height, positive: cell height
    qint32 Color = qint32(0x80000008); // 0x00BBGGRR, or a system colour
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

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
    // The advance of a text as drawn (already spaced). A rendering measures
    // the same text several times (the logo's width, its check, the
    // placement), each a shaping of its own without this.
    qint64 advance(const QString& spaced) const;
    // Forgets the resolved font after a setting changed.
    void invalidate();

  private:
    mutable std::optional<QFont> font_;
    mutable std::optional<QFontMetrics> metrics_;
    mutable std::optional<std::pair<QString, qint64>> lastAdvance_;
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
    // Holds every pixel the text may change, clipped to the logo.
    QRect area;

    bool sameDrawing(const TextPlacement& other) const {
        return drawn == other.drawn &&
               (!drawn ||
                (x == other.x && y == other.y && colour == other.colour && spaced == other.spaced));
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
