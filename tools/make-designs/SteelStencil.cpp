// Steel Stencil: yellow spray-paint stencil letters on a brushed steel plate
// with hazard stripes; one riveted plate segment per letter.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace mk {

namespace {

// Cuts a stencil's bridges: every counter (a hole the sheet would lose) gets a
// four-pixel cut through its middle column, top to bottom.
void cutBridges(std::vector<bool>& ink, int w, int h) {
    std::vector<bool> outside(ink.size(), false);
    std::vector<std::pair<int, int>> todo;
    auto seed = [&](int x, int y) {
        const size_t i = size_t(y) * w + x;
        if (!ink[i] && !outside[i]) {
            outside[i] = true;
            todo.push_back({x, y});
        }
    };
    for (int x = 0; x < w; ++x) {
        seed(x, 0);
        seed(x, h - 1);
    }
    for (int y = 0; y < h; ++y) {
        seed(0, y);
        seed(w - 1, y);
    }
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        if (x > 0)
            seed(x - 1, y);
        if (x < w - 1)
            seed(x + 1, y);
        if (y > 0)
            seed(x, y - 1);
        if (y < h - 1)
            seed(x, y + 1);
    }
    // Each hole, found by filling it, is bridged at its middle column.
    std::vector<bool> seen = outside;
    std::vector<int> cuts;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = size_t(y) * w + x;
            if (ink[i] || seen[i])
                continue;
            long sum = 0, count = 0;
            std::vector<std::pair<int, int>> fill{{x, y}};
            seen[i] = true;
            while (!fill.empty()) {
                const auto [fx, fy] = fill.back();
                fill.pop_back();
                sum += fx;
                ++count;
                const std::pair<int, int> next[] = {
                    {fx - 1, fy}, {fx + 1, fy}, {fx, fy - 1}, {fx, fy + 1}};
                for (const auto& [nx, ny] : next) {
                    const size_t j = size_t(ny) * w + nx;
                    if (nx >= 0 && ny >= 0 && nx < w && ny < h && !ink[j] && !seen[j]) {
                        seen[j] = true;
                        fill.push_back({nx, ny});
                    }
                }
            }
            if (count > 6)
                cuts.push_back(int(std::lround(double(sum) / count)));
        }
    for (int cx : cuts)
        for (int y = 0; y < h; ++y)
            for (int x = cx - 2; x <= cx + 1; ++x)
                if (x >= 0 && x < w)
                    ink[size_t(y) * w + x] = false;
}

} // namespace

