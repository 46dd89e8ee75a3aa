#include "imaging/BmpCodec.h"
#include "BmpTestData.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

using namespace zot;
using namespace zot::test;

namespace {

QByteArray rowBytes(std::initializer_list<int> bytes) {
    QByteArray b;
    for (int v : bytes)
        b.append(char(uint8_t(v)));
    return b;
}

// Every pixel, the format and the palette of two bitmaps agree.
void expectSamePicture(const Bitmap& a, const Bitmap& b) {
    ASSERT_EQ(a.width(), b.width());
    ASSERT_EQ(a.height(), b.height());
    EXPECT_EQ(a.bitsPerPixel(), b.bitsPerPixel());
    EXPECT_EQ(a.isRgb565(), b.isRgb565());
    EXPECT_EQ(a.palette(), b.palette());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y), b.pixel(x, y)) << "at " << x << "," << y;
}

// Touches every pixel so that ASan sees any inconsistency.
void expectSane(const Bitmap& b) {
    EXPECT_GE(b.width(), 0);
    EXPECT_GE(b.height(), 0);
    EXPECT_LE(b.width(), kMaxPictureSide);
    EXPECT_LE(b.height(), kMaxPictureSide);
    EXPECT_TRUE(b.bitsPerPixel() == 1 || b.bitsPerPixel() == 4 || b.bitsPerPixel() == 8 ||
                b.bitsPerPixel() == 16 || b.bitsPerPixel() == 24 || b.bitsPerPixel() == 32);
    if (b.isPaletted()) {
        EXPECT_FALSE(b.palette().isEmpty());
        EXPECT_LE(b.palette().size(), 1 << b.bitsPerPixel());
    }
    quint64 sum = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            sum += b.pixel(x, y);
    (void)sum;
    // And the writer copes with whatever came out.
    const QByteArray again = encodeBmp(b);
    const auto back = decodeBmp(again);
    ASSERT_TRUE(back.has_value());
    expectSamePicture(b, *back);
}

Bitmap randomBitmap(int w, int h, int bpp, bool rgb565, unsigned seed) {
    std::mt19937 rng(seed);
    QList<QRgb> palette;
    if (bpp <= 8) {
        const int n = bpp == 8 ? 200 : (1 << bpp); // 8-bit: a short table
        for (int i = 0; i < n; ++i)
            palette.append(qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
    }
    Bitmap b = Bitmap::create(w, h, bpp, palette, rgb565);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (bpp <= 8)
                b.setPixel(x, y, palette[int(rng() % palette.size())]);
            else
                b.setPixel(x, y, qRgb(int(rng() % 256), int(rng() % 256), int(rng() % 256)));
        }
    return b;
}

} // namespace

// --- Reading each header kind -------------------------------------------------

TEST(BmpDecode, Info24BottomUp) {
    BmpSpec s;
    s.width = 3;
    s.height = 2;
    s.bpp = 24;
    // Bottom row first, rows padded to 12 bytes (9 used).
    s.pixels = rowBytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}) +      // red green blue
               rowBytes({255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0}); // white black grey
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->width(), 3);
    EXPECT_EQ(b->height(), 2);
    EXPECT_EQ(b->bitsPerPixel(), 24);
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(b->pixel(2, 0), qRgb(128, 128, 128));
    EXPECT_EQ(b->pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(b->pixel(2, 1), qRgb(0, 0, 255));
}

TEST(BmpDecode, Info32) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 32;
    s.pixels = rowBytes({10, 20, 30, 0, 40, 50, 60, 99});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 32);
    EXPECT_EQ(b->pixel(0, 0), qRgb(30, 20, 10));
    EXPECT_EQ(b->pixel(1, 0), qRgb(60, 50, 40));
}

