// The guide's pictures of the lettering commands: one small design per
// command under docs/images/lettering/, which tools/make-gallery.sh renders
// with zotmaker-cli into docs/lettering/.

#include "Designs.h"
#include "Kit.h"
#include "Raster.h"

#include <QPainter>

namespace mk {

namespace {

struct Demo {
    const char* command; // the folder's name
    bool dark;           // a dark background, for what shines
    const char* text;
    const char* lines; // the ttfFont lines that show the command
};

const Demo kDemos[] = {
    {"outline", false, "Zotmaker", "color = $00D8FF\noutline = 3\n"},
    {"outlineColor", false, "Zotmaker", "color = $00D8FF\noutline = 3\noutlineColor = $0000A0\n"},
    {"shadowX", false, "Zotmaker", "color = $C05020\nshadowX = 4\n"},
    {"shadowY", false, "Zotmaker", "color = $C05020\nshadowY = 4\n"},
    {"shadowBlur", false, "Zotmaker",
     "color = $C05020\nshadowX = 3\nshadowY = 3\nshadowBlur = 5\n"},
    {"shadowColor", false, "Zotmaker",
     "color = $C05020\nshadowX = 3\nshadowY = 3\nshadowBlur = 3\nshadowColor = $40B0FF\n"},
    {"glow", true, "Zotmaker", "color = $502810\nglow = 8\n"},
    {"glowColor", true, "Zotmaker", "color = $FFFFFF\nglow = 8\nglowColor = $FF40E0\n"},
    {"gradient", false, "Zotmaker", "color = $40E0FF\ngradient = $0000B0\n"},
    {"tracking", false, "Zotmaker", "color = $C05020\ntracking = 6\n"},
    {"fitWidth", false, "Zotmaker for everyone", "color = $C05020\nfitWidth = 200\n"},
    {"minSize", false, "Zotmaker for everyone", "color = $C05020\nfitWidth = 120\nminSize = 16\n"},
};

} // namespace

void makeLetteringDemos(const QString& imagesDir) {
    const int W = 240, H = 56;
    for (const Demo& demo : kDemos) {
        const QString dir = imagesDir + QStringLiteral("/lettering/") + QLatin1String(demo.command);
        ensureDir(dir);
        const bool dark = demo.dark;
        // A soft band; the fitting demos mark the 200 pixels in the middle.
        QImage background = imageFrom(W, H, [&](int x, int y) {
            const Rgb top = dark ? hex(0x1a1f3a) : hex(0xf4f1ea);
            const Rgb bottom = dark ? hex(0x0b0d1c) : hex(0xe2dccf);
            Rgb c = mix(top, bottom, y / float(H - 1));
            const bool fitting = QLatin1String(demo.command).startsWith(QLatin1String("fit")) ||
                                 QLatin1String(demo.command) == QLatin1String("minSize");
            if (fitting && (x == (W - 200) / 2 - 1 || x == (W + 200) / 2) && y % 4 < 2)
                c = hex(0x9a9080);
            return c;
        });
        writePng(background, dir + QStringLiteral("/band.png"));
        QByteArray lines;
        for (const QByteArray& line : QByteArray(demo.lines).split('\n'))
            if (!line.isEmpty())
                lines += "  " + line + "\n";
        writeText(dir + QStringLiteral("/script.zot"),
                  QByteArray("# The guide's picture of \"") + demo.command +
                      "\".\nbackgroundImage = band.png\n\nttfFont\n  name = DejaVu Sans\n"
                      "  bold\n  size = 24\n  xpos = center\n  align = center\n  ypos = 10\n"
                      "  default = \"" +
                      demo.text + "\"\n" + lines + "ttfFontEnd\n");
    }
}

} // namespace mk
