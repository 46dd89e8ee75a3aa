// Pixel Quest: the title screen of an 8-bit game. Letters are cut from a
// small DejaVu raster, one block per pixel, so every edge is a hard step.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mk {

namespace {

// A character as blocks: true where the small raster is mostly ink.
struct Blocks {
    int w = 0, h = 0;
    std::vector<bool> on;
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w && y < h && on[size_t(y) * w + x];
    }
};

Blocks blocksOf(const QRawFont& font, const Cell& cell, QChar ch) {
    const QPainterPath path = glyphOf(font, ch).path;
    const Mask m = glyphMask(path, cell, 0, 0);
    const auto [x0, x1] = inkColumns(m, 0.45f, 0);
    Blocks b;
    b.w = x1 - x0 + 1;
    b.h = m.h;
    b.on.resize(size_t(b.w) * b.h);
    for (int y = 0; y < b.h; ++y)
        for (int x = 0; x < b.w; ++x)
            b.on[size_t(y) * b.w + x] = m.at(x0 + x, y) > 0.45f;
    return b;
}

// The blocks scaled up, with a one-block dark outline and a shadow one block
// down and right; fill(row) colours the letter by block row.
QImage pixelGlyph(const Blocks& b, int scale, const std::function<QRgb(int)>& fill) {
    const int w = b.w + 3, h = b.h + 3; // outline left/top, outline and shadow right/bottom
    QImage img(w * scale, h * scale, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 0));
    auto ink = [&](int gx, int gy) { return b.at(gx - 1, gy - 1); };
    auto outline = [&](int gx, int gy) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (ink(gx + dx, gy + dy))
                    return true;
        return false;
    };
    QPainter p(&img);
    for (int gy = 0; gy < h; ++gy)
        for (int gx = 0; gx < w; ++gx) {
            QRgb c = 0;
            if (ink(gx, gy))
                c = fill(gy - 1);
            else if (outline(gx, gy))
                c = qRgb(0x24, 0x10, 0x3a);
            else if (outline(gx - 1, gy - 1))
                c = qRgb(0x10, 0x08, 0x1c);
            if (c)
                p.fillRect(gx * scale, gy * scale, scale, scale, QColor(c));
        }
    return img;
}

} // namespace

