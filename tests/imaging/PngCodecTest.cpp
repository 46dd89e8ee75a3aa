#include "imaging/PngCodec.h"
#include "imaging/BmpCodec.h"

#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <thread>
#include <vector>

using namespace zot;

namespace {

// What a logo holds: flat runs and steps, as backgrounds and text give, or
// noise that does not compress at all.
enum class Content { Logo, Noise };

struct PngCase {
    const char* name;
    int bpp;
    bool rgb565;
    int paletteSize; // paletted: entries in the palette, fewer than the depth allows
    bool indicesPastPalette;
    Content content;
    int expectedColourType;
};

void PrintTo(const PngCase& c, std::ostream* os) {
    *os << c.name;
}

// A bitmap of that kind, its storage filled directly so that paletted ones
// can hold any index the depth has room for.
Bitmap makeBitmap(const PngCase& c, int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    const bool paletted = c.bpp <= 8;
    QImage::Format format = QImage::Format_RGB32;
    if (paletted)
        format = QImage::Format_Indexed8;
    else if (c.bpp == 16)
        format = c.rgb565 ? QImage::Format_RGB16 : QImage::Format_RGB555;
    QImage image(w, h, format);
    QList<QRgb> palette;
    if (paletted) {
        for (int i = 0; i < c.paletteSize; ++i)
            palette.append(qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
        image.setColorTable(palette);
    }
    const int values = c.indicesPastPalette ? (1 << c.bpp) : c.paletteSize;
    for (int y = 0; y < h; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const bool noise = c.content == Content::Noise || (x / 7 + y / 3) % 5 == 0;
            const quint32 v = noise ? quint32(rng()) : quint32(0x00806040u + (x / 16) * 0x010203u);
            if (paletted)
                line[x] = uchar(noise ? v % values : (x / 16 + y / 8) % values);
            else if (c.bpp == 16)
                reinterpret_cast<quint16*>(line)[x] = quint16(v);
            else
                reinterpret_cast<quint32*>(line)[x] = 0xff000000u | v;
        }
    }
    return Bitmap::fromStorage(std::move(image), c.bpp, c.rgb565);
}

class PngOfEveryLogo : public ::testing::TestWithParam<PngCase> {};

// The PNG file of each kind of logo, read by Qt, holds the pixels of its
// BMP file read back, at widths around the packing's four-pixel steps and
// the bit packing of paletted rows.
TEST_P(PngOfEveryLogo, HoldsThePixelsOfTheBmpFile) {
    const PngCase& c = GetParam();
    QByteArray png;
    for (int w : {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 33, 728}) {
        for (int h : {1, 4, 90}) {
            const Bitmap logo = makeBitmap(c, w, h, unsigned(w * 131 + h));
            const auto fromBmp = decodeBmp(encodeBmp(logo));
            ASSERT_TRUE(fromBmp);
            encodePngInto(logo, png); // the buffer of the last file is reused
            ASSERT_GE(png.size(), 33);
            EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
            EXPECT_EQ(qFromBigEndian<quint32>(png.constData() + 16), quint32(w));
            EXPECT_EQ(uchar(png[24]), c.bpp <= 8 ? c.bpp : 8) << "bit depth";
            EXPECT_EQ(uchar(png[25]), c.expectedColourType);
            const QImage fromPng = QImage::fromData(png, "PNG");
            ASSERT_EQ(fromPng.size(), QSize(w, h)) << w << "x" << h;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(fromPng.pixel(x, y), fromBmp->pixel(x, y))
                        << w << "x" << h << " at " << x << "," << y;
        }
    }
}

const PngCase kPngCases[] = {
    {"Rgb24", 24, false, 0, false, Content::Logo, 2},
    {"Rgb24Noise", 24, false, 0, false, Content::Noise, 2},
    {"Rgb32", 32, false, 0, false, Content::Logo, 2},
    {"Rgb555", 16, false, 0, false, Content::Logo, 2},
    {"Rgb565", 16, true, 0, false, Content::Noise, 2},
    {"Indexed8", 8, false, 256, false, Content::Logo, 3},
    {"Indexed8ShortPalette", 8, false, 200, false, Content::Noise, 3},
    {"Indexed8PastPalette", 8, false, 5, true, Content::Logo, 3},
    {"Indexed4", 4, false, 16, false, Content::Logo, 3},
    {"Indexed4PastPalette", 4, false, 3, true, Content::Noise, 3},
    {"Indexed1", 1, false, 2, false, Content::Noise, 3},
    {"Indexed1OneColour", 1, false, 1, true, Content::Logo, 3},
};

INSTANTIATE_TEST_SUITE_P(Kinds, PngOfEveryLogo, ::testing::ValuesIn(kPngCases),
                         [](const auto& p) { return std::string(p.param.name); });

// Pictures with alpha are written as RGBA with unpremultiplied colours;
// others as RGB or, for an 8-bit palette, paletted.
TEST(PngOfImages, KeepAlphaAndColours) {
    std::mt19937 rng(7);
    QImage argb(37, 11, QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            argb.setPixel(x, y, (x + y) % 3 ? quint32(rng()) : 0xff204060u);
    QImage indexed(9, 3, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50), qRgb(9, 8, 7)});
    indexed.fill(2);
    indexed.setPixel(4, 1, 1);
    QImage rgb888(5, 4, QImage::Format_RGB888);
    rgb888.fill(qRgb(10, 20, 30));
    struct {
        QImage image;
        int colourType;
    } cases[] = {{argb, 6},
                 {argb.convertToFormat(QImage::Format_ARGB32_Premultiplied), 6},
                 {indexed, 3},
                 {rgb888, 2},
                 {argb.convertToFormat(QImage::Format_RGB32), 2}};
    for (const auto& c : cases) {
        QByteArray png;
        encodePngInto(c.image, png);
        ASSERT_GE(png.size(), 33) << c.image.format();
        EXPECT_EQ(uchar(png[25]), c.colourType) << c.image.format();
        const QImage back = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
        const QImage want = c.image.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(back.size(), want.size());
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                ASSERT_EQ(back.pixel(x, y), want.pixel(x, y))
                    << c.image.format() << " at " << x << "," << y;
    }
}

