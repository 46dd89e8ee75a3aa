#include "Designs.h"
#include "Compose.h"
#include "Kit.h"
#include "Raster.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mk {

// ---------------------------------------------------------------- Gold
// Gold serif capitals on a dark band with gold rules; the band is the same in
// every column, so the letters are laid over it and stay opaque.
void makeGold(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Gold"));
    const int H = 110, W = 360, capW = 30, ypos = 12;

    auto band = [&](int y) {
        Rgb c = gradient({{0.0f, hex(0x0d0904)},
                          {0.12f, hex(0x1d140a)},
                          {0.5f, hex(0x2c1e0d)},
                          {0.88f, hex(0x1b1209)},
                          {1.0f, hex(0x090603)}},
                         y / float(H - 1));
        return c;
    };
    auto rules = [&](int y, Rgb c) {
        if (y == 8 || y == 100)
            return hex(0xf0cd70);
        if (y == 9 || y == 101)
            return hex(0x9a6a1c);
        if (y == 13 || y == 96)
            return mix(c, hex(0x8a6320), 0.55f);
        return c;
    };
    auto strip = [&](int, int y) { return rules(y, band(y)); };

    // End cap: the rules end in a gold bar and a small diamond.
    auto cap = [&]() {
        QImage img =
            imageFrom(capW, H, [&](int x, int y) { return x < 7 ? band(y) : rules(y, band(y)); });
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        QLinearGradient g(0, 8, 0, 102);
        g.setColorAt(0.0, QColor(0xf6, 0xdc, 0x8a));
        g.setColorAt(0.5, QColor(0xb0, 0x7a, 0x22));
        g.setColorAt(1.0, QColor(0xf0, 0xc8, 0x66));
        p.fillRect(QRectF(7, 8, 2, 94), g);
        p.fillRect(QRectF(11, 13, 1, 84), QColor(0x8a, 0x63, 0x20));
        QPainterPath d;
        d.moveTo(20, 45);
        d.lineTo(26, 55);
        d.lineTo(20, 65);
        d.lineTo(14, 55);
        d.closeSubpath();
        QLinearGradient dg(14, 45, 26, 65);
        dg.setColorAt(0.0, QColor(0xff, 0xf0, 0xb8));
        dg.setColorAt(0.5, QColor(0xd8, 0xa0, 0x38));
        dg.setColorAt(1.0, QColor(0x7a, 0x4e, 0x10));
        p.fillPath(d, dg);
        p.setPen(QPen(QColor(0xf0, 0xcd, 0x70), 1));
        p.drawLine(QPointF(20, 24), QPointF(20, 38));
        p.drawLine(QPointF(20, 72), QPointF(20, 86));
        return img;
    }();
    const QImage capRight = cap.mirrored(true, false);
    const QImage center = imageFrom(8, H, strip);
    QImage background = imageFrom(W, H, strip);
    {
        QPainter p(&background);
        p.drawImage(0, 0, cap);
        p.drawImage(W - capW, 0, capRight);
    }
    writeBmp24(background, dir + QStringLiteral("/background.bmp"));
    writeBmp24(center, dir + QStringLiteral("/band.bmp"));
    writeBmp24(cap, dir + QStringLiteral("/cap-left.bmp"));
    writeBmp24(capRight, dir + QStringLiteral("/cap-right.bmp"));

    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSerif-Bold.ttf")), 50);
    const Cell cell = cellFor(font, true, 4, 3);
    const float capTop = float(cell.baseline - cell.capHeight);
    auto gold = [&](float t) {
        return gradient({{0.0f, hex(0xfff6d0)},
                         {0.32f, hex(0xf4cf62)},
                         {0.5f, hex(0xbd8426)},
                         {0.56f, hex(0x85550f)},
                         {0.7f, hex(0xd9a23c)},
                         {1.0f, hex(0xffe9a0)}},
                        t);
    };
    GlyphSet set;
    for (QChar key : kCharacters) {
        const QPainterPath path = glyphOf(font, shown(key, true)).path;
        const Mask m = glyphMask(path, cell, 4, 0);
        const Mask outline = dilate(m, 2);
        const Mask soft = blur(m, 4);
        Canvas cv(m.w, m.h);
        cv.over(outline, [](int, int) { return hex(0x281603); });
        cv.over(m, [&](int x, int y) {
            const float light = bevelLight(soft, x, y);
            Rgb c = scale(gold((y - capTop) / float(cell.capHeight)), 0.55f + 0.75f * light);
            const float shine = std::pow(light, 14.0f) * 0.6f;
            return add(c, {shine, shine, shine * 0.8f});
        });
        set.push_back({key, finish(
                                cv, inkColumns(outline, 0.02f, 2),
                                [&](int y) { return strip(0, ypos + y); }, false, 0)});
    }
    set.push_back(
        {QLatin1Char(' '), solidCell(16, cell.height, [&](int y) { return strip(0, ypos + y); })});
    writeGlyphs(dir + QStringLiteral("/letters"), set);
    shipDejaVu(dir, QStringLiteral("DejaVuSerif-Bold.ttf"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Gold: engraved gold capitals on a dark band with gold rules.
name = "Gold"

# The serif face of the slogan ships with the design.
installTempFontResource = DejaVuSerif-Bold.ttf

backgroundImage = background.bmp
backgroundExtraCenter = band.bmp      # repeated from the middle outwards
backgroundExtraLeft = cap-left.bmp    # drawn once at each end
backgroundExtraRight = cap-right.bmp
backgroundExtraExpandFrom = center
backgroundExtraMarge = 34

imgFont
  name = letters
  label = "Name"
  default = "GOLDCREST"
  xpos = center
  ypos = 12
imgFontEnd

ttfFont
  name = DejaVu Serif
  label = "Slogan"
  default = "FINE JEWELLERY SINCE 1921"
  size = 10
  bold
  spaced
  tracking = 1           # one more pixel between the letters
  color = $9FE6FF        # 0x00BBGGRR: a pale gold at the top of the letters
  gradient = $2F86C8     # a deep gold at their foot
  xpos = center
  align = center
  ypos = 76
ttfFontEnd
)");

    writePreview(previewDir, QStringLiteral("Gold"), programLogo(root, QStringLiteral("Gold")));
    QImage thumb = background;
    drawImgText(thumb, dir + QStringLiteral("/letters"), QStringLiteral("GOLD"), -1,
                (H - cell.height) / 2, 0, 0, false);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Neon
// Pink neon tubes on a dark plank wall between two cyan tubes. The wall is
// the same in every column, so the glow is laid over it and only what is
// truly dark is left see-through.
void makeNeon(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Neon"));
    const int H = 124, W = 420, ypos = 14;
    const int tubeTop = 7, tubeBottom = 116;

    auto wall = [&](int y) {
        Rgb c = gradient({{0.0f, hex(0x0a0915)}, {0.5f, hex(0x16122b)}, {1.0f, hex(0x090812)}},
                         y / float(H - 1));
        const int m = y % 14;
        if (m == 0)
            c = scale(c, 0.55f);
        else if (m == 1)
            c = add(c, hex(0x0b0a16));
        return c;
    };
    auto tubes = [&](int y) {
        Rgb c = wall(y);
        for (int t : {tubeTop, tubeBottom}) {
            const float d = std::abs(float(y - t));
            const float glow = std::exp(-d * d / 18.0f) * 0.55f;
            c = add(c, scale(hex(0x19d6ff), glow));
            if (d <= 1.0f)
                c = mix(c, d == 0 ? hex(0xe8fdff) : hex(0x62e6ff), 0.9f);
        }
        return c;
    };
    auto row = [&](int, int y) { return tubes(y); };
    const QImage piece = imageFrom(20, H, row);
    QImage background = imageFrom(W, H, row);
    {
        // A pink star breaks the upper tube in the middle.
        Mask star(W, H);
        QPainterPath s;
        const QPointF c(W / 2.0, tubeTop + 0.5);
        for (int i = 0; i < 10; ++i) {
            const double r = (i % 2) ? 3.2 : 8.5;
            const double a = -M_PI / 2 + i * M_PI / 5;
            const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
            if (i == 0)
                s.moveTo(pt);
            else
                s.lineTo(pt);
        }
        s.closeSubpath();
        const Mask shape = rasterize(s, W, H, 0, 0, 1.6);
        const Mask glow = blur(shape, 6);
        Canvas cv(W, H);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                cv.c[size_t(y) * W + x] = fromQRgb(background.pixel(x, y));
                cv.a[size_t(y) * W + x] = 1;
            }
        Mask gap(W, H);
        for (int y = tubeTop - 2; y <= tubeTop + 2; ++y)
            for (int x = W / 2 - 14; x <= W / 2 + 14; ++x)
                gap(x, y) = 1;
        cv.over(gap, [&](int, int y) { return wall(y); });
        cv.over(
            glow, [](int, int) { return hex(0xff2d95); }, 0.8f);
        cv.over(shape, [](int, int) { return hex(0xffd6ec); });
        background = finish(
            cv, {0, W - 1}, [&](int y) { return wall(y); }, false, 0);
    }
    writeBmp24(background, dir + QStringLiteral("/wall.bmp"));
    writeBmp24(piece, dir + QStringLiteral("/wall-left.bmp"));
    writeBmp24(piece, dir + QStringLiteral("/wall-right.bmp"));

    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-ExtraLight.ttf")), 50);
    const Cell cell = cellFor(font, true, 9, 9);
    GlyphSet set;
    for (QChar key : kCharacters) {
        const QPainterPath path = glyphOf(font, shown(key, true)).path;
        const Mask tube = glyphMask(path, cell, 12, 3.0);
        const Mask core = glyphMask(path, cell, 12, 0);
        const Mask glow = blur(tube, 9);
        Canvas cv(tube.w, tube.h);
        Mask glowA(tube.w, tube.h);
        for (size_t i = 0; i < glowA.v.size(); ++i)
            glowA.v[i] = clamp01(glow.v[i] * 1.6f);
        cv.over(
            glowA, [](int, int) { return hex(0xff2d95); }, 0.55f);
        cv.over(tube, [](int, int) { return hex(0xff5ab2); });
        cv.over(
            core, [](int, int) { return hex(0xfff0f8); }, 0.85f);
        set.push_back({key, finish(
                                cv, inkColumns(tube, 0.05f, 10),
                                [&](int y) { return wall(ypos + y); }, true, 0.04f)});
    }
    writeGlyphs(dir + QStringLiteral("/tubes"), set);

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Neon: pink neon letters on a dark wall between two cyan tubes.
name = "Neon"

backgroundImage = wall.bmp
backgroundExtraLeft = wall-left.bmp   # repeated to the left of the wall picture
backgroundExtraRight = wall-right.bmp # repeated to the right of it
backgroundExtraExpandFrom = leftright
backgroundExtraMarge = 30

imgFont
  name = tubes
  label = "Sign"
  default = "NIGHT OWL"
  transparent            # black around the tubes is left out
  charspace = -12        # the glow overlaps the next letter's cell
  space = 22
  xpos = center
  ypos = 14
imgFontEnd

ttfFont
  name = DejaVu Sans
  label = "Small print"
  default = "COCKTAIL BAR & LOUNGE"
  size = 9
  bold
  spaced
  color = 0x00FFF0B0     # a pale cyan
  glow = 5               # a halo like the tubes'
  glowColor = 0x00FFC040 # cyan
  xpos = center
  align = center
  ypos = 93
ttfFontEnd
)");

    writePreview(previewDir, QStringLiteral("Neon"), programLogo(root, QStringLiteral("Neon")));
    QImage thumb = background;
    drawImgText(thumb, dir + QStringLiteral("/tubes"), QStringLiteral("NEON"), -1, 30, -12, 22,
                true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Ocean
// Dusk over the sea: the waves repeat every 60 pixels, the sun is one piece
// placed in the middle, the texts are TrueType.
void makeOcean(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Ocean"));
    const int H = 112, W = 420, horizon = 64, period = 60;
    const double twoPi = 2 * M_PI;

    auto sky = [&](int y) {
        return gradient({{0.0f, hex(0x0a1a45)},
                         {0.5f, hex(0x1c2c6a)},
                         {0.72f, hex(0x5a3b7e)},
                         {0.88f, hex(0xd96a5c)},
                         {1.0f, hex(0xffb45e)}},
                        y / float(horizon - 1));
    };
    auto sea = [&](int x, int y) {
        const float depth = (y - horizon) / float(H - horizon);
        Rgb c =
            gradient({{0.0f, hex(0x2d6d96)}, {0.25f, hex(0x17547f)}, {1.0f, hex(0x062742)}}, depth);
        // Wave crests: rows further down are nearer, so taller and sparser.
        const int bands = 7;
        for (int j = 0; j < bands; ++j) {
            const float t = j / float(bands - 1);
            const float y0 = horizon + 3 + t * t * (H - horizon - 4);
            const float amp = 0.5f + 2.0f * t;
            const int k = 1 + (j % 3);
            const float crest = y0 + amp * float(std::sin(twoPi * k * x / period + j * 1.7) +
                                                 0.35 * std::sin(twoPi * (k + 1) * x / period + j));
            const float d = y - crest;
            if (d >= -0.5f && d < 1.5f + t) {
                const float f = (d < 0.5f ? 0.55f : 0.3f) * (0.3f + 0.7f * t);
                c = mix(c, hex(0x9fd3ea), f);
            } else if (d >= 1.5f + t && d < 4.0f + 2 * t) {
                c = scale(c, 0.92f);
            }
        }
        // The sun's warm light on the water near the horizon.
        c = add(c, scale(hex(0x5a2a10), std::max(0.0f, 1.0f - (y - horizon) / 12.0f) * 0.5f));
        return c;
    };
    auto scene = [&](int x, int y) { return y < horizon ? sky(y) : sea(x % period, y); };

    const QImage tile = imageFrom(period, H, scene);
    const int sunW = 140;
    const QImage sun = imageFrom(sunW, horizon, [&](int x, int y) {
        const float dx = x - sunW / 2.0f + 0.5f, dy = y - float(horizon) + 0.5f;
        const float r = std::sqrt(dx * dx + dy * dy);
        Rgb c = sky(y);
        const float glow = std::max(0.0f, 1.0f - r / 66.0f);
        c = add(c, scale(hex(0xff9a40), glow * glow * 0.55f));
        if (r < 26.0f) {
            const Rgb disc = gradient({{0.0f, hex(0xfff4b8)}, {1.0f, hex(0xffa040)}},
                                      (y - (horizon - 26)) / 26.0f);
            c = mix(c, disc, clamp01(26.0f - r));
        }
        return c;
    });
    QImage background = imageFrom(W, H, scene);
    {
        QPainter p(&background);
        p.drawImage((W - sunW) / 2, 0, sun);
    }
    writeBmp24(background, dir + QStringLiteral("/sea.bmp"));
    writeBmp24(tile, dir + QStringLiteral("/waves.bmp"));
    writeBmp24(sun, dir + QStringLiteral("/sun.bmp"));

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Ocean: dusk over the sea, white title in the sky, a warm line on the water.
name = "Ocean"

backgroundImage = sea.bmp
backgroundExtraRight = waves.bmp    # repeated from the left edge to the right
backgroundExtraCenter = sun.bmp     # drawn once in the middle, over the waves
backgroundExtraExpandFrom = right
backgroundExtraMarge = 24

ttfFont
  name = DejaVu Sans
  label = "Title"
  default = "BLUE LAGOON"
  size = 24
  bold
  color = $FFFFFF
  xpos = center
  align = center
  ypos = 4
ttfFontEnd

ttfFont
  name = DejaVu Serif
  label = "Subtitle"
  default = "surf & sailing school"
  size = 12
  italic
  color = $B8EEFF       # warm white: red FF, green EE, blue B8
  xpos = center
  align = center
  ypos = 76
ttfFontEnd
)");

    writePreview(previewDir, QStringLiteral("Ocean"), programLogo(root, QStringLiteral("Ocean")));
    QImage thumb = background;
    drawTtfCentered(thumb, QStringLiteral("DejaVu Sans"), 36, false, qRgb(255, 255, 255),
                    QStringLiteral("OCEAN"), 2);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Retro
// An 8-bit synthwave night: banded sky, grid floor, striped sun, chrome
// letters. Every picture shares one 256-colour palette.
void makeRetro(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Retro"));
    const int H = 120, W = 440, horizon = 78, period = 40, ypos = 8;

    auto skyBand = [&](int y) {
        const float t = std::floor(y / 78.0f * 20.0f) / 19.0f;
        return gradient({{0.0f, hex(0x13042a)},
                         {0.45f, hex(0x380a5e)},
                         {0.78f, hex(0x8c1c7a)},
                         {1.0f, hex(0xff5e7a)}},
                        t);
    };
    auto scene = [&](int x, int y) {
        const int px = x % period;
        if (y < horizon) {
            if (y < 52 && noise(px, y, 5) > 0.992f)
                return hex(0xfff6ff);
            return skyBand(y);
        }
        if (y < horizon + 2)
            return hex(0xff3df2);
        const float t = (y - horizon) / float(H - horizon);
        Rgb c = mix(hex(0x16032a), hex(0x2a0742), t);
        // Floor lines come closer together towards the horizon.
        for (int d : {3, 7, 12, 19, 28, 40})
            if (y == horizon + 1 + d)
                return mix(hex(0x6e1470), hex(0xff2fc0), clamp01(d / 30.0f));
        if (px == 0 || px == period / 2)
            return mix(hex(0x4a0f5c), hex(0xc21fa8), t);
        return c;
    };
    const int sunW = 120;
    auto sunPixel = [&](int x, int y) {
        const float dx = x - sunW / 2.0f + 0.5f, dy = y - float(horizon) + 0.5f;
        const float r = std::sqrt(dx * dx + dy * dy);
        const int up = horizon - y;
        const bool gap =
            (up >= 4 && up <= 6) || (up >= 11 && up <= 12) || (up >= 18 && up <= 19) || up == 25;
        if (r < 46.0f && !gap) {
            const float t = std::floor((y - (horizon - 46)) / 46.0f * 12.0f) / 11.0f;
            return gradient({{0.0f, hex(0xffe85c)}, {0.5f, hex(0xff9a3c)}, {1.0f, hex(0xff2e88)}},
                            t);
        }
        return skyBand(y);
    };

    const QImage tileRgb = imageFrom(period, H, scene);
    const QImage sunRgb = imageFrom(sunW, horizon, sunPixel);
    QImage bgRgb = imageFrom(W, H, scene);
    {
        QPainter p(&bgRgb);
        p.drawImage((W - sunW) / 2, 0, sunRgb);
    }

    // Chrome ramp for the letters, in three shades.
    auto chrome = [&](float t) {
        return gradient({{0.0f, hex(0xf6fbff)},
                         {0.42f, hex(0x93cbff)},
                         {0.5f, hex(0x23257a)},
                         {0.57f, hex(0x5c1f8c)},
                         {0.8f, hex(0xff70c4)},
                         {1.0f, hex(0xffe4a6)}},
                        t);
    };
    QList<QRgb> palette;
    auto addColour = [&](QRgb c) {
        if (!palette.contains(c))
            palette.push_back(c);
    };
    for (const QImage* img : std::initializer_list<const QImage*>{&bgRgb, &tileRgb, &sunRgb})
        for (int y = 0; y < img->height(); ++y)
            for (int x = 0; x < img->width(); ++x)
                addColour(img->pixel(x, y) | 0xff000000);
    for (int i = 0; i < 32; ++i)
        for (float shade : {0.65f, 1.0f, 1.25f})
            addColour(toQRgb(scale(chrome(i / 31.0f), shade)));
    for (int i = 0; i <= 8; ++i) {
        addColour(toQRgb(mix(hex(0x1a0433), skyBand(20), i / 8.0f)));
        addColour(toQRgb(mix(hex(0x1f0538), hex(0x00ffff), i / 8.0f)));
    }
    addColour(qRgb(255, 255, 255));
    addColour(qRgb(0, 0, 0));
    if (palette.size() > 256) {
        std::fprintf(stderr, "Retro palette has %d colours\n", int(palette.size()));
        std::exit(1);
    }
    while (palette.size() < 256)
        palette.push_back(qRgb(0, 0, 0));

    const QImage background = toPalette(bgRgb, palette);
    writeBmp8(background, dir + QStringLiteral("/night.bmp"));
    writeBmp8(toPalette(tileRgb, palette), dir + QStringLiteral("/grid.bmp"));
    writeBmp8(toPalette(sunRgb, palette), dir + QStringLiteral("/sun.bmp"));

    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-BoldOblique.ttf")), 52);
    const Cell cell = cellFor(font, true, 4, 3);
    const float capTop = float(cell.baseline - cell.capHeight);
    GlyphSet set;
    for (QChar key : kCharacters) {
        const QPainterPath path = glyphOf(font, shown(key, true)).path;
        const Mask m = glyphMask(path, cell, 5, 0);
        const Mask outline = dilate(m, 3);
        const Mask soft = blur(m, 4);
        Canvas cv(m.w, m.h);
        cv.over(outline, [](int, int) { return hex(0x1a0433); });
        cv.over(m, [&](int x, int y) {
            const float light = bevelLight(soft, x, y);
            return scale(chrome((y - capTop) / float(cell.capHeight)), 0.7f + 0.55f * light);
        });
        set.push_back({key, finish(
                                cv, inkColumns(outline, 0.02f, 1),
                                [&](int y) { return skyBand(ypos + y); }, true, 0.45f)});
    }
    writeGlyphs(dir + QStringLiteral("/chrome"), set);

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Retro: chrome capitals over a synthwave sunset, in 256 colours.
name = "Retro"

backgroundImage = night.bmp          # 8 bits per pixel: the logo keeps this palette
backgroundExtraLeft = grid.bmp       # repeated across the whole width
backgroundExtraCenter = sun.bmp      # drawn once in the middle
backgroundExtraExpandFrom = left
backgroundExtraMarge = 36

imgFont
  name = chrome
  label = "Title"
  default = "SUNDOWN"
  transparent
  charspace = -3
  space = 18
  xpos = center
  ypos = 8
imgFontEnd

ttfFont
  name = DejaVu Sans
  label = "Tagline"
  default = "ARCADE & SYNTH CLUB"
  size = 11
  bold
  italic
  spaced
  color = $FFFF00        # blue FF, green FF, red 00: cyan
  xpos = center
  align = center
  ypos = 94
ttfFontEnd
)");

    writePreview(previewDir, QStringLiteral("Retro"), programLogo(root, QStringLiteral("Retro")));
    QImage thumb = background.convertToFormat(QImage::Format_RGB32);
    drawImgText(thumb, dir + QStringLiteral("/chrome"), QStringLiteral("RETRO"), -1, 14, 1, 18,
                true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Stamp
// Red rubber-stamp capitals, one per box of a paper form. The letters are
// 1-bit pictures of one width; with their spacing they step exactly one box.
void makeStamp(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Stamp"));
    const int H = 110, W = 330, box = 32, glyphW = 28, boxTop = 30, boxBottom = 96;

    auto paper = [&](int x, int y) {
        const float n = fractalNoise(x * 0.15f, y * 0.15f, 11, 3);
        const float fibre = smoothNoise(x * 0.9f, y * 0.08f, 12);
        Rgb c = scale(hex(0xf1e7ca), 0.93f + 0.07f * n);
        return scale(c, 0.985f + 0.015f * fibre);
    };
    auto boxes = [&](int x, int y) {
        const int px = x % box;
        const bool edgeX = (px == 1 || px == box - 2) && y >= boxTop && y <= boxBottom;
        const bool edgeY = (y == boxTop || y == boxBottom) && px >= 1 && px <= box - 2;
        if (edgeX || edgeY)
            return mix(paper(x, y), hex(0x6f90c8), 0.85f);
        return paper(x, y);
    };
    const QImage tile = imageFrom(box, H, boxes);
    auto marginPiece = [&](bool left) {
        QImage img = imageFrom(28, H, paper);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        if (left) {
            p.fillRect(QRectF(21, 0, 1, H), QColor(0xd0, 0x5a, 0x5a));
            p.fillRect(QRectF(24, 0, 1, H), QColor(0xd0, 0x5a, 0x5a));
            for (int cy : {30, 80}) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0xb9, 0xae, 0x92));
                p.drawEllipse(QPointF(10, cy), 5.5, 5.5);
                p.setBrush(QColor(0x4a, 0x44, 0x3a));
                p.drawEllipse(QPointF(10.6, cy + 0.6), 4.5, 4.5);
            }
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xb5, 0xaa, 0x8c));
            for (int y = 3; y < H; y += 7)
                p.drawEllipse(QPointF(20, y), 1.4, 1.4);
        }
        return img;
    };
    const QImage left = marginPiece(true), right = marginPiece(false);
    QImage background = imageFrom(W, H, boxes);
    {
        QPainter p(&background);
        p.drawImage(0, 0, left);
        p.drawImage(W - 28, 0, right);
    }
    writeBmp24(background, dir + QStringLiteral("/form.bmp"));
    writeBmp24(tile, dir + QStringLiteral("/box.bmp"));
    writeBmp24(left, dir + QStringLiteral("/margin-left.bmp"));
    writeBmp24(right, dir + QStringLiteral("/margin-right.bmp"));

    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSansMono-Bold.ttf")), 44);
    const Cell cell = cellFor(font, true, 2, 2);
    // Letters sit in the middle of the boxes.
    const int ypos =
        int(std::lround((boxTop + boxBottom) / 2.0 - (cell.baseline - cell.capHeight / 2)));
    const QList<QRgb> inkPalette = {qRgb(0xb8, 0x1e, 0x2a), qRgb(255, 255, 255)};
    GlyphSet set;
    int seed = 100;
    for (QChar key : kCharacters) {
        ++seed;
        const Glyph g = glyphOf(font, shown(key, true));
        const double angle = (noise(seed, 1, 3) - 0.5) * 5.0;
        QTransform t;
        t.translate(glyphW / 2.0, cell.baseline - cell.capHeight / 2);
        t.rotate(angle);
        t.translate(-g.advance / 2, cell.capHeight / 2);
        const Mask m = rasterize(t.map(g.path), glyphW, cell.height, 0, 0, 0);
        QImage img(glyphW, cell.height, QImage::Format_Indexed8);
        img.setColorTable(inkPalette);
        for (int y = 0; y < cell.height; ++y)
            for (int x = 0; x < glyphW; ++x) {
                const float rough = fractalNoise(x * 0.4f, y * 0.4f, seed, 2);
                const bool worn = smoothNoise(x / 3.5f, y / 3.5f, seed + 7) < 0.16f;
                const bool ink = m.at(x, y) * (0.8f + 0.45f * rough) > 0.62f && !worn &&
                                 noise(x, y, seed + 9) > 0.07f && y < cell.height - 1;
                img.setPixel(x, y, ink ? 0 : 1);
            }
        set.push_back({key, img});
    }
    {
        QImage blank(glyphW, cell.height, QImage::Format_Indexed8);
        blank.setColorTable(inkPalette);
        blank.fill(1);
        set.push_back({QLatin1Char(' '), blank});
    }
    writeGlyphs(dir + QStringLiteral("/ink"), set);

    writeText(dir + QStringLiteral("/script.zot"),
              QStringLiteral(R"(# Stamp: red rubber-stamp capitals, one in each box of a paper form.
name = "Stamp"

backgroundImage = form.bmp
backgroundExtraCenter = box.bmp          # one box per letter
backgroundExtraLeft = margin-left.bmp
backgroundExtraRight = margin-right.bmp
backgroundExtraExpandFrom = character    # boxes follow the letters of the stamp
backgroundExtraMarge = 34

ttfFont
  name = DejaVu Sans Mono
  label = "Heading"
  default = "REGISTRATION - PLEASE PRINT"
  size = 9
  bold
  underline
  color = 0x00803818     # dark blue
  xpos = 34
  ypos = 9
ttfFontEnd

# Characters are 1-bit pictures: red ink, white paper (white is left out).
# The pictures are 28 pixels wide; 28 + 4 makes one 32-pixel box per letter.
imgFont
  name = ink
  label = "Stamp"
  default = "APPROVED"
  transparent
  charspace = 4
  xpos = center
  ypos = %1
imgFontEnd
)")
                  .arg(ypos)
                  .toUtf8());

    writePreview(previewDir, QStringLiteral("Stamp"), programLogo(root, QStringLiteral("Stamp")));
    QImage thumb = background;
    // Two pixels right of centre, as the form's boxes sit.
    const QString ink = dir + QStringLiteral("/ink");
    drawImgText(thumb, ink, QStringLiteral("STAMP"),
                (W - imgTextWidth(ink, QStringLiteral("STAMP"), 4, 0)) / 2 + 2, ypos, 4, 0, true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

// ---------------------------------------------------------------- Chalk
// A café blackboard of fixed size: a chalk heading spread over the board's
// width and a centred line in chalk handwriting below it.
void makeChalk(const QString& root, const QString& previewDir) {
    const QString dir = designDir(root, QStringLiteral("Chalk"));
    const int H = 170, W = 460, frame = 12, tray = 18;

    auto board = [&](int x, int y) {
        const float smudge = fractalNoise(x * 0.02f, y * 0.05f, 21, 4);
        const float wipe = smoothNoise(x * 0.008f, y * 0.09f, 22);
        Rgb c = hex(0x223129);
        c = add(c, scale(hex(0x1a211d), smudge * 0.9f + wipe * 0.5f));
        if (noise(x, y, 23) > 0.997f)
            c = add(c, hex(0x2a2a26));
        return c;
    };
    auto wood = [&](int x, int y, bool vertical) {
        const float along = vertical ? y : x, across = vertical ? x : y;
        const float grain = fractalNoise(along * 0.03f, across * 0.6f, 31, 3);
        Rgb c = mix(hex(0x5b3418), hex(0x9a6434), grain);
        return scale(c, 0.9f + 0.1f * noise(int(along / 3), int(across), 32));
    };
    QImage background = imageFrom(W, H, [&](int x, int y) {
        const int bottomFrame = H - tray;
        const bool inBoard = x >= frame && x < W - frame && y >= frame && y < bottomFrame;
        if (inBoard) {
            Rgb c = board(x, y);
            // Inner shadow along the frame.
            const int d = std::min({x - frame, W - frame - 1 - x, y - frame, bottomFrame - 1 - y});
            if (d < 4)
                c = scale(c, 0.6f + 0.1f * d);
            return c;
        }
        const bool vertical = (x < frame || x >= W - frame) && y >= frame && y < bottomFrame;
        Rgb c = wood(x, y, vertical);
        // Bevel: light on the outer top-left, shade on the bottom-right.
        if (x == 0 || y == 0)
            c = scale(c, 1.35f);
        else if (x == W - 1 || y == H - 1)
            c = scale(c, 0.55f);
        else if (y == bottomFrame || (x == frame - 1 && y < bottomFrame) ||
                 (y == frame - 1 && x >= frame))
            c = scale(c, 0.6f);
        return c;
    });
    {
        QPainter p(&background);
        p.setRenderHint(QPainter::Antialiasing, true);
        // A stick of chalk on the tray and a chalk swash under the heading.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xf0, 0xe6));
        p.drawRoundedRect(QRectF(W - 90, H - tray + 5, 34, 7), 3, 3);
        p.setBrush(QColor(0xc8, 0xc4, 0xb8));
        p.drawRoundedRect(QRectF(W - 90, H - tray + 9, 34, 3), 1.5, 1.5);
        QPainterPath swash;
        swash.moveTo(90, 79);
        swash.cubicTo(180, 73, 280, 84, 370, 76);
        Mask line = rasterize(swash, W, H, 0, 0, 2.2);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const float a = line.at(x, y) * (noise(x, y, 41) > 0.3f ? 0.85f : 0.2f);
                if (a > 0)
                    background.setPixel(
                        x, y, toQRgb(mix(fromQRgb(background.pixel(x, y)), hex(0xe8e8de), a)));
            }
    }
    writeBmp24(background, dir + QStringLiteral("/blackboard.bmp"));

    // Chalk is grainy: a pixel is chalk or board, never in between.
    auto chalkSet = [&](const QString& fontFile, int px, bool upper, int seed, int spaceWidth) {
        const QRawFont font = loadFont(dejaVu(fontFile), px);
        const Cell cell = cellFor(font, upper, 3, 3);
        GlyphSet set;
        for (QChar key : kCharacters) {
            ++seed;
            const Mask m = glyphMask(glyphOf(font, shown(key, upper)).path, cell, 3, 0.6);
            Canvas cv(m.w, m.h);
            Mask on(m.w, m.h);
            for (int y = 0; y < m.h; ++y)
                for (int x = 0; x < m.w; ++x) {
                    const float density =
                        m.at(x, y) * (0.7f + 0.3f * smoothNoise(x * 0.7f, y * 0.3f, seed));
                    on(x, y) = density > noise(x, y, seed) * 0.75f + 0.2f ? 1.0f : 0.0f;
                }
            cv.over(on, [&](int x, int y) {
                return scale(hex(0xf4f3ea), 0.82f + 0.18f * noise(x, y, seed + 1));
            });
            set.push_back(
                {key, finish(
                          cv, inkColumns(m, 0.3f, 1), [](int) { return Rgb{}; }, true, 0.5f)});
        }
        if (spaceWidth > 0) {
            QImage blank(spaceWidth, cell.height, QImage::Format_RGB32);
            blank.fill(qRgb(0, 0, 0));
            set.push_back({QLatin1Char(' '), blank});
        }
        return set;
    };
    const GlyphSet heading =
        chalkSet(QStringLiteral("DejaVuSansCondensed-Bold.ttf"), 46, true, 200, 14);
    const GlyphSet hand = chalkSet(QStringLiteral("DejaVuSerif.ttf"), 27, false, 400, 0);
    writeGlyphs(dir + QStringLiteral("/chalk"), heading);
    writeGlyphs(dir + QStringLiteral("/hand"), hand);

    writeText(dir + QStringLiteral("/script.zot"), R"(# Chalk: a cafe blackboard of fixed size.
# No expand mode: the board keeps its size and long texts are squeezed
# (the heading) or cut off at the frame.
name = "Chalk"

backgroundImage = blackboard.bmp

imgFont
  name = chalk
  label = "Heading"
  default = "DAILY SPECIALS"
  transparent
  align = fill           # spread the letters evenly over the width
  width = 380
  xpos = 40
  ypos = 20
imgFontEnd

imgFont
  name = hand            # small letters
  label = "Menu line"
  default = "soup - coffee - cake"
  transparent
  align = center         # centred inside the 380 pixels
  width = 380
  space = 9
  xpos = 40
  ypos = 92
imgFontEnd
)");

    writePreview(previewDir, QStringLiteral("Chalk"), programLogo(root, QStringLiteral("Chalk")));
    QImage thumb = background;
    drawImgText(thumb, dir + QStringLiteral("/chalk"), QStringLiteral("CHALK"), -1, 50, 8, 0, true);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
