#include "editor/ToolbarGlyphs.h"

#include <QImage>
#include <QPainter>

namespace zot {

namespace {

constexpr int kSide = 16;

// Colours of one drawing; a transparent fill draws nothing.
struct Ink {
    QColor outline;
    QColor body;
    QColor light;
    QColor accent;
    QColor ground;
};

void box(QPainter& p, const QRect& r, const QColor& fill, const QColor& outline) {
    if (fill.alpha() > 0)
        p.fillRect(r, fill);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

void drawSave(QPainter& p, const Ink& ink) {
    box(p, QRect(1, 1, 14, 14), ink.body, ink.outline);
    box(p, QRect(4, 1, 8, 6), ink.light, ink.outline); // shutter
    if (ink.body.alpha() > 0)
        p.fillRect(QRect(9, 2, 2, 4), ink.body);         // its window
    box(p, QRect(3, 9, 10, 6), ink.ground, ink.outline); // label
    p.setPen(ink.outline);
    p.drawLine(5, 11, 10, 11);
}

void drawCopy(QPainter& p, const Ink& ink) {
    box(p, QRect(1, 1, 9, 11), ink.ground, ink.outline);
    box(p, QRect(6, 4, 9, 11), ink.ground, ink.outline);
    p.setPen(ink.accent.alpha() > 0 ? ink.accent : ink.outline);
    for (int y = 7; y <= 12; y += 2)
        p.drawLine(8, y, 12, y);
    p.drawLine(3, 4, 5, 4);
    p.drawLine(3, 6, 4, 6);
}

void drawWallpaper(QPainter& p, const Ink& ink) {
    box(p, QRect(1, 1, 14, 11), ink.light, ink.outline); // cabinet
    box(p, QRect(2, 2, 12, 9), ink.body, ink.outline);   // screen
    if (ink.accent.alpha() > 0) {
        p.fillRect(QRect(3, 7, 10, 3), ink.accent);          // hill
        p.fillRect(QRect(10, 3, 2, 2), QColor(255, 255, 0)); // sun
    }
    p.setPen(ink.outline);
    p.drawLine(6, 12, 9, 12); // stand
    p.drawLine(4, 14, 11, 14);
}

void draw(QPainter& p, ToolbarGlyph glyph, const Ink& ink) {
    switch (glyph) {
    case ToolbarGlyph::Save:
        drawSave(p, ink);
        break;
    case ToolbarGlyph::Copy:
        drawCopy(p, ink);
        break;
    case ToolbarGlyph::Wallpaper:
        drawWallpaper(p, ink);
        break;
    }
}

} // namespace

QPixmap toolbarGlyph(ToolbarGlyph glyph, bool enabled) {
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (enabled) {
        const QColor sky(0, 128, 255);
        const Ink ink{Qt::black, glyph == ToolbarGlyph::Wallpaper ? sky : QColor(0, 0, 128),
                      QColor(192, 192, 192),
                      glyph == ToolbarGlyph::Wallpaper ? QColor(0, 128, 0) : QColor(0, 0, 128),
                      Qt::white};
        draw(p, glyph, ink);
    } else {
        // An embossed outline: white one pixel down-right, grey on top.
        const Ink shadow{Qt::white, Qt::transparent, Qt::transparent, Qt::transparent,
                         Qt::transparent};
        const Ink outline{QColor(128, 128, 128), Qt::transparent, Qt::transparent, Qt::transparent,
                          Qt::transparent};
        p.translate(1, 1);
        draw(p, glyph, shadow);
        p.translate(-1, -1);
        draw(p, glyph, outline);
    }
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace zot
