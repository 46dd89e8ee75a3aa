#include "imaging/Bitmap.h"
#include "platform/Error.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>

using namespace zot;

namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);

Bitmap filled(int w, int h, QRgb colour, int bpp = 24, const QList<QRgb>& palette = {},
              bool rgb565 = false) {
    Bitmap b = Bitmap::create(w, h, bpp, palette, rgb565);
    b.fill(colour);
    return b;
}

} // namespace

TEST(Bitmap, DefaultIsEmpty32) {
    const Bitmap b;
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.bitsPerPixel(), 32);
    EXPECT_EQ(b.pixel(0, 0), 0u);
    EXPECT_TRUE(b.toImage().isNull());
}

TEST(Bitmap, CreateIsAllBitsZero) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        const Bitmap b = Bitmap::create(5, 3, bpp);
        EXPECT_EQ(b.width(), 5);
        EXPECT_EQ(b.height(), 3);
        EXPECT_EQ(b.bitsPerPixel(), bpp);
        EXPECT_EQ(b.isPaletted(), bpp <= 8);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(b.pixel(x, y), kBlack) << bpp;
        if (bpp <= 8) {
            EXPECT_EQ(b.palette().size(), 1 << bpp);
        }
    }
    EXPECT_EQ(Bitmap::create(2, 2, 16).storage().format(), QImage::Format_RGB555);
    EXPECT_EQ(Bitmap::create(2, 2, 16, {}, true).storage().format(), QImage::Format_RGB16);
    EXPECT_EQ(Bitmap::create(2, 2, 24).storage().format(), QImage::Format_RGB32);
    EXPECT_EQ(Bitmap::create(2, 2, 4).storage().format(), QImage::Format_Indexed8);
    EXPECT_EQ(Bitmap::create(1, 1, 1).palette(), (QList<QRgb>{kBlack, kWhite}));
}

TEST(Bitmap, CreateLimits) {
    EXPECT_THROW(Bitmap::create(40000, 1), Error);
    EXPECT_THROW(Bitmap::create(1, 40000), Error);
    EXPECT_THROW(Bitmap::create(32767, 32767, 32), Error);
    const Bitmap negative = Bitmap::create(-5, -2, 8);
    EXPECT_TRUE(negative.isEmpty());
    EXPECT_EQ(negative.width(), 0);
    EXPECT_EQ(negative.bitsPerPixel(), 8);
}

TEST(Bitmap, ZeroSizeKeepsFormatAndPalette) {
    const QList<QRgb> pal = {kRed, kGreen, kBlue};
    Bitmap b = Bitmap::create(0, 4, 8, pal);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.bitsPerPixel(), 8);
    EXPECT_EQ(b.palette(), pal);
    EXPECT_TRUE(b.storage().isNull());
    b.setWidth(3);
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 4);
    EXPECT_EQ(b.bitsPerPixel(), 8);
    EXPECT_EQ(b.storage().format(), QImage::Format_Indexed8);
    // No white in the palette and all three entries equally far from it:
    // the first of them.
    EXPECT_EQ(b.pixel(0, 0), kRed);
}

TEST(Bitmap, SetPixelAndNearest) {
    Bitmap b = Bitmap::create(2, 1, 8, {kBlack, kWhite, qRgb(200, 0, 0)});
    b.setPixel(0, 0, qRgb(180, 20, 10));
    b.setPixel(1, 0, qRgb(230, 230, 230));
    EXPECT_EQ(b.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), kWhite);
    b.setPixel(-1, 0, kWhite); // ignored
    b.setPixel(2, 0, kWhite);

    Bitmap c = Bitmap::create(1, 1, 16);
    c.setPixel(0, 0, qRgb(255, 128, 7));
    EXPECT_EQ(c.pixel(0, 0), qRgb(255, 132, 0));
    Bitmap d = Bitmap::create(1, 1, 16, {}, true);
    d.setPixel(0, 0, qRgb(255, 128, 7));
    EXPECT_EQ(d.pixel(0, 0), qRgb(255, 130, 0));
    Bitmap e = Bitmap::create(1, 1, 24);
    e.setPixel(0, 0, qRgba(1, 2, 3, 0));
    EXPECT_EQ(e.pixel(0, 0), qRgb(1, 2, 3));
}