TEST(BmpDecode, OneBitPaddedRows) {
    BmpSpec s;
    s.width = 10;
    s.height = 2;
    s.bpp = 1;
    s.palette = {qRgb(0, 0, 255), qRgb(255, 255, 0)};
    s.pixels = rowBytes({0b10000000, 0b01000000, 0, 0}) + // bottom: x=0 and x=9 set
               rowBytes({0b01010101, 0b11000000, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 1);
    EXPECT_EQ(b->palette(), s.palette);
    const QRgb c0 = s.palette[0], c1 = s.palette[1];
    EXPECT_EQ(b->pixel(0, 1), c1);
    EXPECT_EQ(b->pixel(1, 1), c0);
    EXPECT_EQ(b->pixel(9, 1), c1);
    EXPECT_EQ(b->pixel(8, 1), c0);
    EXPECT_EQ(b->pixel(0, 0), c0);
    EXPECT_EQ(b->pixel(1, 0), c1);
    EXPECT_EQ(b->pixel(8, 0), c1);
    EXPECT_EQ(b->pixel(9, 0), c1);
}

TEST(BmpDecode, FourBitOddWidth) {
    BmpSpec s;
    s.width = 3;
    s.height = 1;
    s.bpp = 4;
    for (int i = 0; i < 16; ++i)
        s.palette.append(qRgb(i * 16, 0, 0));
    s.pixels = rowBytes({0x1f, 0x70, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 4);
    EXPECT_EQ(b->palette().size(), 16);
    EXPECT_EQ(b->pixel(0, 0), qRgb(16, 0, 0));
    EXPECT_EQ(b->pixel(1, 0), qRgb(240, 0, 0));
    EXPECT_EQ(b->pixel(2, 0), qRgb(112, 0, 0));
}

TEST(BmpDecode, EightBitClrUsed) {
    BmpSpec s;
    s.width = 4;
    s.height = 1;
    s.bpp = 8;
    s.clrUsed = 3;
    s.palette = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)};
    s.pixels = rowBytes({2, 1, 0, 2});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 8);
    EXPECT_EQ(b->palette(), s.palette);
    EXPECT_EQ(b->pixel(0, 0), qRgb(7, 8, 9));
    EXPECT_EQ(b->pixel(1, 0), qRgb(4, 5, 6));
    EXPECT_EQ(b->pixel(2, 0), qRgb(1, 2, 3));
}

TEST(BmpDecode, SixteenBitDefault555) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 16;
    s.pixels = rowBytes({0x00, 0x7c, 0x1f, 0x00}); // pure red, pure blue
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 16);
    EXPECT_FALSE(b->isRgb565());
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(1, 0), qRgb(0, 0, 255));
}

TEST(BmpDecode, SixteenBitBitfields565AfterInfoHeader) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 16;
    s.compression = 3;
    s.writeMasks = true;
    s.masks[0] = 0xf800;
    s.masks[1] = 0x07e0;
    s.masks[2] = 0x001f;
    s.pixels = rowBytes({0xe0, 0x07, 0x00, 0xf8}); // green, red
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 16);
    EXPECT_TRUE(b->isRgb565());
    EXPECT_EQ(b->storage().format(), QImage::Format_RGB16);
    EXPECT_EQ(b->pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(b->pixel(1, 0), qRgb(255, 0, 0));
}

TEST(BmpDecode, SixteenBitOtherMasksGo32) {
    BmpSpec s;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.compression = 3;
    s.writeMasks = true;
    s.masks[0] = 0x0f00; // 4-4-4
    s.masks[1] = 0x00f0;
    s.masks[2] = 0x000f;
    s.pixels = rowBytes({0x0f, 0x08, 0, 0}); // r=8, g=0, b=15
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 32);
    EXPECT_EQ(b->pixel(0, 0), qRgb(136, 0, 255));
}

TEST(BmpDecode, ThirtyTwoBitSwappedMasks) {
    BmpSpec s;
    s.kind = HeaderKind::Info56;
    s.width = 1;
    s.height = 1;
    s.bpp = 32;
    s.compression = 3;
    s.masks[0] = 0x000000ff;
    s.masks[1] = 0x0000ff00;
    s.masks[2] = 0x00ff0000;
    s.pixels = rowBytes({10, 20, 30, 0}); // r=10 g=20 b=30
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 32);
    EXPECT_EQ(b->pixel(0, 0), qRgb(10, 20, 30));
}

