#include "imaging/ImageLoader.h"
#include "BmpTestData.h"
#include "imaging/BmpCodec.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace zot;
using namespace zot::test;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

quint32 crc32(const QByteArray& data) {
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

QByteArray be32(quint32 v) {
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

// A PNG that claims a size in its header and holds no pixel data.
QByteArray pngHeaderOnly(quint32 width, quint32 height) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr = "IHDR" + be32(width) + be32(height);
    ihdr.append(char(8)); // bit depth
    ihdr.append(char(2)); // truecolour
    ihdr.append(3, '\0');
    png += be32(13) + ihdr + be32(crc32(ihdr));
    png += be32(0) + QByteArray("IEND") + be32(crc32("IEND"));
    return png;
}

class ImageLoader : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ImageLoader, PngWrittenByQt) {
    QImage img(3, 2, QImage::Format_RGB32);
    img.fill(qRgb(10, 20, 30));
    img.setPixel(2, 1, qRgb(200, 100, 0));
    ASSERT_TRUE(img.save(path("pic.png"), "PNG"));
    const Bitmap b = loadPicture(path("pic.png"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 2);
    EXPECT_EQ(b.bitsPerPixel(), 24);
    EXPECT_EQ(b.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(b.pixel(2, 1), qRgb(200, 100, 0));
    EXPECT_EQ(b.transparentColor(), qRgb(10, 20, 30));
}

TEST_F(ImageLoader, PngWithAlphaDropsAlpha) {
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 0, 0, 255));
    img.setPixel(1, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(img.save(path("alpha.png"), "PNG"));
    const Bitmap b = loadPicture(path("alpha.png"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), qRgb(0, 0, 255));
}

TEST_F(ImageLoader, IndexedAndMonoPng) {
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(1, 2, 3), qRgb(4, 5, 6), qRgb(7, 8, 9)});
    indexed.scanLine(0)[0] = 2;
    indexed.scanLine(0)[1] = 1;
    indexed.scanLine(0)[2] = 0;
    ASSERT_TRUE(indexed.save(path("indexed.png"), "PNG"));
    const Bitmap b = loadPicture(path("indexed.png"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_TRUE(b.isPaletted());
    EXPECT_EQ(b.pixel(0, 0), qRgb(7, 8, 9));
    EXPECT_EQ(b.pixel(2, 0), qRgb(1, 2, 3));

    QImage mono(9, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    mono.setPixel(8, 0, 1);
    ASSERT_TRUE(mono.save(path("mono.png"), "PNG"));
    const Bitmap m = loadPicture(path("mono.png"));
    ASSERT_FALSE(m.isEmpty());
    EXPECT_EQ(m.bitsPerPixel(), 1); // two colours: one bit, white see-through
    EXPECT_EQ(m.transparentColor(), qRgb(255, 255, 255));
    EXPECT_EQ(m.pixel(8, 0), qRgb(255, 255, 255));
    EXPECT_EQ(m.pixel(0, 0), qRgb(0, 0, 0));
}

TEST_F(ImageLoader, Gif) {
    // A 1 x 1 GIF, byte by byte: two-colour global table (red, blue), one
    // image whose only pixel is entry 0.
    const uchar gif[] = {'G', 'I',  'F', '8', '9', 'a', 1,    0,    1,    0, 0x80, 0,
                         0,   0xff, 0,   0,   0,   0,   0xff, 0x2c, 0,    0, 0,    0,
                         1,   0,    1,   0,   0,   2,   2,    0x44, 0x01, 0, 0x3b};
    writeFile(path("pic.gif"), QByteArray(reinterpret_cast<const char*>(gif), sizeof gif));
    const Bitmap b = loadPicture(path("pic.gif"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.width(), 1);
    EXPECT_EQ(b.height(), 1);
    EXPECT_EQ(b.pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(ImageLoader, Jpeg) {
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(qRgb(200, 200, 200));
    if (!img.save(path("pic.jpg"), "JPEG", 100))
        GTEST_SKIP() << "no JPEG writer";
    const Bitmap b = loadPicture(path("pic.jpg"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.width(), 8);
    EXPECT_NEAR(qRed(b.pixel(4, 4)), 200, 3);
}

TEST_F(ImageLoader, BmpByContentNotExtension) {
    Bitmap src = Bitmap::create(3, 2, 4);
    src.setPixel(1, 1, qRgb(255, 0, 0));
    writeFile(path("really-a-bmp.png"), encodeBmp(src));
    const Bitmap b = loadPicture(path("really-a-bmp.png"));
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(b.bitsPerPixel(), 4);
    EXPECT_EQ(b.pixel(1, 1), qRgb(255, 0, 0));

    QImage png(1, 1, QImage::Format_RGB32);
    png.fill(qRgb(0, 255, 0));
    ASSERT_TRUE(png.save(path("really-a-png.bmp"), "PNG"));
    const Bitmap p = loadPicture(path("really-a-png.bmp"));
    ASSERT_FALSE(p.isEmpty());
    EXPECT_EQ(p.pixel(0, 0), qRgb(0, 255, 0));
}

TEST_F(ImageLoader, BmpOfEveryDepth) {
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        Bitmap src = Bitmap::create(5, 3, bpp);
        src.setPixel(4, 2, qRgb(255, 255, 255));
        const QString p = path("d.bmp");
        writeBmpFile(src, p);
        const Bitmap b = loadPicture(p);
        EXPECT_EQ(b.bitsPerPixel(), bpp);
        EXPECT_EQ(b.width(), 5);
        EXPECT_EQ(b.pixel(4, 2), qRgb(255, 255, 255));
    }
}

TEST_F(ImageLoader, FailuresGiveEmptyPicture) {
    EXPECT_TRUE(loadPicture(path("missing.bmp")).isEmpty());
    EXPECT_TRUE(loadPicture(QString()).isEmpty());
    EXPECT_TRUE(loadPicture(dir.path()).isEmpty());
    writeFile(path("empty.bmp"), QByteArray());
    EXPECT_TRUE(loadPicture(path("empty.bmp")).isEmpty());
    writeFile(path("garbage.bmp"), QByteArray("this is not a picture at all, just text\n"));
    EXPECT_TRUE(loadPicture(path("garbage.bmp")).isEmpty());
    writeFile(path("bm-garbage.bmp"), QByteArray("BM garbage garbage garbage garbage"));
    EXPECT_TRUE(loadPicture(path("bm-garbage.bmp")).isEmpty());
    QByteArray png = pngHeaderOnly(2, 2);
    writeFile(path("cut.png"), png.left(png.size() - 12));
    EXPECT_TRUE(loadPicture(path("cut.png")).isEmpty());
    // Formats Qt reads but a design may not hold.
    writeFile(path("pic.xpm"),
              QByteArray("/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #ff0000\", \"a\"};\n"));
    EXPECT_TRUE(loadPicture(path("pic.xpm")).isEmpty());
}

TEST_F(ImageLoader, OversizedPngRejectedBeforeDecoding) {
    writeFile(path("huge.png"), pngHeaderOnly(40000, 10));
    EXPECT_TRUE(loadPicture(path("huge.png")).isEmpty());
    writeFile(path("huge2.png"), pngHeaderOnly(30000, 30000));
    EXPECT_TRUE(loadPicture(path("huge2.png")).isEmpty());
    writeFile(path("huge3.png"), pngHeaderOnly(0x7fffffff, 0x7fffffff));
    EXPECT_TRUE(loadPicture(path("huge3.png")).isEmpty());
}

TEST_F(ImageLoader, OversizedBmpRejected) {
    BmpFileLayout layout;
    layout.width = 32767;
    layout.height = 32767;
    layout.bpp = 32;
    layout.pixels = QByteArray(64, '\0');
    writeFile(path("huge.bmp"), buildBmp(layout));
    EXPECT_TRUE(loadPicture(path("huge.bmp")).isEmpty());
}