TEST(Bitmap, Fill) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        Bitmap b = filled(3, 2, kWhite, bpp);
        EXPECT_EQ(b.pixel(2, 1), kWhite) << bpp;
    }
}

TEST(Bitmap, TransparentColour) {
    Bitmap b = filled(3, 3, kRed);
    b.setPixel(0, 2, kGreen);
    EXPECT_EQ(b.transparentColor(), kGreen);
    Bitmap mono = Bitmap::create(3, 3, 1); // all black
    EXPECT_EQ(mono.transparentColor(), kWhite);
    Bitmap pal = Bitmap::create(2, 2, 4);
    pal.setPixel(0, 1, kBlue);
    EXPECT_EQ(pal.transparentColor(), kBlue);
}

TEST(Bitmap, CopiesAreIndependent) {
    Bitmap a = filled(4, 4, kRed);
    Bitmap b = a;
    EXPECT_EQ(a.storage().constBits(), b.storage().constBits()); // shared until written
    b.setPixel(1, 1, kBlue);
    EXPECT_EQ(a.pixel(1, 1), kRed);
    Bitmap c = a;
    c.draw(filled(2, 2, kGreen), 0, 0);
    EXPECT_EQ(a.pixel(0, 0), kRed);
    EXPECT_EQ(c.pixel(0, 0), kGreen);
    Bitmap d = a;
    d.fill(kWhite);
    EXPECT_EQ(a.pixel(3, 3), kRed);
    Bitmap e = a;
    e.paint([](QPainter& p) { p.fillRect(0, 0, 4, 4, Qt::blue); });
    EXPECT_EQ(a.pixel(3, 3), kRed);
    EXPECT_EQ(e.pixel(3, 3), kBlue);
}

TEST(Bitmap, SetWidthKeepsPixelsAndAddsWhite) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        Bitmap b = Bitmap::create(3, 2, bpp);
        b.setPixel(2, 1, kWhite);
        b.setWidth(6);
        EXPECT_EQ(b.width(), 6);
        EXPECT_EQ(b.height(), 2);
        EXPECT_EQ(b.bitsPerPixel(), bpp);
        EXPECT_EQ(b.pixel(0, 0), kBlack);
        EXPECT_EQ(b.pixel(2, 1), kWhite);
        EXPECT_EQ(b.pixel(1, 1), kBlack);
        for (int x = 3; x < 6; ++x)
            EXPECT_EQ(b.pixel(x, 0), kWhite);
        b.setWidth(2);
        EXPECT_EQ(b.width(), 2);
        EXPECT_EQ(b.pixel(1, 1), kBlack);
        EXPECT_EQ(b.pixel(2, 1), 0u); // outside
    }
}

TEST(Bitmap, SetWidthPalettedUsesNearestToWhite) {
    const QList<QRgb> pal = {kBlack, kRed, qRgb(200, 200, 190), qRgb(100, 100, 100)};
    Bitmap b = Bitmap::create(2, 2, 4, pal);
    b.setWidth(4);
    EXPECT_EQ(b.pixel(3, 0), qRgb(200, 200, 190));
    EXPECT_EQ(b.pixel(2, 1), qRgb(200, 200, 190));
    EXPECT_EQ(b.storage().constScanLine(0)[3], 2);
    EXPECT_EQ(b.palette(), pal);
}

TEST(Bitmap, SetWidthNegativeAndLimits) {
    Bitmap b = filled(3, 2, kRed, 8);
    b.setWidth(-7);
    EXPECT_EQ(b.width(), 0);
    EXPECT_EQ(b.height(), 2);
    EXPECT_TRUE(b.isEmpty());
    EXPECT_EQ(b.bitsPerPixel(), 8);
    EXPECT_THROW(b.setWidth(40000), Error);
    b.setWidth(2);
    EXPECT_EQ(b.pixel(1, 1), kWhite);
}