TEST(BmpDecode, Info52Bitfields565) {
    BmpSpec s;
    s.kind = HeaderKind::Info52;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.compression = 3;
    s.masks[0] = 0xf800;
    s.masks[1] = 0x07e0;
    s.masks[2] = 0x001f;
    s.pixels = rowBytes({0x1f, 0x00, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->isRgb565());
    EXPECT_EQ(b->pixel(0, 0), qRgb(0, 0, 255));
}

TEST(BmpDecode, CoreHeaderPaletted) {
    BmpSpec s;
    s.kind = HeaderKind::Core;
    s.width = 2;
    s.height = 2;
    s.bpp = 1;
    s.palette = {qRgb(255, 0, 0), qRgb(0, 255, 0)};
    s.pixels = rowBytes({0b01000000, 0, 0, 0}) + rowBytes({0b10000000, 0, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 1);
    EXPECT_EQ(b->palette(), s.palette);
    EXPECT_EQ(b->pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(b->pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(1, 1), qRgb(0, 255, 0));
}

TEST(BmpDecode, CoreHeader24) {
    BmpSpec s;
    s.kind = HeaderKind::Core;
    s.width = 1;
    s.height = 1;
    s.bpp = 24;
    s.pixels = rowBytes({1, 2, 3, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 24);
    EXPECT_EQ(b->pixel(0, 0), qRgb(3, 2, 1));
}

TEST(BmpDecode, V5TopDown) {
    BmpSpec s;
    s.kind = HeaderKind::V5;
    s.width = 1;
    s.height = -3;
    s.bpp = 24;
    s.pixels = rowBytes({0, 0, 255, 0}) + rowBytes({0, 255, 0, 0}) + rowBytes({255, 0, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->height(), 3);
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(b->pixel(0, 2), qRgb(0, 0, 255));
}

TEST(BmpDecode, V4BitfieldsInHeader) {
    BmpSpec s;
    s.kind = HeaderKind::V4;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.compression = 3;
    s.masks[0] = 0xf800;
    s.masks[1] = 0x07e0;
    s.masks[2] = 0x001f;
    s.pixels = rowBytes({0xff, 0xff, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->isRgb565());
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 255, 255));
}

TEST(BmpDecode, V4RgbIgnoresMasks) {
    BmpSpec s;
    s.kind = HeaderKind::V4;
    s.width = 1;
    s.height = 1;
    s.bpp = 16;
    s.compression = 0;
    s.masks[0] = 0xf800; // present but not used for BI_RGB
    s.masks[1] = 0x07e0;
    s.masks[2] = 0x001f;
    s.pixels = rowBytes({0x00, 0x7c, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_FALSE(b->isRgb565());
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 0, 0));
}

TEST(BmpDecode, Rle8) {
    BmpSpec s;
    s.width = 6;
    s.height = 3;
    s.bpp = 8;
    s.compression = 1;
    s.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    s.clrUsed = 4;
    s.pixels = rowBytes({
        3, 1,             // bottom row: 3 x red
        0, 3, 2, 3, 2, 0, // absolute: green blue green, padded
        0, 0,             // end of line
        0, 2, 2, 1,       // delta: right 2, up 1 -> row 2, x 2
        2, 3,             // two blue at x 2, 3
        0, 1,             // end of bitmap
    });
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 8);
    const QRgb k = qRgb(0, 0, 0), r = qRgb(255, 0, 0), g = qRgb(0, 255, 0), bl = qRgb(0, 0, 255);
    const QRgb expected[3][6] = {{k, k, bl, bl, k, k}, {k, k, k, k, k, k}, {r, r, r, g, bl, g}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(b->pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpDecode, Rle4) {
    BmpSpec s;
    s.width = 5;
    s.height = 2;
    s.bpp = 4;
    s.compression = 2;
    for (int i = 0; i < 16; ++i)
        s.palette.append(qRgb(i, i, i));
    s.pixels = rowBytes({
        5,
        0x12, // bottom: 1 2 1 2 1
        0,
        0, // end of line
        0,
        3,
        0xab,
        0xc0, // absolute: a b c (2 bytes, even)
        2,
        0xff, // f f
        0,
        1,
    });
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 4);
    const int bottom[5] = {1, 2, 1, 2, 1};
    const int top[5] = {10, 11, 12, 15, 15};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(b->pixel(x, 1), qRgb(bottom[x], bottom[x], bottom[x])) << x;
        EXPECT_EQ(b->pixel(x, 0), qRgb(top[x], top[x], top[x])) << x;
    }
}

TEST(BmpDecode, RleMissingDataStaysIndexZero) {
    BmpSpec s;
    s.width = 4;
    s.height = 2;
    s.bpp = 8;
    s.compression = 1;
    s.palette = {qRgb(9, 9, 9), qRgb(255, 255, 255)};
    s.clrUsed = 2;
    s.pixels = rowBytes({2, 1}); // no end of line, no end of bitmap
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(2, 1), qRgb(9, 9, 9));
    EXPECT_EQ(b->pixel(3, 0), qRgb(9, 9, 9));
}

TEST(BmpDecode, PaletteIndexBeyondTableIsBlack) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bpp = 8;
    s.clrUsed = 2;
    s.palette = {qRgb(255, 255, 255), qRgb(255, 0, 0)};
    s.pixels = rowBytes({1, 200, 0, 0});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b->pixel(1, 0), qRgb(0, 0, 0));
    expectSane(*b);
}

