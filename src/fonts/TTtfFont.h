#pragma once

#include <QChar>
#include <QFont>
#include <QFontMetrics>
#include <QRgb>
#include <QString>
#include <optional>

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

    TTtfFont();

    // The Qt font for the settings above, resolved on first use after the
    // script is read (fonts the design installs may come after the section).
    const QFont& qfont() const;
    const QFontMetrics& metrics() const;
    // Forgets the resolved font after a setting changed.
    void invalidate();

  private:
    mutable std::optional<QFont> font_;
    mutable std::optional<QFontMetrics> metrics_;
};

void ParseTtfFontSection(FontSectionEditor& editor, ScriptLines& lines);
QString SpacedText(const TTtfFont& font, const QString& text);
qint32 MeasureText(const TTtfFont& font, const QString& text);
void PaintText(TTtfFont& font, const QString& text, Bitmap& logo);

} // namespace zot