TEST(Bitmap, DrawOpaqueClipped) {
    const Bitmap src = filled(4, 4, kRed);
    for (qint64 x : {qint64(-4), qint64(10), std::numeric_limits<qint64>::max(),
                     std::numeric_limits<qint64>::min(), qint64(1) << 40, -(qint64(1) << 40)}) {
        for (qint64 y :
             {qint64(0), std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()}) {
            Bitmap dst = filled(10, 10, kWhite);
            dst.draw(src, x, y);
            if (x == -4 || x == 10 || y != 0 || x > 1000 || x < -1000) {
                for (int yy = 0; yy < 10; ++yy)
                    for (int xx = 0; xx < 10; ++xx) {
                        ASSERT_EQ(dst.pixel(xx, yy), kWhite) << x << " " << y;
                    }
            }
        }
    }
    Bitmap dst = filled(10, 10, kWhite);
    dst.draw(src, -2, -3);
    EXPECT_EQ(dst.pixel(0, 0), kRed);
    EXPECT_EQ(dst.pixel(1, 0), kRed);
    EXPECT_EQ(dst.pixel(2, 0), kWhite);
    EXPECT_EQ(dst.pixel(0, 1), kWhite);
    dst.draw(src, 8, 8);
    EXPECT_EQ(dst.pixel(9, 9), kRed);
    EXPECT_EQ(dst.pixel(7, 9), kWhite);
}

TEST(Bitmap, DrawEmptyIsNoOp) {
    Bitmap dst = filled(3, 3, kWhite);
    dst.draw(Bitmap(), 0, 0);
    dst.draw(Bitmap::create(0, 5, 8), 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), kWhite);
    Bitmap empty = Bitmap::create(0, 3, 24);
    empty.draw(dst, 0, 0);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(Bitmap, DrawTransparentLeavesOutBottomLeftColour) {
    Bitmap glyph = filled(3, 3, kWhite);
    glyph.setPixel(1, 1, kBlue);
    glyph.setTransparent(true);
    Bitmap dst = filled(5, 5, kRed);
    dst.draw(glyph, 1, 1);
    EXPECT_EQ(dst.pixel(1, 1), kRed);
    EXPECT_EQ(dst.pixel(2, 2), kBlue);
    EXPECT_EQ(dst.pixel(3, 3), kRed);
    glyph.setTransparent(false);
    dst.draw(glyph, 1, 1);
    EXPECT_EQ(dst.pixel(1, 1), kWhite);
}

TEST(Bitmap, DrawTransparentOneBitUsesWhite) {
    Bitmap mono = Bitmap::create(2, 2, 1); // all black, bottom-left black
    mono.setPixel(1, 0, kWhite);
    mono.setTransparent(true);
    Bitmap dst = filled(2, 2, kRed);
    dst.draw(mono, 0, 0);
    EXPECT_EQ(dst.pixel(0, 1), kBlack);
    EXPECT_EQ(dst.pixel(1, 0), kRed);
    EXPECT_EQ(dst.pixel(0, 0), kBlack);
}

TEST(Bitmap, DrawTransparentBetweenEveryFormat) {
    for (int sbpp : {1, 4, 8, 16, 24, 32}) {
        for (int dbpp : {1, 4, 8, 16, 24, 32}) {
            for (bool s565 : {false, true}) {
                if (s565 && sbpp != 16)
                    continue;
                SCOPED_TRACE(testing::Message() << sbpp << " -> " << dbpp << " " << s565);
                Bitmap src = filled(3, 2, kWhite, sbpp, {}, s565);
                src.setPixel(1, 0, kBlack);
                src.setTransparent(true);
                Bitmap dst = filled(4, 3, kWhite, dbpp);
                dst.fill(kBlack);
                dst.setPixel(2, 1, kWhite);
                dst.draw(src, 1, 1);
                EXPECT_EQ(dst.pixel(2, 1), kBlack); // drawn
                EXPECT_EQ(dst.pixel(1, 1), kBlack); // left out (white), stays black
                EXPECT_EQ(dst.pixel(3, 2), kBlack);
                src.setTransparent(false);
                dst.draw(src, 1, 1);
                EXPECT_EQ(dst.pixel(1, 1), kWhite);
                EXPECT_EQ(dst.pixel(2, 1), kBlack);
            }
        }
    }
}