TEST(BmpDecode, TruncatedRowsStayBlack) {
    BmpSpec s;
    s.width = 2;
    s.height = 3;
    s.bpp = 24;
    s.pixels = rowBytes({255, 255, 255, 255, 255, 255, 0, 0}) + rowBytes({255, 255, 255});
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->pixel(0, 2), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(1, 2), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(0, 1), qRgb(255, 255, 255));
    EXPECT_EQ(b->pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(b->pixel(0, 0), qRgb(0, 0, 0));
}

TEST(BmpDecode, ZeroWidthKeepsFormat) {
    BmpSpec s;
    s.width = 0;
    s.height = 5;
    s.bpp = 4;
    s.palette = {qRgb(1, 1, 1), qRgb(2, 2, 2)};
    s.clrUsed = 2;
    const auto b = decodeBmp(buildBmp(s));
    ASSERT_TRUE(b);
    EXPECT_TRUE(b->isEmpty());
    EXPECT_EQ(b->height(), 5);
    EXPECT_EQ(b->bitsPerPixel(), 4);
    EXPECT_EQ(b->palette(), s.palette);
}

// --- Writing ----------------------------------------------------------------

TEST(BmpEncode, HeaderLayout24) {
    Bitmap b = Bitmap::create(3, 2, 24);
    b.setPixel(0, 1, qRgb(1, 2, 3)); // bottom-left: first in the file
    const QByteArray f = encodeBmp(b);
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(f.constData() + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(f.constData() + at); };
    ASSERT_EQ(f.size(), 14 + 40 + 12 * 2);
    EXPECT_EQ(f.left(2), "BM");
    EXPECT_EQ(u32(2), quint32(f.size()));
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 3u);
    EXPECT_EQ(u32(22), 2u);
    EXPECT_EQ(u16(26), 1);
    EXPECT_EQ(u16(28), 24);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(u32(34), 24u);
    EXPECT_EQ(uchar(f[54]), 3);
    EXPECT_EQ(uchar(f[55]), 2);
    EXPECT_EQ(uchar(f[56]), 1);
    for (int i = 63; i < 66; ++i)
        EXPECT_EQ(f[i], 0) << "padding " << i;
}

