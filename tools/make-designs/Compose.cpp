#include "Compose.h"

#include "fonts/TImgFont.h"
#include "fonts/TTtfFont.h"
#include "imaging/Bitmap.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"

#include <QPainter>
#include <cstdio>
#include <cstdlib>

namespace mk {

namespace {

[[noreturn]] void fail(const QString& what) {
    std::fprintf(stderr, "make-designs: %s\n", qPrintable(what));
    std::exit(1);
}

// Byte for byte the same 0x00BBGGRR value a script would write.
qint32 windowsColour(QRgb c) {
    return qint32(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
}

} // namespace

QImage programLogo(const QString& designsRoot, const QString& name) {
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, designsRoot);
    try {
        engine.OpenDesign(name);
    } catch (const zot::Error& e) {
        fail(name + QStringLiteral(": ") + e.message());
    }
    if (!editor.errors().isEmpty())
        fail(name + QStringLiteral(": ") + editor.errors().join(QStringLiteral("; ")));
    const QImage& alpha = engine.alphaLogo();
    if (alpha.isNull())
        return engine.logo().toImage().convertToFormat(QImage::Format_RGB32);
    // A logo with alpha is shown on a pale page.
    QImage shown(alpha.size(), QImage::Format_RGB32);
    shown.fill(QColor(0xee, 0xea, 0xf4));
    QPainter(&shown).drawImage(0, 0, alpha);
    return shown;
}

static zot::Bitmap composeLine(const QString& folder, const QString& text, int charSpace, int space,
                               bool transparent) {
    // No alignment: the line is exactly as wide as its pictures and spacing.
    zot::TImgFont font;
    font.CharSpace = charSpace;
    font.Space = space;
    font.Transparent = transparent;
    zot::LoadCharacters(font, folder);
    if (font.Count == 0)
        fail(QStringLiteral("no character pictures in ") + folder);
    return zot::ComposeText(font, text);
}

int imgTextWidth(const QString& folder, const QString& text, int charSpace, int space) {
    return composeLine(folder, text, charSpace, space, false).width();
}

int drawImgText(QImage& dst, const QString& folder, const QString& text, int x, int y,
                int charSpace, int space, bool transparent) {
    const zot::Bitmap line = composeLine(folder, text, charSpace, space, transparent);
    if (x < 0)
        x = (dst.width() - line.width()) / 2;
    zot::Bitmap canvas = zot::Bitmap::fromQImage(dst);
    canvas.draw(line, x, y);
    dst = canvas.toImage().convertToFormat(QImage::Format_RGB32);
    return line.width();
}

void drawTtfCentered(QImage& dst, const QString& family, int points, bool bold, QRgb colour,
                     const QString& text, int y) {
    zot::TTtfFont font;
    font.Name = family;
    font.Height = -(points * 96 + 36) / 72; // as a script's size gives it
    font.Bold = bold;
    font.Color = windowsColour(colour);
    font.Align = QLatin1Char('C');
    font.Centered = true;
    font.YPos = y;
    zot::Bitmap canvas = zot::Bitmap::fromQImage(dst);
    zot::PaintText(font, text, canvas);
    dst = canvas.toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace mk