TEST(Bitmap, DrawConvertsColours) {
    const QList<QRgb> pal = {kBlack, qRgb(250, 0, 0), qRgb(0, 0, 250)};
    Bitmap dst = Bitmap::create(3, 1, 8, pal);
    Bitmap src = Bitmap::create(3, 1, 24);
    src.setPixel(0, 0, kRed);
    src.setPixel(1, 0, kBlue);
    src.setPixel(2, 0, qRgb(10, 10, 10));
    dst.draw(src, 0, 0);
    EXPECT_EQ(dst.pixel(0, 0), qRgb(250, 0, 0));
    EXPECT_EQ(dst.pixel(1, 0), qRgb(0, 0, 250));
    EXPECT_EQ(dst.pixel(2, 0), kBlack);

    Bitmap pal4 = Bitmap::create(2, 1, 4);
    pal4.setPixel(0, 0, kRed);
    pal4.setPixel(1, 0, kBlue);
    Bitmap rgb = Bitmap::create(2, 1, 32);
    rgb.draw(pal4, 0, 0);
    EXPECT_EQ(rgb.pixel(0, 0), kRed);
    EXPECT_EQ(rgb.pixel(1, 0), kBlue);
    Bitmap s555 = Bitmap::create(2, 1, 16);
    s555.draw(pal4, 0, 0);
    EXPECT_EQ(s555.pixel(0, 0), kRed);
    Bitmap s565 = Bitmap::create(2, 1, 16, {}, true);
    s565.draw(s555, 0, 0);
    EXPECT_EQ(s565.pixel(0, 0), kRed);
    // Paletted to paletted with another palette: nearest entries.
    Bitmap other = Bitmap::create(2, 1, 8, pal);
    other.draw(pal4, 0, 0);
    EXPECT_EQ(other.pixel(0, 0), qRgb(250, 0, 0));
    EXPECT_EQ(other.pixel(1, 0), qRgb(0, 0, 250));
}

TEST(Bitmap, DrawOntoItself) {
    Bitmap b = Bitmap::create(4, 1, 24);
    for (int x = 0; x < 4; ++x)
        b.setPixel(x, 0, qRgb(x * 10, 0, 0));
    b.draw(b, 1, 0);
    EXPECT_EQ(b.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(b.pixel(2, 0), qRgb(10, 0, 0));
    EXPECT_EQ(b.pixel(3, 0), qRgb(20, 0, 0));
}

TEST(Bitmap, PaintTrueColour) {
    for (bool rgb565 : {false, true}) {
        for (int bpp : {16, 24, 32}) {
            Bitmap b = filled(4, 4, kWhite, bpp, {}, rgb565 && bpp == 16);
            b.paint([](QPainter& p) { p.fillRect(1, 1, 2, 2, QColor(255, 0, 0)); });
            EXPECT_EQ(b.pixel(1, 1), kRed) << bpp;
            EXPECT_EQ(b.pixel(0, 0), kWhite) << bpp;
            EXPECT_EQ(b.bitsPerPixel(), bpp);
        }
    }
}

TEST(Bitmap, PaintPalettedMapsToPalette) {
    // Two entries of the same colour: untouched pixels keep their own.
    const QList<QRgb> pal = {kWhite, qRgb(200, 0, 0), kBlack, kWhite};
    Bitmap b = Bitmap::create(4, 1, 4, pal);
    b.fill(kWhite);
    b.paint([](QPainter& p) { p.fillRect(0, 0, 2, 1, QColor(250, 10, 10)); });
    EXPECT_EQ(b.bitsPerPixel(), 4);
    EXPECT_EQ(b.palette(), pal);
    EXPECT_EQ(b.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), qRgb(200, 0, 0));
    EXPECT_EQ(b.pixel(2, 0), kWhite);
    EXPECT_EQ(b.storage().constScanLine(0)[2], 0);
}