TEST(BmpEncode, Rgb565AsBitfields) {
    Bitmap b = Bitmap::create(1, 1, 16, {}, true);
    b.setPixel(0, 0, qRgb(255, 0, 0));
    const QByteArray f = encodeBmp(b);
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(f.constData() + at); };
    EXPECT_EQ(u32(10), 66u);
    EXPECT_EQ(u32(30), 3u);
    EXPECT_EQ(u32(54), 0xf800u);
    EXPECT_EQ(u32(58), 0x07e0u);
    EXPECT_EQ(u32(62), 0x001fu);
    EXPECT_EQ(qFromLittleEndian<quint16>(f.constData() + 66), 0xf800);
}

TEST(BmpEncode, PalettedWritesColourTable) {
    Bitmap b = Bitmap::create(9, 1, 1, {qRgb(10, 20, 30), qRgb(40, 50, 60)});
    b.setPixel(8, 0, qRgb(40, 50, 60));
    const QByteArray f = encodeBmp(b);
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(f.constData() + at); };
    EXPECT_EQ(u32(10), 14u + 40 + 8);
    EXPECT_EQ(qFromLittleEndian<quint16>(f.constData() + 28), 1);
    EXPECT_EQ(uchar(f[54]), 30);
    EXPECT_EQ(uchar(f[55]), 20);
    EXPECT_EQ(uchar(f[56]), 10);
    EXPECT_EQ(uchar(f[62]), 0);
    EXPECT_EQ(uchar(f[63]), 0x80);
}

class BmpRoundTrip : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(BmpRoundTrip, WriteReadWrite) {
    const auto [bpp, rgb565] = GetParam();
    for (int w : {1, 2, 3, 7, 8, 9, 31, 33}) {
        const Bitmap original = randomBitmap(w, 5, bpp, rgb565, unsigned(w * 31 + bpp));
        const QByteArray file = encodeBmp(original);
        const auto back = decodeBmp(file);
        ASSERT_TRUE(back) << "width " << w;
        expectSamePicture(original, *back);
        EXPECT_EQ(encodeBmp(*back), file);
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BmpRoundTrip,
                         ::testing::Values(std::tuple{1, false}, std::tuple{4, false},
                                           std::tuple{8, false}, std::tuple{16, false},
                                           std::tuple{16, true}, std::tuple{24, false},
                                           std::tuple{32, false}));

// Files of every header kind: read, write, read gives the same picture.
TEST(BmpRoundTripFiles, EveryHeaderKind) {
    std::vector<BmpSpec> specs;
    {
        BmpSpec s; // core 4-bit
        s.kind = HeaderKind::Core;
        s.width = 3;
        s.height = 2;
        s.bpp = 4;
        for (int i = 0; i < 16; ++i)
            s.palette.append(qRgb(i * 10, 255 - i * 10, i));
        s.pixels = rowBytes({0x12, 0x30, 0, 0, 0xfe, 0xd0, 0, 0});
        specs.push_back(s);
    }
    {
        BmpSpec s; // core 8-bit
        s.kind = HeaderKind::Core;
        s.width = 2;
        s.height = 1;
        s.bpp = 8;
        for (int i = 0; i < 256; ++i)
            s.palette.append(qRgb(i, i / 2, 255 - i));
        s.pixels = rowBytes({7, 250, 0, 0});
        specs.push_back(s);
    }
    {
        BmpSpec s; // V5 top-down 32-bit
        s.kind = HeaderKind::V5;
        s.width = 2;
        s.height = -2;
        s.bpp = 32;
        s.pixels = rowBytes({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
        specs.push_back(s);
    }
    {
        BmpSpec s; // V5 8-bit with short table
        s.kind = HeaderKind::V5;
        s.width = 3;
        s.height = 1;
        s.bpp = 8;
        s.clrUsed = 2;
        s.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        s.pixels = rowBytes({1, 0, 1, 0});
        specs.push_back(s);
    }
    {
        BmpSpec s; // RLE8
        s.width = 4;
        s.height = 2;
        s.bpp = 8;
        s.compression = 1;
        s.clrUsed = 3;
        s.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
        s.pixels = rowBytes({4, 1, 0, 0, 0, 4, 2, 1, 2, 1, 0, 1});
        specs.push_back(s);
    }
    {
        BmpSpec s; // RLE4
        s.width = 4;
        s.height = 1;
        s.bpp = 4;
        s.compression = 2;
        s.clrUsed = 4;
        s.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
        s.pixels = rowBytes({4, 0x23, 0, 1});
        specs.push_back(s);
    }
    {
        BmpSpec s; // bitfields 565 after an info header
        s.width = 3;
        s.height = 1;
        s.bpp = 16;
        s.compression = 3;
        s.writeMasks = true;
        s.masks[0] = 0xf800;
        s.masks[1] = 0x07e0;
        s.masks[2] = 0x001f;
        s.pixels = rowBytes({0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0, 0});
        specs.push_back(s);
    }
    {
        BmpSpec s; // 16-bit 555 in a V4 header
        s.kind = HeaderKind::V4;
        s.width = 1;
        s.height = 1;
        s.bpp = 16;
        s.pixels = rowBytes({0x34, 0x12, 0, 0});
        specs.push_back(s);
    }
    for (size_t i = 0; i < specs.size(); ++i) {
        SCOPED_TRACE(i);
        const auto first = decodeBmp(buildBmp(specs[i]));
        ASSERT_TRUE(first);
        const auto second = decodeBmp(encodeBmp(*first));
        ASSERT_TRUE(second);
        expectSamePicture(*first, *second);
    }
}

TEST(BmpEncode, EmptyBitmapGivesReadableFile) {
    const Bitmap empty = Bitmap::create(0, 7, 8);
    const auto back = decodeBmp(encodeBmp(empty));
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->isEmpty());
    EXPECT_EQ(back->bitsPerPixel(), 8);
}

TEST(BmpFile, WriteReplacesExistingFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("logo.png"); // extension does not matter
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    Bitmap b = Bitmap::create(4, 4, 24);
    b.fill(qRgb(1, 2, 3));
    writeBmpFile(b, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), encodeBmp(b));
}

TEST(BmpFile, UnwritablePathThrowsCannotCreate) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Bitmap b = Bitmap::create(1, 1, 24);
    const QString missingFolder = dir.filePath("no/such/folder/logo.bmp");
    try {
        writeBmpFile(b, missingFolder);
        FAIL() << "no exception";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), "Cannot create file " + missingFolder);
    }
    EXPECT_THROW(writeBmpFile(b, dir.path()), Error); // a folder
    EXPECT_FALSE(QFile::exists(missingFolder));
}