// Nothing to write for an empty picture, whatever the buffer held before;
// threads encoding at once give the bytes one thread gives.
TEST(PngOfImages, EmptyPicturesAndThreads) {
    QByteArray png("left over");
    encodePngInto(Bitmap(), png);
    EXPECT_TRUE(png.isEmpty());
    png = "left over";
    encodePngInto(Bitmap::create(0, 5, 8, {qRgb(1, 2, 3)}), png);
    EXPECT_TRUE(png.isEmpty());
    png = "left over";
    encodePngInto(QImage(), png);
    EXPECT_TRUE(png.isEmpty());

    const PngCase kinds[] = {kPngCases[0], kPngCases[1], kPngCases[8]};
    std::vector<QByteArray> alone;
    for (const PngCase& c : kinds) {
        alone.emplace_back();
        encodePngInto(makeBitmap(c, 300, 60, 3), alone.back());
    }
    std::vector<std::vector<QByteArray>> together(4);
    std::vector<std::thread> threads;
    for (auto& files : together)
        threads.emplace_back([&files, &kinds] {
            for (int round = 0; round < 3; ++round)
                for (const PngCase& c : kinds) {
                    files.emplace_back();
                    encodePngInto(makeBitmap(c, 300, 60, 3), files.back());
                }
        });
    for (std::thread& t : threads)
        t.join();
    for (const auto& files : together)
        for (size_t i = 0; i < files.size(); ++i)
            ASSERT_EQ(files[i], alone[i % alone.size()]) << i;
}

} // namespace
