#include "imaging/BmpCodec.h"
#include "BmpTestData.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

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

namespace {

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kGreen = qRgb(0, 255, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);

QList<QRgb> redSteps() {
    QList<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.append(qRgb(i * 16, 0, 0));
    return palette;
}

struct ExpectedPixel {
    int x;
    int y;
    QRgb rgb;
};

struct ExpectedPicture {
    int width;
    int height;
    int bitsPerPixel;
    std::optional<bool> rgb565 = {};
    std::optional<QImage::Format> storageFormat = {};
    bool paletteAsWritten = false;
    QList<ExpectedPixel> pixels = {};
};

struct DecodeCase {
    const char* name;
    BmpFileLayout layout;
    ExpectedPicture expect;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<DecodeCase> kDecodeCases = {
    {.name = "Info24BottomUp",
     .layout = {.width = 3,
                .height = 2,
                .bpp = 24,
                // Bottom row first, rows padded to 12 bytes (9 used).
                .pixels =
                    rowBytes({0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0}) +       // red green blue
                    rowBytes({255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0})}, // white black grey
     .expect = {.width = 3,
                .height = 2,
                .bitsPerPixel = 24,
                .pixels = {{0, 0, kWhite},
                           {1, 0, kBlack},
                           {2, 0, qRgb(128, 128, 128)},
                           {0, 1, kRed},
                           {1, 1, kGreen},
                           {2, 1, kBlue}}}},
    {.name = "Info32",
     .layout =
         {.width = 2, .height = 1, .bpp = 32, .pixels = rowBytes({10, 20, 30, 0, 40, 50, 60, 99})},
     .expect = {.width = 2,
                .height = 1,
                .bitsPerPixel = 32,
                .pixels = {{0, 0, qRgb(30, 20, 10)}, {1, 0, qRgb(60, 50, 40)}}}},
    {.name = "OneBitPaddedRows",
     .layout = {.width = 10,
                .height = 2,
                .bpp = 1,
                .palette = {kBlue, kYellow},
                .pixels = rowBytes({0b10000000, 0b01000000, 0, 0}) + // bottom: x=0 and x=9 set
                          rowBytes({0b01010101, 0b11000000, 0, 0})},
     .expect = {.width = 10,
                .height = 2,
                .bitsPerPixel = 1,
                .paletteAsWritten = true,
                .pixels = {{0, 1, kYellow},
                           {1, 1, kBlue},
                           {9, 1, kYellow},
                           {8, 1, kBlue},
                           {0, 0, kBlue},
                           {1, 0, kYellow},
                           {8, 0, kYellow},
                           {9, 0, kYellow}}}},
    {.name = "FourBitOddWidth",
     .layout = {.width = 3,
                .height = 1,
                .bpp = 4,
                .palette = redSteps(),
                .pixels = rowBytes({0x1f, 0x70, 0, 0})},
     .expect = {.width = 3,
                .height = 1,
                .bitsPerPixel = 4,
                .paletteAsWritten = true, // all 16 entries
                .pixels = {{0, 0, qRgb(16, 0, 0)},
                           {1, 0, qRgb(240, 0, 0)},
                           {2, 0, qRgb(112, 0, 0)}}}},
    {.name = "EightBitClrUsed",
     .layout = {.width = 4,
                .height = 1,
                .bpp = 8,
                .clrUsed = 3,
                .palette = {qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)},
                .pixels = rowBytes({2, 1, 0, 2})},
     .expect = {.width = 4,
                .height = 1,
                .bitsPerPixel = 8,
                .paletteAsWritten = true,
                .pixels = {{0, 0, qRgb(7, 8, 9)}, {1, 0, qRgb(4, 5, 6)}, {2, 0, qRgb(1, 2, 3)}}}},
    {.name = "SixteenBitDefault555",
     .layout = {.width = 2, .height = 1, .bpp = 16, .pixels = rowBytes({0x00, 0x7c, 0x1f, 0x00})},
     .expect = {.width = 2,
                .height = 1,
                .bitsPerPixel = 16,
                .rgb565 = false,
                .pixels = {{0, 0, kRed}, {1, 0, kBlue}}}},
    {.name = "SixteenBitBitfields565AfterInfoHeader",
     .layout = {.width = 2,
                .height = 1,
                .bpp = 16,
                .compression = 3,
                .masks = {0xf800, 0x07e0, 0x001f},
                .writeMasks = true,
                .pixels = rowBytes({0xe0, 0x07, 0x00, 0xf8})}, // green, red
     .expect = {.width = 2,
                .height = 1,
                .bitsPerPixel = 16,
                .rgb565 = true,
                .storageFormat = QImage::Format_RGB16,
                .pixels = {{0, 0, kGreen}, {1, 0, kRed}}}},
    {.name = "SixteenBitOtherMasksGo32",
     .layout = {.width = 1,
                .height = 1,
                .bpp = 16,
                .compression = 3,
                .masks = {0x0f00, 0x00f0, 0x000f}, // 4-4-4
                .writeMasks = true,
                .pixels = rowBytes({0x0f, 0x08, 0, 0})}, // r=8, g=0, b=15
     .expect =
         {.width = 1, .height = 1, .bitsPerPixel = 32, .pixels = {{0, 0, qRgb(136, 0, 255)}}}},
    {.name = "ThirtyTwoBitSwappedMasks",
     .layout = {.kind = HeaderKind::Info56,
                .width = 1,
                .height = 1,
                .bpp = 32,
                .compression = 3,
                .masks = {0x000000ff, 0x0000ff00, 0x00ff0000},
                .pixels = rowBytes({10, 20, 30, 0})}, // r=10 g=20 b=30
     .expect = {.width = 1, .height = 1, .bitsPerPixel = 32, .pixels = {{0, 0, qRgb(10, 20, 30)}}}},
    {.name = "Info52Bitfields565",
     .layout = {.kind = HeaderKind::Info52,
                .width = 1,
                .height = 1,
                .bpp = 16,
                .compression = 3,
                .masks = {0xf800, 0x07e0, 0x001f},
                .pixels = rowBytes({0x1f, 0x00, 0, 0})},
     .expect =
         {.width = 1, .height = 1, .bitsPerPixel = 16, .rgb565 = true, .pixels = {{0, 0, kBlue}}}},
    {.name = "CoreHeaderPaletted",
     .layout = {.kind = HeaderKind::Core,
                .width = 2,
                .height = 2,
                .bpp = 1,
                .palette = {kRed, kGreen},
                .pixels = rowBytes({0b01000000, 0, 0, 0}) + rowBytes({0b10000000, 0, 0, 0})},
     .expect = {.width = 2,
                .height = 2,
                .bitsPerPixel = 1,
                .paletteAsWritten = true,
                .pixels = {{0, 0, kGreen}, {1, 0, kRed}, {0, 1, kRed}, {1, 1, kGreen}}}},
    {.name = "CoreHeader24",
     .layout = {.kind = HeaderKind::Core,
                .width = 1,
                .height = 1,
                .bpp = 24,
                .pixels = rowBytes({1, 2, 3, 0})},
     .expect = {.width = 1, .height = 1, .bitsPerPixel = 24, .pixels = {{0, 0, qRgb(3, 2, 1)}}}},
    {.name = "V5TopDown",
     .layout = {.kind = HeaderKind::V5,
                .width = 1,
                .height = -3,
                .bpp = 24,
                .pixels =
                    rowBytes({0, 0, 255, 0}) + rowBytes({0, 255, 0, 0}) + rowBytes({255, 0, 0, 0})},
     .expect = {.width = 1,
                .height = 3,
                .bitsPerPixel = 24,
                .pixels = {{0, 0, kRed}, {0, 1, kGreen}, {0, 2, kBlue}}}},
    {.name = "V4BitfieldsInHeader",
     .layout = {.kind = HeaderKind::V4,
                .width = 1,
                .height = 1,
                .bpp = 16,
                .compression = 3,
                .masks = {0xf800, 0x07e0, 0x001f},
                .pixels = rowBytes({0xff, 0xff, 0, 0})},
     .expect =
         {.width = 1, .height = 1, .bitsPerPixel = 16, .rgb565 = true, .pixels = {{0, 0, kWhite}}}},
    {.name = "V4RgbIgnoresMasks",
     .layout = {.kind = HeaderKind::V4,
                .width = 1,
                .height = 1,
                .bpp = 16,
                .compression = 0,
                .masks = {0xf800, 0x07e0, 0x001f}, // present but not used for BI_RGB
                .pixels = rowBytes({0x00, 0x7c, 0, 0})},
     .expect =
         {.width = 1, .height = 1, .bitsPerPixel = 16, .rgb565 = false, .pixels = {{0, 0, kRed}}}},
    {.name = "RleMissingDataStaysIndexZero",
     .layout = {.width = 4,
                .height = 2,
                .bpp = 8,
                .compression = 1,
                .clrUsed = 2,
                .palette = {qRgb(9, 9, 9), kWhite},
                .pixels = rowBytes({2, 1})}, // no end of line, no end of bitmap
     .expect = {.width = 4,
                .height = 2,
                .bitsPerPixel = 8,
                .pixels = {{0, 1, kWhite},
                           {1, 1, kWhite},
                           {2, 1, qRgb(9, 9, 9)},
                           {3, 0, qRgb(9, 9, 9)}}}},
    {.name = "PaletteIndexBeyondTableIsBlack",
     .layout = {.width = 2,
                .height = 1,
                .bpp = 8,
                .clrUsed = 2,
                .palette = {kWhite, kRed},
                .pixels = rowBytes({1, 200, 0, 0})},
     .expect =
         {.width = 2, .height = 1, .bitsPerPixel = 8, .pixels = {{0, 0, kRed}, {1, 0, kBlack}}}},
    {.name = "TruncatedRowsStayBlack",
     .layout = {.width = 2,
                .height = 3,
                .bpp = 24,
                .pixels =
                    rowBytes({255, 255, 255, 255, 255, 255, 0, 0}) + rowBytes({255, 255, 255})},
     .expect = {.width = 2,
                .height = 3,
                .bitsPerPixel = 24,
                .pixels = {{0, 2, kWhite},
                           {1, 2, kWhite},
                           {0, 1, kWhite},
                           {1, 1, kBlack},
                           {0, 0, kBlack}}}},
    {.name = "ZeroWidthKeepsFormat",
     .layout = {.width = 0,
                .height = 5,
                .bpp = 4,
                .clrUsed = 2,
                .palette = {qRgb(1, 1, 1), qRgb(2, 2, 2)}},
     .expect = {.width = 0, .height = 5, .bitsPerPixel = 4, .paletteAsWritten = true}},
};

} // namespace

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, ReadsThePicture) {
    const DecodeCase& c = GetParam();
    const ExpectedPicture& e = c.expect;
    const auto b = decodeBmp(buildBmp(c.layout));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->width(), e.width);
    EXPECT_EQ(b->height(), e.height);
    EXPECT_EQ(b->isEmpty(), e.width == 0 || e.height == 0);
    EXPECT_EQ(b->bitsPerPixel(), e.bitsPerPixel);
    if (e.rgb565) {
        EXPECT_EQ(b->isRgb565(), *e.rgb565);
    }
    if (e.storageFormat) {
        EXPECT_EQ(b->storage().format(), *e.storageFormat);
    }
    if (e.paletteAsWritten) {
        EXPECT_EQ(b->palette(), c.layout.palette);
    }
    for (const ExpectedPixel& p : e.pixels)
        EXPECT_EQ(b->pixel(p.x, p.y), p.rgb) << "at " << p.x << "," << p.y;
    // Whatever was read, even an index past the table, writes back and reads the same.
    expectSane(*b);
}

