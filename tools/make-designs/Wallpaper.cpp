// Dusk Wallpaper: a 1920 x 1080 desktop picture of hills at dusk. The
// background keeps its size, so the logo is always a full-HD wallpaper.

#include "Compose.h"
#include "Designs.h"
#include "Kit.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mk {

void makeDuskWallpaper(const QString& root, const QString& previewDir) {
    const QString name = QStringLiteral("Dusk Wallpaper");
    const QString dir = designDir(root, name);
    const int W = 1920, H = 1080, titleY = 236;
    const float sunX = 1330, sunY = 590, sunR = 60;

    // The sky changes only from row to row, which keeps the PNG small.
    auto sky = [&](int y) {
        return gradient({{0.0f, hex(0x0b1030)},
                         {0.25f, hex(0x272062)},
                         {0.42f, hex(0x6c3a7c)},
                         {0.52f, hex(0xd26a6e)},
                         {0.6f, hex(0xffae72)},
                         {1.0f, hex(0xffd49a)}},
                        y / float(H - 1));
    };
    struct Ridge {
        float base, amp, freq;
        int seed;
        Rgb colour;
    };
    const Rgb far = hex(0x9a5a86), near = hex(0x0a0b1c);
    std::vector<Ridge> ridges;
    for (int i = 0; i < 5; ++i) {
        const float t = i / 4.0f;
        ridges.push_back({650.0f + 95.0f * i, 170.0f - 18.0f * i, 0.0025f + 0.0012f * i, 70 + i,
                          mix(far, near, std::pow(t, 0.8f))});
    }
    QImage background = imageFrom(W, H, [&](int x, int y) {
        Rgb c = sky(y);
        // Sparse stars high up, fading towards the horizon.
        if (y < 520 && noise(x, y, 61) > 0.9993f)
            c = mix(c, hex(0xfff4e0), 0.9f - y / 700.0f);
        const float dx = x - sunX, dy = y - sunY;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r < 260) {
            const float glow = 1.0f - r / 260.0f;
            c = add(c, scale(hex(0x6a3418), glow * glow));
        }
        if (r < sunR + 1)
            c = mix(c, hex(0xfff0c8), clamp01(sunR + 0.5f - r));
        for (const Ridge& ridge : ridges) {
            const float top =
                ridge.base - ridge.amp * fractalNoise(x * ridge.freq, 0.5f, ridge.seed, 4);
            const float cover = clamp01(y + 0.5f - top);
            if (cover > 0)
                c = mix(c, ridge.colour, cover);
        }
        return c;
    });
    writePng(background, dir + QStringLiteral("/hills.png"));

    // Thin glowing capitals; the glow is blended over the sky rows they stand on.
    const QRawFont font = loadFont(dejaVu(QStringLiteral("DejaVuSans-ExtraLight.ttf")), 118);
    const Cell cell = cellFor(font, true, 14, 14);
    GlyphSet set;
    for (QChar key : kCharacters) {
        const QPainterPath path = glyphOf(font, shown(key, true)).path;
        const Mask core = glyphMask(path, cell, 16, 2.2);
        const Mask glow = blur(dilate(core, 2), 8);
        Canvas cv(core.w, core.h);
        Mask glowA(core.w, core.h);
        for (size_t i = 0; i < glowA.v.size(); ++i)
            glowA.v[i] = clamp01(glow.v[i] * 1.4f);
        cv.over(
            glowA, [](int, int) { return hex(0xffb98a); }, 0.45f);
        cv.over(core, [](int, int) { return hex(0xfff6ec); });
        set.push_back({key, finish(
                                cv, inkColumns(core, 0.05f, 12),
                                [&](int y) { return sky(titleY + y); }, true, 0.05f)});
    }
    writeGlyphs(dir + QStringLiteral("/glow"), set, true);

    writeText(dir + QStringLiteral("/script.zot"),
              R"(# Dusk Wallpaper: a full-HD desktop picture of hills at dusk.
# No expand mode: the logo is always 1920 x 1080, made for "Set as wallpaper".
name = "Dusk Wallpaper"

backgroundImage = hills.png     # PNG keeps a large picture small

imgFont
  name = glow
  label = "Greeting"
  default = "GOOD EVENING"
  transparent            # the glow is blended over the sky, black is left out
  charspace = -10
  space = 40
  xpos = center
  ypos = 236
imgFontEnd

ttfFont
  name = DejaVu Serif
  label = "Line below"
  default = "the hills are quiet tonight"
  size = 24
  italic
  color = $C8DCFF        # a warm white: red FF, green DC, blue C8
  xpos = center
  align = center
  ypos = 404
ttfFontEnd

ttfFont
  name = DejaVu Sans
  label = "Corner"
  default = "MY DESKTOP"
  size = 10
  bold
  spaced
  color = $E0C0B0        # a pale lilac
  xpos = 1880
  align = right
  ypos = 1040
ttfFontEnd
)");

    writePreview(previewDir, name, programLogo(root, name));
    // The strip shows a band across the sky and the hills, with one word.
    QImage thumb = background.scaled(384, 216, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .copy(0, 96, 384, 96);
    drawTtfCentered(thumb, QStringLiteral("DejaVu Sans"), 34, true, qRgb(255, 240, 226),
                    QStringLiteral("DUSK"), 8);
    writeThumbnail(thumb, dir + QStringLiteral("/thumbnail.bmp"));
}

} // namespace mk