void makeSteelStencil(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Steel Stencil");
    const QString dir = designDir(root, name);
    const int H = 130, seg = 48, glyphW = 44, ends = 40, W = ends * 2 + seg * 7;
    const int stripe = 9, rivetTop = 18, rivetBottom = H - 18;

    // Brushed steel: streaks along the rows, repeating every segment.
    auto steel = [&](int x, int y) {
        const float streak = smoothNoise(0.5f, y * 0.9f, 81) * 0.6f + noise(x % seg, y, 82) * 0.4f;
        Rgb c = gradient({{0.0f, hex(0x8c939a)}, {0.5f, hex(0xaab1b8)}, {1.0f, hex(0x7a8188)}},
                         y / float(H - 1));
        return scale(c, 0.9f + 0.16f * streak);
    };
    auto hazard = [&](int x, int y) {
        if (y >= stripe && y < H - stripe)
            return steel(x, y);
        if (y == stripe - 1 || y == H - stripe)
            return hex(0x2a2d30);
        return ((x + y) % 24) < 12 ? hex(0xf2b705) : hex(0x1c1c1c);
    };
    auto rivet = [](QPainter& p, double cx, double cy) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x4a, 0x4f, 0x55));
        p.drawEllipse(QPointF(cx + 0.8, cy + 0.8), 4.6, 4.6);
        QRadialGradient g(cx - 1.5, cy - 1.5, 5.5);
        g.setColorAt(0.0, QColor(0xf4, 0xf6, 0xf8));
        g.setColorAt(0.6, QColor(0xa0, 0xa8, 0xb0));
        g.setColorAt(1.0, QColor(0x5a, 0x60, 0x66));
        p.setBrush(g);
        p.drawEllipse(QPointF(cx, cy), 4.2, 4.2);
    };
    QImage segment = imageFrom(seg, H, [&](int x, int y) {
        Rgb c = hazard(x, y);
        if (y >= stripe && y < H - stripe) {
            if (x == 0)
                c = scale(c, 0.55f);
            else if (x == 1)
                c = scale(c, 1.18f);
        }
        return c;
    });
    {
        QPainter p(&segment);
        p.setRenderHint(QPainter::Antialiasing, true);
        rivet(p, seg / 2.0, rivetTop);
        rivet(p, seg / 2.0, rivetBottom);
    }
    auto endPiece = [&](bool left) {
        QImage img = imageFrom(ends, H, [&](int x, int y) {
            Rgb c = hazard(x, y);
            const int d = left ? x : ends - 1 - x;
            if (d < 6)
                c = scale(hex(0x3a3f44), 0.8f + 0.05f * d);
            else if (d == 6)
                c = hex(0xc8ced4);
            return c;
        });
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        const double cx = left ? 23 : ends - 23;
        for (double cy : {34.0, H / 2.0, H - 34.0})
            rivet(p, cx, cy);
        return img;
    };
    const QImage left = endPiece(true), right = endPiece(false);
    QImage background(W, H, QImage::Format_RGB32);
    {
        QPainter p(&background);
        for (int x = ends; x < W - ends; x += seg)
            p.drawImage(x, 0, segment);
        p.drawImage(0, 0, left);
        p.drawImage(W - ends, 0, right);
    }
    writePng(background, dir + QStringLiteral("/plate.png"));
    writePng(segment, dir + QStringLiteral("/segment.png"));
    writePng(left, dir + QStringLiteral("/end-left.png"));
    writePng(right, dir + QStringLiteral("/end-right.png"));

    // Letters in cells of one width, centred, so that with charspace 4 they
    // step exactly one 48-pixel segment.
    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-Bold.ttf")), 50);
    const Cell cell = cellFor(font, true, 2, 2);
    const int ypos = int(std::lround(H / 2.0 - (cell.baseline - cell.capHeight / 2))) - 6;
    GlyphSet set;
    int seedNo = 500;
    for (QChar key : kCharacters) {
        ++seedNo;
        const Glyph g = glyphOf(font, shown(key, true));
        const QRectF r = g.path.boundingRect();
        // Squeeze wide letters into the cell.
        const qreal squeeze = std::min<qreal>(1.0, (glyphW - 4) / std::max<qreal>(1, r.width()));
        QTransform t;
        t.translate(glyphW / 2.0, cell.baseline);
        t.scale(squeeze, 1.0);
        t.translate(-(r.left() + r.width() / 2), 0);
        const Mask m = rasterize(t.map(g.path), glyphW, cell.height, 0, 0, 0);
        std::vector<bool> ink(m.v.size());
        for (size_t i = 0; i < ink.size(); ++i)
            ink[i] = m.v[i] > 0.5f;
        cutBridges(ink, m.w, m.h);
        const Mask spray = blur(m, 2); // overspray only round the outer edges
        QImage img(glyphW, cell.height, QImage::Format_RGB32);
        img.fill(qRgb(0, 0, 0));
        for (int y = 0; y < m.h; ++y)
            for (int x = 0; x < m.w; ++x) {
                const bool on = ink[size_t(y) * m.w + x];
                // Spray: mottled paint, a few specks of overspray round the edges.
                if (on && noise(x, y, seedNo) > 0.015f) {
                    const float mottle = smoothNoise(x * 0.5f, y * 0.5f, seedNo + 1);
                    img.setPixel(x, y, toQRgb(scale(hex(0xf5c21b), 0.92f + 0.14f * mottle)));
                } else if (!on && m.at(x, y) < 0.5f && spray.at(x, y) > 0.05f &&
                           noise(x, y, seedNo + 2) > 0.85f) {
                    img.setPixel(x, y, toQRgb(hex(0xc99a12)));
                }
            }
        img.setPixel(0, cell.height - 1, qRgb(0, 0, 0));
        set.push_back({key, img});
    }
    {
        // The blank keeps the step of one segment too.
        QImage blank(glyphW, cell.height, QImage::Format_RGB32);
        blank.fill(qRgb(0, 0, 0));
        set.push_back({QLatin1Char(' '), blank});
    }
    writeGlyphs(dir + QStringLiteral("/paint"), set, true);

    writeText(
        dir + QStringLiteral("/script.zot"),
        QStringLiteral(R"(# Steel Stencil: spray-painted stencil letters on a riveted steel plate.
name = "Steel Stencil"

backgroundImage = plate.png
backgroundExtraCenter = segment.png      # one riveted segment per letter
backgroundExtraLeft = end-left.png
backgroundExtraRight = end-right.png
backgroundExtraExpandFrom = character
backgroundExtraMarge = 44

# Every letter picture is 44 pixels wide; 44 + 4 steps one 48-pixel segment.
imgFont
  name = paint
  label = "Stencil"
  default = "DOCK 7"
  transparent
  charspace = 4
  space = 0
  xpos = center
  ypos = %1
imgFontEnd

ttfFont
  name = DejaVu Sans Mono
  label = "Plate text"
  default = "LOAD LIMIT 2000 KG"
  size = 9
  bold
  color = $2A2622        # near black
  xpos = center
  align = center
  ypos = %2
ttfFontEnd
)")
            .arg(ypos)
            .arg(rivetBottom - 26)
            .toUtf8());

    writePreview(previewDir, name, programLogo(root, name));
    QImage thumb = background;
    const QString paint = dir + QStringLiteral("/paint");
    drawImgText(thumb, paint, QStringLiteral("STEEL"),
                (W - imgTextWidth(paint, QStringLiteral("STEEL"), 4, 0)) / 2 + 2, ypos, 4, 0, true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