// --- Hostile files ------------------------------------------------------------

namespace {

struct Hostile {
    const char* name;
    QByteArray bytes;
};

QByteArray patched(QByteArray b, int at, uint32_t value, int size = 4) {
    for (int i = 0; i < size; ++i)
        b[at + i] = char((value >> (8 * i)) & 0xff);
    return b;
}

std::vector<Hostile> hostileFiles() {
    BmpSpec base;
    base.width = 4;
    base.height = 4;
    base.bpp = 8;
    base.clrUsed = 2;
    base.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    base.pixels = QByteArray(16, '\1');
    const QByteArray good = buildBmp(base);

    BmpSpec rle = base;
    rle.compression = 1;
    BmpSpec rle4 = base;
    rle4.bpp = 4;
    rle4.compression = 2;

    std::vector<Hostile> h;
    h.push_back({"empty", QByteArray()});
    h.push_back({"B", QByteArray("B")});
    h.push_back({"BM only", QByteArray("BM")});
    h.push_back({"file header only", good.left(14)});
    h.push_back({"header cut", good.left(30)});
    h.push_back({"not BM", patched(good, 0, 'X', 1)});
    h.push_back({"header size 0", patched(good, 14, 0)});
    h.push_back({"header size 1000", patched(good, 14, 1000)});
    h.push_back({"header size 0xffffffff", patched(good, 14, 0xffffffffu)});
    h.push_back({"width huge", patched(good, 18, 0x7fffffff)});
    h.push_back({"width 40000", patched(good, 18, 40000)});
    h.push_back({"width negative", patched(good, 18, uint32_t(-4))});
    h.push_back({"height INT_MIN", patched(good, 22, 0x80000000u)});
    h.push_back({"height huge", patched(good, 22, 0x7fffffff)});
    h.push_back(
        {"32767 square 32bpp", patched(patched(patched(good, 18, 32767), 22, 32767), 28, 32, 2)});
    h.push_back({"32767 square 8bpp", patched(patched(good, 18, 32767), 22, 32767)});
    h.push_back({"bpp 0", patched(good, 28, 0, 2)});
    h.push_back({"bpp 2", patched(good, 28, 2, 2)});
    h.push_back({"bpp 64", patched(good, 28, 64, 2)});
    h.push_back({"bpp 0xffff", patched(good, 28, 0xffff, 2)});
    h.push_back({"compression jpeg", patched(good, 30, 4)});
    h.push_back({"compression png", patched(good, 30, 5)});
    h.push_back({"compression 99", patched(good, 30, 99)});
    h.push_back({"rle8 on 24 bit", patched(patched(good, 28, 24, 2), 30, 1)});
    h.push_back({"bitfields on 8 bit", patched(good, 30, 3)});
    h.push_back({"offset past end", patched(good, 10, 0xfffffff0u)});
    h.push_back({"offset zero", patched(good, 10, 0)});
    h.push_back({"offset inside header", patched(good, 10, 20)});
    h.push_back({"clrUsed huge", patched(good, 46, 0xffffffffu)});
    h.push_back({"clrUsed 1000", patched(good, 46, 1000)});
    h.push_back({"pixels truncated", good.left(good.size() - 9)});
    h.push_back({"no pixels", good.left(good.size() - 16)});
    h.push_back({"palette cut", good.left(14 + 40 + 5)});
    {
        BmpSpec s = base;
        s.pixels = QByteArray(16, char(0xee)); // indices past a 2-entry table
        h.push_back({"indices past table", buildBmp(s)});
    }
    {
        BmpSpec s = base;
        s.clrUsed = 0;
        s.palette.clear();
        s.offBitsOverride = 14 + 40; // no room at all for the table
        h.push_back({"no colour table", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({255, 1, 255, 1, 255, 1, 255, 1, 255, 1, 255, 1}); // runs past rows
        h.push_back({"rle8 long runs", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({0, 2, 255, 255, 5, 1, 0, 2, 3, 0, 7, 1}); // delta far away
        h.push_back({"rle8 delta out", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({0, 255, 1, 1, 1}); // absolute run past data
        h.push_back({"rle8 absolute cut", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 1}); // lines past the top
        h.push_back({"rle8 too many lines", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({0, 2}); // delta without its bytes
        h.push_back({"rle8 delta cut", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.pixels = rowBytes({4});
        h.push_back({"rle8 odd byte", buildBmp(s)});
    }
    {
        BmpSpec s = rle4;
        s.pixels = rowBytes({255, 0xab, 0, 255, 0x12, 0x34, 0, 2, 200, 200, 0, 9, 0xff});
        h.push_back({"rle4 mixed hostile", buildBmp(s)});
    }
    {
        BmpSpec s = rle;
        s.height = -4; // top-down RLE
        s.pixels = rowBytes({4, 1, 0, 0, 4, 1, 0, 1});
        h.push_back({"rle8 top-down", buildBmp(s)});
    }
    for (int bpp : {16, 32}) {
        BmpSpec s;
        s.width = 2;
        s.height = 2;
        s.bpp = bpp;
        s.compression = 3;
        s.writeMasks = true; // all zero
        s.pixels = QByteArray(bpp == 16 ? 8 : 16, char(0x5a));
        h.push_back({bpp == 16 ? "zero masks 16" : "zero masks 32", buildBmp(s)});
        s.masks[0] = s.masks[1] = s.masks[2] = 0xffffffffu;
        h.push_back({bpp == 16 ? "full masks 16" : "full masks 32", buildBmp(s)});
        s.masks[0] = 0x80000001u;
        s.masks[1] = 0x1;
        s.masks[2] = 0x80000000u;
        h.push_back({bpp == 16 ? "odd masks 16" : "odd masks 32", buildBmp(s)});
        BmpSpec cut = s;
        cut.pixels.clear();
        QByteArray noMasks = buildBmp(cut).left(14 + 40 + 4);
        h.push_back({"bitfields masks cut", noMasks});
    }
    {
        BmpSpec s;
        s.kind = HeaderKind::Core;
        s.width = 0xffff;
        s.height = 0xffff;
        s.bpp = 24;
        h.push_back({"core 65535 square", buildBmp(s)});
    }
    {
        BmpSpec s;
        s.kind = HeaderKind::Core;
        s.width = 2;
        s.height = 2;
        s.bpp = 8;
        s.palette = {qRgb(1, 2, 3)};
        h.push_back({"core palette cut", buildBmp(s)});
    }
    return h;
}

} // namespace

TEST(BmpHostile, NeverCrashesAndStaysSane) {
    for (const Hostile& h : hostileFiles()) {
        SCOPED_TRACE(h.name);
        const auto b = decodeBmp(h.bytes);
        if (b)
            expectSane(*b);
    }
}

TEST(BmpHostile, LimitsAreUnreadable) {
    for (const Hostile& h : hostileFiles()) {
        const std::string name = h.name;
        if (name == "width huge" || name == "width 40000" || name == "height INT_MIN" ||
            name == "height huge" || name == "32767 square 32bpp" || name == "width negative" ||
            name == "bpp 0" || name == "bpp 2" || name == "compression jpeg" || name == "empty" ||
            name == "not BM" || name == "header size 1000" || name == "core 65535 square" ||
            name == "offset past end" || name == "no pixels") {
            EXPECT_FALSE(decodeBmp(h.bytes)) << name;
        }
    }
}

TEST(BmpHostile, IndicesPastTableAndNoTable) {
    for (const Hostile& h : hostileFiles()) {
        const std::string name = h.name;
        if (name == "indices past table") {
            const auto b = decodeBmp(h.bytes);
            ASSERT_TRUE(b);
            EXPECT_EQ(b->pixel(0, 0), qRgb(0, 0, 0));
        }
        if (name == "no colour table") {
            const auto b = decodeBmp(h.bytes);
            ASSERT_TRUE(b);
            EXPECT_EQ(b->palette().size(), 256); // the default palette
        }
    }
}

TEST(BmpHostile, EveryTruncationAndRandomMutations) {
    std::vector<QByteArray> seeds;
    for (const Hostile& h : hostileFiles())
        seeds.push_back(h.bytes);
    for (auto bpp : {1, 4, 8, 16, 24, 32})
        seeds.push_back(encodeBmp(randomBitmap(5, 3, bpp, false, 7)));
    seeds.push_back(encodeBmp(randomBitmap(5, 3, 16, true, 7)));
    std::mt19937 rng(12345);
    int decoded = 0;
    for (const QByteArray& seed : seeds) {
        for (qsizetype n = 0; n <= seed.size(); ++n) {
            const auto b = decodeBmp(seed.left(n));
            if (b && b->width() * qint64(b->height()) < 100000)
                decoded += b->width() > 0;
        }
        for (int round = 0; round < 300; ++round) {
            QByteArray m = seed;
            if (m.isEmpty())
                break;
            const int flips = 1 + int(rng() % 4);
            for (int i = 0; i < flips; ++i)
                m[qsizetype(rng() % m.size())] = char(rng() & 0xff);
            const auto b = decodeBmp(m);
            if (b && qint64(b->width()) * b->height() <= 4096) {
                for (int y = 0; y < b->height(); ++y)
                    for (int x = 0; x < b->width(); ++x)
                        (void)b->pixel(x, y);
            }
        }
    }
    EXPECT_GT(decoded, 0);
}