TEST(Bitmap, PaintKeepsDuplicateEntries) {
    const QList<QRgb> pal = {kWhite, kBlack, kWhite};
    Bitmap b = Bitmap::fromStorage(
        [&] {
            QImage img(3, 1, QImage::Format_Indexed8);
            img.setColorTable(pal);
            img.scanLine(0)[0] = 2;
            img.scanLine(0)[1] = 0;
            img.scanLine(0)[2] = 2;
            return img;
        }(),
        8);
    b.paint([](QPainter& p) { p.fillRect(1, 0, 1, 1, Qt::black); });
    EXPECT_EQ(b.storage().constScanLine(0)[0], 2);
    EXPECT_EQ(b.storage().constScanLine(0)[1], 1);
    EXPECT_EQ(b.storage().constScanLine(0)[2], 2);
}

TEST(Bitmap, PaintOnEmptyStillRunsPainter) {
    Bitmap b = Bitmap::create(0, 10, 24);
    bool ran = false;
    b.paint([&](QPainter& p) { ran = p.isActive(); });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(b.isEmpty());
}

TEST(Bitmap, FromQImage) {
    QImage argb(2, 1, QImage::Format_ARGB32);
    argb.setPixel(0, 0, qRgba(10, 20, 30, 40));
    argb.setPixel(1, 0, qRgba(1, 2, 3, 255));
    const Bitmap b = Bitmap::fromQImage(argb);
    EXPECT_EQ(b.bitsPerPixel(), 24);
    EXPECT_EQ(b.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(b.pixel(1, 0), qRgb(1, 2, 3));

    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(1, 1, 1, 0), qRgb(2, 2, 2)});
    indexed.scanLine(0)[0] = 1;
    indexed.scanLine(0)[1] = 0;
    const Bitmap c = Bitmap::fromQImage(indexed);
    EXPECT_EQ(c.bitsPerPixel(), 8);
    EXPECT_EQ(c.pixel(0, 0), qRgb(2, 2, 2));
    EXPECT_EQ(c.pixel(1, 0), qRgb(1, 1, 1));
    EXPECT_TRUE(Bitmap::fromQImage(QImage()).isEmpty());
}

TEST(Bitmap, FromStorageRepairsIndices) {
    QImage img(2, 1, QImage::Format_Indexed8);
    img.setColorTable({kRed});
    img.scanLine(0)[0] = 0;
    img.scanLine(0)[1] = 9;
    const Bitmap b = Bitmap::fromStorage(img, 4);
    EXPECT_EQ(b.pixel(0, 0), kRed);
    EXPECT_EQ(b.pixel(1, 0), kBlack);
    EXPECT_LE(b.palette().size(), 16);
}

TEST(Bitmap, ToImage) {
    Bitmap b = filled(2, 2, kBlue, 8);
    const QImage img = b.toImage();
    EXPECT_EQ(img.size(), QSize(2, 2));
    EXPECT_EQ(img.pixel(1, 1), kBlue);
}

