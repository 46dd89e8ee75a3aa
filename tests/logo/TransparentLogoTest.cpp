// A design whose background is a PNG with alpha makes a logo with alpha
// beside the opaque one, which stays as it always was.
#include "imaging/LogoFile.h"
#include "support/DesignFixture.h"

#include <QBuffer>
#include <QImageReader>

namespace zot::test {
namespace {

constexpr QRgb kClear = 0x00000000;
constexpr QRgb kHalfBlue = 0x800000ff;

class TransparentLogo : public DesignFixture {
  protected:
    void writeImage(const QString& name, const QImage& image) {
        ASSERT_TRUE(image.save(designPath + name, "png"));
    }
    // A 40 x 40 picture: its left half clear, its right half half-see-through blue.
    QImage halfClear(QImage::Format format = QImage::Format_ARGB32) const {
        QImage image(40, 40, QImage::Format_ARGB32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                image.setPixel(x, y, x < 20 ? kClear : kHalfBlue);
        return image.convertToFormat(format);
    }
    // Straight alpha, as a PNG holds it.
    static QRgb at(const QImage& premultiplied, int x, int y) {
        return qUnpremultiply(premultiplied.pixel(x, y));
    }
};

TEST_F(TransparentLogo, OnlyABackgroundPngWithAlphaMakesOne) {
    QImage paletted(40, 40, QImage::Format_Indexed8);
    paletted.setColorTable({kClear, 0xff00ff00});
    paletted.fill(0);
    Bitmap opaque32 = Bitmap::create(40, 40, 32);
    opaque32.fill(kWhite);
    struct Case {
        const char* label;
        std::function<void()> write;
        bool alpha;
    };
    const Case cases[] = {
        {"RGBA", [&] { writeImage("bg.png", halfClear()); }, true},
        {"palette with tRNS", [&] { writeImage("bg.png", paletted); }, true},
        {"RGB", [&] { writeImage("bg.png", halfClear(QImage::Format_RGB32)); }, false},
        {"32-bit BMP", [&] { writeBmpFile(opaque32, designPath + "bg.png"); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        c.write();
        writeScript("backgroundImage = bg.png\n");
        ASSERT_FALSE(open());
        EXPECT_EQ(engine->alphaLogo().isNull(), !c.alpha);
        if (c.alpha) {
            EXPECT_EQ(engine->alphaLogo().size(), QSize(40, 40));
        }
    }
}

TEST_F(TransparentLogo, PiecesKeepTheirAlphaTextBlendsAndTheOpaqueLogoStaysAsItWas) {
    writeImage("bg.png", halfClear());
    writeImage("center.png", halfClear().mirrored(true, false));
    // White, its see-through colour, with one green column.
    writePicture("chars/a.bmp", 6, 10, [](int x, int) { return x == 3 ? kGreen : kWhite; });
    // Mode character without an image font first: one centre piece at 45,
    // so columns 40 to 44 are covered by nothing.
    const QByteArray script =
        "backgroundImage = bg.png\nbackgroundExtraCenter = center.png\n"
        "backgroundExtraExpandFrom = character\nbackgroundExtraMarge = 5\n"
        "ttfFont\nname = DejaVu Sans\nsize = 20\ncolor = $0000FF\n"
        "default = W\nxpos = 2\nypos = 0\nttfFontEnd\n"
        "imgFont\nname = chars\nalign = left\ntransparent\ndefault = a\nxpos = 0\n"
        "ypos = 30\nimgFontEnd\n";
    writeScript(script);
    ASSERT_FALSE(open());
    const QImage alpha = engine->alphaLogo();
    const Bitmap opaque = engine->logo();
    ASSERT_EQ(alpha.width(), 50);
    EXPECT_EQ(opaque.width(), 50);
    // Widened columns start clear; the piece is copied with its alpha, not blended.
    for (int x = 40; x < 45; ++x)
        EXPECT_EQ(qAlpha(at(alpha, x, 39)), 0) << x;
    EXPECT_EQ(at(alpha, 47, 39), kHalfBlue);
    EXPECT_EQ(at(alpha, 30, 39), kHalfBlue);
    EXPECT_EQ(qAlpha(at(alpha, 10, 39)), 0);

    // The image font: its see-through white leaves the logo clear, green is opaque.
    EXPECT_EQ(qAlpha(at(alpha, 1, 35)), 0);
    EXPECT_EQ(at(alpha, 3, 35), kGreen);
    // Red text over clear pixels: every edge pixel keeps the text's colour.
    int edges = 0;
    for (int y = 0; y < 28; ++y)
        for (int x = 0; x < 20; ++x) {
            const QRgb c = at(alpha, x, y);
            if (qAlpha(c) >= 64 && qAlpha(c) < 255) {
                ++edges;
                EXPECT_GE(qRed(c), 250) << x << "," << y;
                EXPECT_LE(qGreen(c) + qBlue(c), 8) << x << "," << y;
            }
        }
    EXPECT_GT(edges, 3);
    // The opaque logo is the one drawn without alpha, also after a keystroke.
    LogoEngine plain(editor, dir.path());
    plain.setAlphaWanted(false);
    plain.OpenDesign(QStringLiteral("D"));
    EXPECT_TRUE(plain.alphaLogo().isNull());
    EXPECT_EQ(encodeBmp(plain.logo()), encodeBmp(opaque));
    engine->setLabelText(1, QStringLiteral("WW"));
    plain.setLabelText(1, QStringLiteral("WW"));
    EXPECT_EQ(encodeBmp(plain.logo()), encodeBmp(engine->logo()));
    EXPECT_EQ(engine->alphaLogo().width(), engine->logo().width());

    // A PNG file keeps the alpha; BMP holds the opaque logo.
    QByteArray png;
    encodeLogo(engine->logo(), engine->alphaLogo(), LogoFormat::Png, png);
    QBuffer buffer(&png);
    QImageReader reader(&buffer, "png");
    const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(read.size(), engine->alphaLogo().size());
    for (int y = 0; y < read.height(); ++y)
        for (int x = 0; x < read.width(); ++x)
            ASSERT_EQ(read.pixel(x, y), at(engine->alphaLogo(), x, y)) << x << "," << y;
    QByteArray bmp;
    encodeLogo(engine->logo(), engine->alphaLogo(), LogoFormat::Bmp, bmp);
    EXPECT_EQ(bmp, encodeBmp(engine->logo()));
}

} // namespace
} // namespace zot::test