void makePixelQuest(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Pixel Quest");
    const QString dir = designDir(root, name);
    const int H = 144, W = 432, U = 4, groundY = 116, piece = 96, ends = 64;

    auto sky = [](int y) {
        return y < 60 ? hex(0x5c94fc) : mix(hex(0x5c94fc), hex(0x8cb4ff), (y - 60) / 56.0f);
    };
    // Grass, then bricks of 32 x 12 pixels, every other row shifted by half a brick.
    auto ground = [&](int x, int y) {
        if (y < groundY + 4)
            return y < groundY + U ? hex(0x7ad84a) : hex(0x3a9a2a);
        if (y < groundY + 8)
            return hex(0x3a9a2a);
        const int row = (y - groundY - 8) / 12;
        const int bx = (x + (row % 2) * 16) % 32;
        const int by = (y - groundY - 8) % 12;
        if (bx < 2 || by < 2)
            return hex(0x5a2a10);
        return by < 4 ? hex(0xd8844a) : hex(0xb8622c);
    };
    auto scene = [&](int x, int y) { return y < groundY ? sky(y) : ground(x, y); };
    // A cloud in blocks; each string is one block row.
    auto cloud = [&](QImage& img, int left, int top) {
        static const char* rows[] = {"...####...", ".########.", "##########", ".########."};
        QPainter p(&img);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 10; ++c)
                if (rows[r][c] == '#')
                    p.fillRect(left + c * U, top + r * U, U, U,
                               r == 3 ? QColor(0xd0, 0xe4, 0xff) : QColor(Qt::white));
    };

    QImage center = imageFrom(piece, H, scene);
    cloud(center, 24, 8);
    // Left end: a green pipe standing on the ground.
    QImage left = imageFrom(ends, H, scene);
    {
        QPainter p(&left);
        p.fillRect(8, 84, 48, 32, QColor(0x10, 0x30, 0x10));
        p.fillRect(12, 88, 40, 28, QColor(0x38, 0xb0, 0x38));
        p.fillRect(16, 88, 8, 28, QColor(0x9a, 0xf0, 0x7a));
        p.fillRect(4, 72, 56, 16, QColor(0x10, 0x30, 0x10));
        p.fillRect(8, 76, 48, 8, QColor(0x38, 0xb0, 0x38));
        p.fillRect(12, 76, 8, 8, QColor(0x9a, 0xf0, 0x7a));
    }
    // Right end: a flag on a pole.
    QImage right = imageFrom(ends, H, scene);
    {
        QPainter p(&right);
        p.fillRect(36, 20, 4, 96, QColor(0x20, 0x20, 0x20));
        p.fillRect(34, 12, 8, 8, QColor(0xf8, 0xd8, 0x38));
        for (int r = 0; r < 5; ++r)
            p.fillRect(40, 24 + r * U, 20 - r * 4, U, QColor(0xe8, 0x30, 0x30));
        p.fillRect(28, 108, 20, 8, QColor(0x70, 0x70, 0x70));
    }
    QImage background(W, H, QImage::Format_RGB32);
    {
        QPainter p(&background);
        for (int x = 0; x < W; x += piece)
            p.drawImage(x, 0, center);
        p.drawImage(0, 0, left);
        p.drawImage(W - ends, 0, right);
    }
    writePng(background, dir + QStringLiteral("/level.png"));
    writePng(center, dir + QStringLiteral("/sky.png"));
    writePng(left, dir + QStringLiteral("/pipe.png"));
    writePng(right, dir + QStringLiteral("/flag.png"));

    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-Bold.ttf")), 11);
    const Cell cell = cellFor(font, true, 0, 0);
    auto title = [](int row) {
        if (row < 2)
            return qRgb(0xff, 0xf6, 0xa8);
        return row < 6 ? qRgb(0xff, 0xd0, 0x30) : qRgb(0xff, 0x86, 0x1a);
    };
    auto white = [](int row) { return row < 6 ? qRgb(0xff, 0xff, 0xff) : qRgb(0xc8, 0xd8, 0xff); };
    GlyphSet big, small;
    for (QChar key : kCharacters) {
        const Blocks b = blocksOf(font, cell, shown(key, true));
        big.push_back({key, pixelGlyph(b, U, title)});
        small.push_back({key, pixelGlyph(b, 2, white)});
    }
    writeGlyphs(dir + QStringLiteral("/blocks"), big, true);
    writeGlyphs(dir + QStringLiteral("/small"), small, true);
    const int titleY = 12, smallY = titleY + (cell.height + 3) * U + 4;

    writeText(dir + QStringLiteral("/script.zot"),
              QStringLiteral(R"(# Pixel Quest: the title screen of an 8-bit game.
# Letters are blocks of 4 x 4 pixels (title) and 2 x 2 pixels (the line below).
name = "Pixel Quest"

backgroundImage = level.png
backgroundExtraCenter = sky.png      # sky, one cloud and the ground, 96 pixels
backgroundExtraLeft = pipe.png       # drawn once at the left end
backgroundExtraRight = flag.png      # and once at the right end
backgroundExtraExpandFrom = center
backgroundExtraMarge = 64

imgFont
  name = blocks
  label = "Title"
  default = "PIXEL QUEST"
  transparent
  space = 20
  xpos = center
  ypos = %1
imgFontEnd

imgFont
  name = small
  label = "Press"
  default = "PRESS START"
  transparent
  space = 10
  xpos = center
  ypos = %2
imgFontEnd
)")
                  .arg(titleY)
                  .arg(smallY)
                  .toUtf8());

    writePreview(previewDir, name, programLogo(root, name));
    // The middle of the level with the first word, three times the strip's size.
    QImage thumb = background;
    drawImgText(thumb, dir + QStringLiteral("/blocks"), QStringLiteral("PIXEL"), -1, 30, 0, 0,
                true);
    thumb = thumb.copy((W - 288) / 2, 24, 288, 72);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