// Every pair of pixel formats, every width 1..9 so that each tail after the
// 4-pixel SIMD step (and the vectorised loops) is hit, checked against a plain
// per-pixel copy through pixel() and setPixel().
namespace {

struct Format {
    int bpp;
    bool rgb565;
    bool otherPalette = false; // 8-bit with a palette of its own
};

std::string formatName(const Format& f) {
    return std::to_string(f.bpp) + (f.rgb565 ? "bpp565" : "bpp") + (f.otherPalette ? "Own" : "");
}

void PrintTo(const Format& f, std::ostream* os) {
    *os << formatName(f);
}

const Format kFormats[] = {{1, false}, {4, false},  {8, false}, {16, false},
                           {16, true}, {24, false}, {32, false}};
// Destinations add an 8-bit palette other than the default one, for
// paletted-to-paletted mapping.
const Format kDestinations[] = {{1, false},  {4, false}, {8, false},  {8, false, true},
                                {16, false}, {16, true}, {24, false}, {32, false}};

// A few colours, some of them repeated, so that see-through pixels come in
// runs and alone; deterministic.
QRgb colourAt(int i, int seed) {
    static const QRgb kColours[] = {
        kWhite,           kBlack, kRed, kGreen, kBlue, qRgb(128, 128, 128), qRgb(255, 255, 0),
        qRgb(0, 128, 255)};
    const unsigned h = unsigned(i) * 2654435761u + unsigned(seed) * 40503u;
    return kColours[(h >> 13) % 8];
}

// A palette unlike the default one, white and black far from their usual entries.
QList<QRgb> otherPalette() {
    QList<QRgb> pal;
    for (int i = 0; i < 256; ++i)
        pal << qRgb((i * 37) & 255, (i * 91) & 255, (i * 13) & 255);
    pal[7] = kWhite;
    pal[200] = kBlack;
    return pal;
}

class DrawAcrossFormats : public testing::TestWithParam<std::tuple<Format, Format>> {};

TEST_P(DrawAcrossFormats, MatchesPixelByPixelCopyForEveryWidth) {
    const auto [sf, df] = GetParam();
    const QList<QRgb> dstPalette = df.otherPalette ? otherPalette() : QList<QRgb>{};
    for (int width = 1; width <= 9; ++width) {
        for (bool transparent : {false, true}) {
            for (int x : {-2, 0, 3}) {
                SCOPED_TRACE(testing::Message() << "width " << width << " at x " << x
                                                << (transparent ? " transparent" : " opaque"));
                const int h = 2;
                Bitmap src = Bitmap::create(width, h, sf.bpp, {}, sf.rgb565);
                for (int yy = 0; yy < h; ++yy)
                    for (int xx = 0; xx < width; ++xx)
                        src.setPixel(xx, yy, colourAt(yy * width + xx, width));
                src.setTransparent(transparent);
                Bitmap dst = Bitmap::create(width + 5, h + 1, df.bpp, dstPalette, df.rgb565);
                for (int yy = 0; yy < h + 1; ++yy)
                    for (int xx = 0; xx < width + 5; ++xx)
                        dst.setPixel(xx, yy, colourAt(yy * 31 + xx, 7));

                Bitmap expected = dst; // copies are independent (see above)
                const QRgb key = src.transparentColor() & 0xffffff;
                for (int yy = 0; yy < h; ++yy) {
                    for (int xx = 0; xx < width; ++xx) {
                        const int tx = x + xx, ty = 1 + yy;
                        if (tx < 0 || tx >= dst.width() || ty >= dst.height())
                            continue;
                        const QRgb c = src.pixel(xx, yy);
                        if (transparent && (c & 0xffffff) == key)
                            continue;
                        expected.setPixel(tx, ty, c);
                    }
                }

                dst.draw(src, x, 1);
                for (int yy = 0; yy < dst.height(); ++yy)
                    for (int xx = 0; xx < dst.width(); ++xx)
                        ASSERT_EQ(dst.pixel(xx, yy), expected.pixel(xx, yy))
                            << "pixel " << xx << "," << yy;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPair, DrawAcrossFormats,
                         testing::Combine(testing::ValuesIn(kFormats),
                                          testing::ValuesIn(kDestinations)),
                         [](const testing::TestParamInfo<DrawAcrossFormats::ParamType>& p) {
                             return formatName(std::get<0>(p.param)) + "_to_" +
                                    formatName(std::get<1>(p.param));
                         });

// Fill and setWidth write whole rows too: every width, every format.
class RowsAcrossFormats : public testing::TestWithParam<Format> {};

TEST_P(RowsAcrossFormats, FillAndWideningCoverEveryPixelForEveryWidth) {
    const Format f = GetParam();
    for (int width = 1; width <= 9; ++width) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        Bitmap b = Bitmap::create(width, 2, f.bpp, {}, f.rgb565);
        b.fill(kRed);
        Bitmap one = Bitmap::create(1, 1, f.bpp, {}, f.rgb565);
        one.setPixel(0, 0, kRed);
        const QRgb red = one.pixel(0, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(b.pixel(x, y), red) << x << "," << y;
        b.setWidth(width + 9 - width % 4);
        one.setPixel(0, 0, kWhite);
        const QRgb white = one.pixel(0, 0);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < b.width(); ++x)
                ASSERT_EQ(b.pixel(x, y), x < width ? red : white) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, RowsAcrossFormats, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& p) {
                             return formatName(p.param);
                         });

} // namespace
