// Painted Sign: a shop sign lettered by hand in cream paint on a green board,
// and Round Sticker: fat glossy letters on a die-cut round sticker.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace mk {

void makePaintedSign(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Painted Sign");
    const QString dir = designDir(root, name);
    const int H = 124, plank = 40, W = 440, top = 8, bottom = H - 9, ypos = 16;
    const double twoPi = 2 * M_PI;

    auto wall = [&](int x, int y) {
        return scale(hex(0xe9e1d0), 0.96f + 0.04f * noise(x % plank, y, 91));
    };
    // Painted boards: grain along the rows, repeating every plank width.
    const Rgb paint = hex(0x1f4a3a);
    auto board = [&](int x, int y) {
        const float grain = smoothNoise(0.5f, y * 0.6f, 92) * 0.7f +
                            0.3f * float(0.5 + 0.5 * std::sin(twoPi * x / plank + y * 0.35));
        Rgb c = scale(paint, 0.86f + 0.22f * grain);
        if (y == top + 6 || y == bottom - 6)
            c = hex(0xd9b45a); // gilt pinstripe
        if (y == top + 8 || y == bottom - 8)
            c = scale(paint, 0.7f);
        if (y == top || y == top + 1)
            c = scale(c, 1.25f);
        if (y >= bottom - 1)
            c = scale(c, 0.6f);
        return c;
    };
    auto scene = [&](int x, int y) { return y < top || y > bottom ? wall(x, y) : board(x, y); };
    const QImage tile = imageFrom(plank, H, scene);

    // The board's ends: rounded corners, a gilt pinstripe turning the corner,
    // a shadow on the wall.
    auto endPiece = [&](bool left) {
        QImage img = imageFrom(plank, H, scene);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (!left) {
            p.translate(plank, 0);
            p.scale(-1, 1);
        }
        QImage wallOnly = imageFrom(plank, H, wall);
        QPainterPath outside;
        outside.addRect(0, 0, plank, H);
        QPainterPath boardShape;
        boardShape.addRoundedRect(QRectF(6, top, plank + 20, bottom - top + 1), 14, 14);
        p.setClipPath(outside.subtracted(boardShape));
        p.drawImage(0, 0, left ? wallOnly : wallOnly.mirrored(true, false));
        p.setClipping(false);
        p.setPen(QPen(QColor(0xd9, 0xb4, 0x5a), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(12.5, top + 6.5, plank + 20, bottom - top - 13), 9, 9);
        p.setPen(QPen(QColor(0x0f, 0x2a, 0x20), 1.0));
        p.drawRoundedRect(QRectF(6.5, top + 0.5, plank + 20, bottom - top), 14, 14);
        return img;
    };
    const QImage left = endPiece(true), right = endPiece(false);
    QImage background(W, H, QImage::Format_RGB32);
    {
        QPainter p(&background);
        for (int x = 0; x < W; x += plank)
            p.drawImage(x, 0, tile);
        p.drawImage(0, 0, left);
        p.drawImage(W - plank, 0, right);
    }
    writePng(background, dir + QStringLiteral("/board.png"));
    writePng(tile, dir + QStringLiteral("/plank.png"));
    writePng(right, dir + QStringLiteral("/board-end.png"));

    // Brush capitals: each letter a little tilted and lifted, as a hand
    // paints them, with a dark drop shade; soft edges blend into the paint.
    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSerif-BoldItalic.ttf")), 54);
    const Cell cell = cellFor(font, true, 6, 8);
    GlyphSet set;
    int seedNo = 700;
    for (QChar key : kCharacters) {
        ++seedNo;
        const Glyph g = glyphOf(font, shown(key, true));
        QTransform t;
        t.translate(0, (noise(seedNo, 1, 7) - 0.5) * 4.0);
        t.rotate((noise(seedNo, 2, 7) - 0.5) * 6.0);
        const QPainterPath path = t.map(g.path);
        const Mask m = glyphMask(path, cell, 6, 0.8);
        const Mask shade = blur(shifted(m, 3, 3), 1);
        Canvas cv(m.w, m.h);
        cv.over(
            shade, [](int, int) { return hex(0x0a1e16); }, 0.85f);
        cv.over(m, [&](int x, int y) {
            // Brush strokes: streaks along the letter, a touch of gloss on top.
            const float streak = smoothNoise(x * 0.9f, y * 0.15f, seedNo);
            const Rgb cream =
                gradient({{0.0f, hex(0xfff3cf)}, {1.0f, hex(0xe8c87e)}}, y / float(m.h - 1));
            return scale(cream, 0.9f + 0.12f * streak);
        });
        set.push_back(
            {key, finish(
                      cv, inkColumns(m, 0.05f, 4), [&](int) { return paint; }, true, 0.12f)});
    }
    writeGlyphs(dir + QStringLiteral("/brush"), set, true);

    writeText(dir + QStringLiteral("/script.zot"),
              QStringLiteral(R"(# Painted Sign: a shop sign lettered by hand on a green board.
name = "Painted Sign"

backgroundImage = board.png          # its first 40 columns are the left end
backgroundExtraLeft = plank.png      # repeated after them across the width
backgroundExtraRight = board-end.png # drawn once at the right end
backgroundExtraExpandFrom = left
backgroundExtraMarge = 48

imgFont
  name = brush
  label = "Shop name"
  default = "BAKERY"
  transparent
  charspace = -2
  space = 16
  xpos = center
  ypos = %1
imgFontEnd

ttfFont
  name = DejaVu Serif
  label = "Under the name"
  default = "fresh bread - open daily"
  size = 12
  italic
  color = $7EC8E8        # cream: red E8, green C8, blue 7E
  xpos = center
  align = center
  ypos = %2
ttfFontEnd
)")
                  .arg(ypos)
                  .arg(ypos + cell.height - 2)
                  .toUtf8());

    writePreview(previewDir, name, programLogo(root, name));
    QImage thumb = background;
    drawImgText(thumb, dir + QStringLiteral("/brush"), QStringLiteral("SIGN"), -1, 30, -2, 0, true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

void makeRoundSticker(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Round Sticker");
    const QString dir = designDir(root, name);
    const int S = 256, ypos = 66;
    const QPointF c(S / 2.0, S / 2.0);

    // Clear around the disc: the sticker's PNG logos have alpha. The clear
    // pixels keep a pale colour for the opaque logos, which drop the alpha.
    QImage background(S, S, QImage::Format_ARGB32);
    background.fill(QColor(0xee, 0xea, 0xf4, 0));
    {
        QPainter p(&background);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        // Shadow, white die-cut border, then the disc.
        QRadialGradient shadow(c + QPointF(3, 6), 124);
        shadow.setColorAt(0.9, QColor(0x60, 0x58, 0x78, 120));
        shadow.setColorAt(1.0, QColor(0x60, 0x58, 0x78, 0));
        p.setBrush(shadow);
        p.drawEllipse(c + QPointF(3, 6), 124, 124);
        p.setBrush(Qt::white);
        p.drawEllipse(c, 118, 118);
        QLinearGradient disc(0, 20, 0, 236);
        disc.setColorAt(0.0, QColor(0xff, 0x5c, 0x8a));
        disc.setColorAt(1.0, QColor(0x7b, 0x3c, 0xe8));
        p.setBrush(disc);
        p.drawEllipse(c, 108, 108);
        // A ring of dots inside the rim.
        p.setBrush(QColor(255, 255, 255, 150));
        for (int i = 0; i < 36; ++i) {
            const double a = i * 2 * M_PI / 36;
            p.drawEllipse(c + QPointF(97 * std::cos(a), 97 * std::sin(a)), 2.2, 2.2);
        }
    }
    writePng(background, dir + QStringLiteral("/sticker.png"));

    // Fat letters: the glyph grown round, a dark rim, a glossy upper half.
    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-Bold.ttf")), 70);
    const Cell cell = cellFor(font, true, 8, 10);
    GlyphSet set;
    for (QChar key : kCharacters) {
        const QPainterPath path = glyphOf(font, shown(key, true)).path;
        const Mask core = glyphMask(path, cell, 9, 0);
        const Mask fat = dilate(core, 3);
        const Mask rim = dilate(core, 6);
        const Mask soft = blur(fat, 3);
        Canvas cv(core.w, core.h);
        cv.over(shifted(rim, 2, 3), [](int, int) { return hex(0x2a1450); });
        cv.over(rim, [](int, int) { return hex(0x3a1c6e); });
        const float mid = float(cell.baseline - cell.capHeight / 2);
        cv.over(fat, [&](int x, int y) {
            const float light = bevelLight(soft, x, y);
            Rgb col = y < mid ? hex(0xfff8c0) : hex(0xffd23c);
            col = scale(col, 0.8f + 0.3f * light);
            return col;
        });
        set.push_back({key, finish(
                                cv, inkColumns(rim, 0.05f, 3), [&](int) { return hex(0xc04cb0); },
                                true, 0.3f)});
    }
    writeGlyphs(dir + QStringLiteral("/bubble"), set, true);

    writeText(dir + QStringLiteral("/script.zot"),
              QStringLiteral(R"(# Round Sticker: fat glossy letters on a round sticker, 256 x 256,
# for an avatar or a sticker. No expand mode: the square keeps its size.
# The picture is clear around the disc, so PNG logos are too (BMP files and
# the wallpaper are opaque, as always).
name = "Round Sticker"

backgroundImage = sticker.png

imgFont
  name = bubble
  label = "Big word"
  default = "HEY!"
  transparent
  charspace = -8
  xpos = center
  ypos = %1
imgFontEnd

ttfFont
  name = DejaVu Sans
  label = "Small line"
  default = "sticker club"
  size = 13
  bold
  color = $FFFFFF
  xpos = center
  align = center
  ypos = 166
ttfFontEnd
)")
                  .arg(ypos)
                  .toUtf8());

    writePreview(previewDir, name, programLogo(root, name));
    QImage thumb = programLogo(root, name).copy(0, ypos - 2, S, 64 + 12);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