INSTANTIATE_TEST_SUITE_P(MadeUpFiles, BmpDecode, ::testing::ValuesIn(kDecodeCases),
                         [](const ::testing::TestParamInfo<DecodeCase>& p) {
                             return std::string(p.param.name);
                         });

// Runs, absolute runs and deltas: every pixel of the picture is checked.
TEST(BmpRleDecode, EightBit) {
    BmpFileLayout layout;
    layout.width = 6;
    layout.height = 3;
    layout.bpp = 8;
    layout.compression = 1;
    layout.palette = {kBlack, kRed, kGreen, kBlue};
    layout.clrUsed = 4;
    layout.pixels = rowBytes({
        3, 1,             // bottom row: 3 x red
        0, 3, 2, 3, 2, 0, // absolute: green blue green, padded
        0, 0,             // end of line
        0, 2, 2, 1,       // delta: right 2, up 1 -> row 2, x 2
        2, 3,             // two blue at x 2, 3
        0, 1,             // end of bitmap
    });
    const auto b = decodeBmp(buildBmp(layout));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 8);
    const QRgb k = kBlack, r = kRed, g = kGreen, bl = kBlue;
    const QRgb expected[3][6] = {{k, k, bl, bl, k, k}, {k, k, k, k, k, k}, {r, r, r, g, bl, g}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(b->pixel(x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpRleDecode, FourBit) {
    BmpFileLayout layout;
    layout.width = 5;
    layout.height = 2;
    layout.bpp = 4;
    layout.compression = 2;
    for (int i = 0; i < 16; ++i)
        layout.palette.append(qRgb(i, i, i));
    layout.pixels = rowBytes({
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
    const auto b = decodeBmp(buildBmp(layout));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->bitsPerPixel(), 4);
    const int bottom[5] = {1, 2, 1, 2, 1};
    const int top[5] = {10, 11, 12, 15, 15};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(b->pixel(x, 1), qRgb(bottom[x], bottom[x], bottom[x])) << x;
        EXPECT_EQ(b->pixel(x, 0), qRgb(top[x], top[x], top[x])) << x;
    }
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
    for (int w : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 31, 33, 480}) {
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
    std::vector<BmpFileLayout> layouts;
    {
        BmpFileLayout layout; // core 4-bit
        layout.kind = HeaderKind::Core;
        layout.width = 3;
        layout.height = 2;
        layout.bpp = 4;
        for (int i = 0; i < 16; ++i)
            layout.palette.append(qRgb(i * 10, 255 - i * 10, i));
        layout.pixels = rowBytes({0x12, 0x30, 0, 0, 0xfe, 0xd0, 0, 0});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // core 8-bit
        layout.kind = HeaderKind::Core;
        layout.width = 2;
        layout.height = 1;
        layout.bpp = 8;
        for (int i = 0; i < 256; ++i)
            layout.palette.append(qRgb(i, i / 2, 255 - i));
        layout.pixels = rowBytes({7, 250, 0, 0});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // V5 top-down 32-bit
        layout.kind = HeaderKind::V5;
        layout.width = 2;
        layout.height = -2;
        layout.bpp = 32;
        layout.pixels = rowBytes({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // V5 8-bit with short table
        layout.kind = HeaderKind::V5;
        layout.width = 3;
        layout.height = 1;
        layout.bpp = 8;
        layout.clrUsed = 2;
        layout.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
        layout.pixels = rowBytes({1, 0, 1, 0});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // RLE8
        layout.width = 4;
        layout.height = 2;
        layout.bpp = 8;
        layout.compression = 1;
        layout.clrUsed = 3;
        layout.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255)};
        layout.pixels = rowBytes({4, 1, 0, 0, 0, 4, 2, 1, 2, 1, 0, 1});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // RLE4
        layout.width = 4;
        layout.height = 1;
        layout.bpp = 4;
        layout.compression = 2;
        layout.clrUsed = 4;
        layout.palette = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
        layout.pixels = rowBytes({4, 0x23, 0, 1});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // bitfields 565 after an info header
        layout.width = 3;
        layout.height = 1;
        layout.bpp = 16;
        layout.compression = 3;
        layout.writeMasks = true;
        layout.masks[0] = 0xf800;
        layout.masks[1] = 0x07e0;
        layout.masks[2] = 0x001f;
        layout.pixels = rowBytes({0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0, 0});
        layouts.push_back(layout);
    }
    {
        BmpFileLayout layout; // 16-bit 555 in a V4 header
        layout.kind = HeaderKind::V4;
        layout.width = 1;
        layout.height = 1;
        layout.bpp = 16;
        layout.pixels = rowBytes({0x34, 0x12, 0, 0});
        layouts.push_back(layout);
    }
    for (size_t i = 0; i < layouts.size(); ++i) {
        SCOPED_TRACE(i);
        const auto first = decodeBmp(buildBmp(layouts[i]));
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
    BmpFileLayout base;
    base.width = 4;
    base.height = 4;
    base.bpp = 8;
    base.clrUsed = 2;
    base.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    base.pixels = QByteArray(16, '\1');
    const QByteArray good = buildBmp(base);

    BmpFileLayout rle = base;
    rle.compression = 1;
    BmpFileLayout rle4 = base;
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
        BmpFileLayout layout = base;
        layout.pixels = QByteArray(16, char(0xee)); // indices past a 2-entry table
        h.push_back({"indices past table", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = base;
        layout.clrUsed = 0;
        layout.palette.clear();
        layout.offBitsOverride = 14 + 40; // no room at all for the table
        h.push_back({"no colour table", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels =
            rowBytes({255, 1, 255, 1, 255, 1, 255, 1, 255, 1, 255, 1}); // runs past rows
        h.push_back({"rle8 long runs", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels = rowBytes({0, 2, 255, 255, 5, 1, 0, 2, 3, 0, 7, 1}); // delta far away
        h.push_back({"rle8 delta out", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels = rowBytes({0, 255, 1, 1, 1}); // absolute run past data
        h.push_back({"rle8 absolute cut", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels = rowBytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 1}); // lines past the top
        h.push_back({"rle8 too many lines", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels = rowBytes({0, 2}); // delta without its bytes
        h.push_back({"rle8 delta cut", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.pixels = rowBytes({4});
        h.push_back({"rle8 odd byte", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle4;
        layout.pixels = rowBytes({255, 0xab, 0, 255, 0x12, 0x34, 0, 2, 200, 200, 0, 9, 0xff});
        h.push_back({"rle4 mixed hostile", buildBmp(layout)});
    }
    {
        BmpFileLayout layout = rle;
        layout.height = -4; // top-down RLE
        layout.pixels = rowBytes({4, 1, 0, 0, 4, 1, 0, 1});
        h.push_back({"rle8 top-down", buildBmp(layout)});
    }
    for (int bpp : {16, 32}) {
        BmpFileLayout layout;
        layout.width = 2;
        layout.height = 2;
        layout.bpp = bpp;
        layout.compression = 3;
        layout.writeMasks = true; // all zero
        layout.pixels = QByteArray(bpp == 16 ? 8 : 16, char(0x5a));
        h.push_back({bpp == 16 ? "zero masks 16" : "zero masks 32", buildBmp(layout)});
        layout.masks[0] = layout.masks[1] = layout.masks[2] = 0xffffffffu;
        h.push_back({bpp == 16 ? "full masks 16" : "full masks 32", buildBmp(layout)});
        layout.masks[0] = 0x80000001u;
        layout.masks[1] = 0x1;
        layout.masks[2] = 0x80000000u;
        h.push_back({bpp == 16 ? "odd masks 16" : "odd masks 32", buildBmp(layout)});
        BmpFileLayout cut = layout;
        cut.pixels.clear();
        QByteArray noMasks = buildBmp(cut).left(14 + 40 + 4);
        h.push_back({"bitfields masks cut", noMasks});
    }
    {
        BmpFileLayout layout;
        layout.kind = HeaderKind::Core;
        layout.width = 0xffff;
        layout.height = 0xffff;
        layout.bpp = 24;
        h.push_back({"core 65535 square", buildBmp(layout)});
    }
    {
        BmpFileLayout layout;
        layout.kind = HeaderKind::Core;
        layout.width = 2;
        layout.height = 2;
        layout.bpp = 8;
        layout.palette = {qRgb(1, 2, 3)};
        h.push_back({"core palette cut", buildBmp(layout)});
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
