// Limits on what a downloaded design may cost, and names written on Windows.
#include "imaging/BmpCodec.h"
#include "imaging/ImageLoader.h"
#include "imaging/PictureBudget.h"
#include "platform/DirectoryListing.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"
#include "support/RawNames.h"
#include "text/Characters.h"
#include "text/TextDecoding.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace zot;
using namespace zot::test;

namespace {

// An RLE8 BMP of about 1 KiB that claims width x height and ends at once.
QByteArray rleBomb(qint32 width, qint32 height) {
    QByteArray b(14 + 40 + 1024 + 2, '\0');
    uchar* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(b.size()), p + 2);
    qToLittleEndian<quint32>(14 + 40 + 1024, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(8, p + 28);
    qToLittleEndian<quint32>(1, p + 30); // BI_RLE8
    p[b.size() - 2] = 0;
    p[b.size() - 1] = 1; // end of bitmap
    return b;
}

// A GIF whose screen is width x height, holding one red pixel at 0, 0.
QByteArray gif(quint16 width, quint16 height) {
    const uchar bytes[] = {'G',
                           'I',
                           'F',
                           '8',
                           '9',
                           'a',
                           uchar(width),
                           uchar(width >> 8),
                           uchar(height),
                           uchar(height >> 8),
                           0x80,
                           0,
                           0,
                           0xff,
                           0,
                           0,
                           0,
                           0,
                           0xff,
                           0x2c,
                           0,
                           0,
                           0,
                           0,
                           1,
                           0,
                           1,
                           0,
                           0,
                           2,
                           2,
                           0x44,
                           0x01,
                           0,
                           0x3b};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

QByteArray encoded(const QImage& image, const char* format) {
    if (qstrcmp(format, "gif") == 0)
        return gif(quint16(image.width()), quint16(image.height())); // Qt writes no GIF
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

class Untrusted : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    QByteArray raw(const QByteArray& name) const {
        return QFile::encodeName(dir.path()) + '/' + name;
    }
    RawTemporaryDir dir;
};

TEST(PictureBudgetTest, TakesOnlyWhatFitsAndResets) {
    PictureBudget budget(100);
    EXPECT_TRUE(budget.take(60));
    EXPECT_FALSE(budget.take(41)); // would cross: nothing taken
    EXPECT_EQ(budget.used(), 60);
    EXPECT_TRUE(budget.take(40));
    EXPECT_FALSE(budget.take(1));
    EXPECT_FALSE(budget.take(-1));
    EXPECT_EQ(budget.remaining(), 0);
    budget.reset();
    EXPECT_EQ(budget.remaining(), 100);
    EXPECT_EQ(PictureBudget().total(), qint64(1) << 30);
}

TEST(BmpByteLimit, RefusesFromTheHeaderWhatCrossesTheLimit) {
    const QByteArray bomb = rleBomb(1000, 1000); // 1000 x 1000 x 8 bits: 1 000 000 bytes
    EXPECT_FALSE(decodeBmp(bomb, 999'999));
    const auto b = decodeBmp(bomb, 1'000'000);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->width(), 1000);
    EXPECT_EQ(pictureBytes(*b), 1'000'000);
    // The largest picture a file may claim is still refused whatever the limit.
    EXPECT_FALSE(decodeBmp(rleBomb(32768, 1), qint64(1) << 40));
}

TEST_F(Untrusted, FortyBombsStayWithinOneBudget) {
    for (int i = 0; i < 40; ++i)
        writeFile(path(QStringLiteral("bomb%1.bmp").arg(i)), rleBomb(1000, 1000));
    PictureBudget budget(4'500'000);
    int loaded = 0;
    for (int i = 0; i < 40; ++i)
        loaded += !loadPicture(path(QStringLiteral("bomb%1.bmp").arg(i)), budget).isEmpty();
    EXPECT_EQ(loaded, 4);
    EXPECT_EQ(budget.used(), 4'000'000);
    // A small picture still fits what is left.
    writeFile(path(QStringLiteral("small.bmp")), rleBomb(10, 10));
    EXPECT_FALSE(loadPicture(path(QStringLiteral("small.bmp")), budget).isEmpty());
}

// Each format a design may hold draws from the same budget.
class BudgetPerFormat : public Untrusted, public ::testing::WithParamInterface<const char*> {};

TEST_P(BudgetPerFormat, RefusesAPictureThatWouldCrossAndKeepsTheBudget) {
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(0xff336699);
    const QString name = QStringLiteral("pic.") + QString::fromLatin1(GetParam());
    writeFile(path(name), encoded(image, GetParam()));

    PictureBudget roomy;
    const Bitmap first = loadPicture(path(name), roomy);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(roomy.used(), pictureBytes(first));
    EXPECT_GE(pictureBytes(first), 100 * 50);

    PictureBudget tight(pictureBytes(first) - 1);
    EXPECT_TRUE(loadPicture(path(name), tight).isEmpty());
    EXPECT_EQ(tight.used(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, BudgetPerFormat, ::testing::Values("bmp", "png", "gif", "jpg"));

TEST_F(Untrusted, RefusesAHugeDeclaredPngWithinTheBudget) {
    // 8000 x 8000 is allowed as one picture but not within 64 MiB.
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QImage small(8, 8, QImage::Format_RGB32);
    small.fill(0);
    png = encoded(small, "png");
    // Patch the IHDR size: the header is all the reader looks at first.
    qToBigEndian<quint32>(8000, png.data() + 16);
    qToBigEndian<quint32>(8000, png.data() + 20);
    writeFile(path(QStringLiteral("big.png")), png);
    PictureBudget budget(64 * 1024 * 1024);
    EXPECT_TRUE(loadPicture(path(QStringLiteral("big.png")), budget).isEmpty());
    EXPECT_EQ(budget.used(), 0);
}

// The header's answer must be what decoding holds: a smaller one lets a bomb
// in, a larger one refuses a picture that fits.
TEST(BmpStorageBytes, AreWhatTheDecodedPictureHolds) {
    for (const int bpp : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        Bitmap b = Bitmap::create(13, 7, bpp);
        b.fill(0xff808080);
        const QByteArray file = encodeBmp(b);
        const std::optional<qint64> fromHead = bmpStorageBytes(file.left(kBmpHeadBytes));
        ASSERT_TRUE(fromHead);
        const std::optional<Bitmap> decoded = decodeBmp(file);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(*fromHead, pictureBytes(*decoded));
    }
    EXPECT_EQ(bmpStorageBytes(rleBomb(16000, 16000).left(kBmpHeadBytes)), 16000 * 16000);
    EXPECT_FALSE(bmpStorageBytes(rleBomb(32768, 1)));
    EXPECT_FALSE(bmpStorageBytes("BM"));
}

namespace png {

quint32 crc32(const QByteArray& bytes) {
    quint32 c = 0xffffffffu;
    for (const char ch : bytes) {
        c ^= uchar(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data) {
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), out.data());
    out += type + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(type + data), crc.data());
    return out + crc;
}

// A zTXt chunk of a few KiB that Qt would inflate to megabytes.
QByteArray zText(qsizetype inflated) {
    return chunk("zTXt",
                 QByteArray("Comment\0\0", 9) + qCompress(QByteArray(inflated, 'a')).mid(4));
}

} // namespace png

TEST_F(Untrusted, PngTextChunksAreLeftOutAndThePixelsKept) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(0xff00ff00);
    image.setPixel(2, 1, 0xffff0000);
    const QByteArray plain = encoded(image, "png");
    EXPECT_FALSE(pngWithoutText(plain));

    // Text before the pixels (where Qt reads it to tell the size) and after.
    const qsizetype afterIhdr = 8 + 12 + 13;
    const qsizetype beforeIend = plain.size() - 12;
    const QByteArray bomb = png::zText(8'000'000);
    QByteArray texts;
    for (int i = 0; i < 40; ++i)
        texts += bomb;
    const QByteArray noisy =
        plain.left(afterIhdr) + texts + png::chunk("tEXt", QByteArray("Title\0x", 7)) +
        plain.mid(afterIhdr, beforeIend - afterIhdr) +
        png::chunk("iTXt", QByteArray("k\0\0\0\0\0v", 7)) + plain.mid(beforeIend);
    ASSERT_LT(noisy.size(), 2'000'000);
    EXPECT_EQ(pngWithoutText(noisy), plain);

    writeFile(path(QStringLiteral("noisy.png")), noisy);
    PictureBudget budget;
    const Bitmap b = loadPicture(path(QStringLiteral("noisy.png")), budget);
    ASSERT_EQ(b.width(), 3);
    EXPECT_EQ(b.pixel(0, 0), 0xff00ff00u);
    EXPECT_EQ(b.pixel(2, 1), 0xffff0000u);
    // A chunk whose length runs past the end of the file ends the walk.
    QByteArray cut = plain.left(afterIhdr) + png::zText(1000);
    qToBigEndian<quint32>(0x7fffffffu, cut.data() + afterIhdr);
    EXPECT_EQ(pngWithoutText(cut), plain.left(afterIhdr));
}

TEST(WindowsNames, DecodeAsUtf8WhenValidElseAsWindows1252) {
    EXPECT_EQ(decodeFileName("caf\xc3\xa9"), QStringLiteral("café"));
    EXPECT_EQ(decodeFileName("\xe8"), QStringLiteral("è"));
    EXPECT_EQ(decodeFileName("\xfc.bmp"), QStringLiteral("ü.bmp"));
    EXPECT_EQ(decodeFileName("\x80"), QStringLiteral("€"));
    // Every byte has a character and comes back from it.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(encodeWindows1252(decodeWindows1252(all)), all);
    EXPECT_FALSE(encodeWindows1252(QStringLiteral("日")));
}

TEST_F(Untrusted, FindsFilesByTheirWindows1252Bytes) {
    mkdirRaw(raw("f\xfc")); // "fü"
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(0xffff0000);
    writeRaw(raw("f\xfc/\xe8.png"), encoded(image, "png")); // "fü/è.png"

    const std::vector<DirectoryEntry> top = listDirectory(dir.path());
    ASSERT_EQ(top.size(), 1u);
    EXPECT_EQ(top[0].name, QStringLiteral("fü"));
    EXPECT_EQ(top[0].rawName, QByteArray("f\xfc"));
    EXPECT_TRUE(top[0].isDirectory);
    const std::vector<DirectoryEntry> inner = listDirectory(path(QStringLiteral("fü")));
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].name, QStringLiteral("è.png"));

    EXPECT_EQ(nativePath(path(QStringLiteral("fü/è.png"))), raw("f\xfc/\xe8.png"));
    const Bitmap b = loadPicture(path(QStringLiteral("fü/è.png")));
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.pixel(0, 0), 0xffff0000u);
    // Case-insensitive lookups see the decoded names too.
    EXPECT_EQ(joinPath(dir.path(), QStringLiteral("FÜ\\È.PNG")), path(QStringLiteral("fü/è.png")));
}

TEST_F(Untrusted, PrefersTheUtf8NameWhenBothExist) {
    writeRaw(raw("\xe8"), "windows");
    writeRaw(raw("\xc3\xa8"), "utf8");
    QFile file;
    ASSERT_TRUE(openNativeFile(file, path(QStringLiteral("è"))));
    EXPECT_EQ(file.readAll(), "utf8");
    EXPECT_FALSE(openNativeFile(file, path(QStringLiteral("missing"))));
}

TEST_F(Untrusted, RemovesATreeByItsBytesWithoutFollowingLinks) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    writeFile(outside.filePath(QStringLiteral("keep")), "kept");
    const QByteArray tree = raw("t\xe8");
    mkdirRaw(tree);
    mkdirRaw(tree + "/\xfc");
    writeRaw(tree + "/\xfc/\xe8.bmp", "x");
    writeRaw(tree + "/caf\xc3\xa9", "y");
    ASSERT_EQ(
        ::symlink(QFile::encodeName(outside.path()).constData(), (tree + "/link").constData()), 0);

    EXPECT_TRUE(removeNativeTree(tree));
    EXPECT_TRUE(listDirectory(dir.path()).empty());
    EXPECT_TRUE(QFile::exists(outside.filePath(QStringLiteral("keep"))));
    EXPECT_FALSE(removeNativeTree(tree)); // nothing there any more
}

TEST_F(Untrusted, ScriptFilesHaveASizeLimitAndLoseALeadingByteOrderMark) {
    writeFile(path(QStringLiteral("bom.zot")), "\xef\xbb\xbfname=x\r\nimgFont\n");
    EXPECT_EQ(readScriptLines(path(QStringLiteral("bom.zot"))),
              (QStringList{QStringLiteral("name=x"), QStringLiteral("imgFont")}));
    // Not UTF-8 as a whole: the mark's bytes are Windows-1252 characters.
    writeFile(path(QStringLiteral("mixed.zot")), "\xef\xbb\xbfname=\xe8\n");
    EXPECT_EQ(readScriptLines(path(QStringLiteral("mixed.zot"))),
              QStringList{QStringLiteral("ï»¿name=è")});

    QFile big(path(QStringLiteral("big.zot")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(kMaxScriptBytes + 1));
    big.close();
    EXPECT_THROW(readScriptLines(path(QStringLiteral("big.zot"))), Error);
    EXPECT_THROW(readScriptLines(dir.path()), Error); // a folder
}

TEST_F(Untrusted, BatchLinesLongerThanTheLimitStopTheReading) {
    QByteArray content = "short;a.bmp\n";
    content += QByteArray(TextLineReader::kMaxLineBytes + 10, 'x');
    content += "\nnever\n";
    writeFile(path(QStringLiteral("batch.txt")), content);
    TextLineReader reader(path(QStringLiteral("batch.txt")));
    EXPECT_EQ(reader.next(), QStringLiteral("short;a.bmp"));
    try {
        reader.next();
        ADD_FAILURE() << "a line past the limit was read";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Line 2 of ")))
            << qPrintable(error.message());
    }
    // Exactly at the limit is still a line.
    writeFile(path(QStringLiteral("edge.txt")), QByteArray(TextLineReader::kMaxLineBytes, 'y'));
    TextLineReader edge(path(QStringLiteral("edge.txt")));
    EXPECT_EQ(edge.next()->size(), TextLineReader::kMaxLineBytes);
    EXPECT_FALSE(edge.next());
}

TEST(CharacterCounting, CountsCharactersOutsideTheBmpOnce) {
    const QString emoji = QStringLiteral("a\U0001F600b");
    EXPECT_EQ(emoji.size(), 4);
    EXPECT_EQ(characterCount(emoji), 3);
    EXPECT_EQ(characterLength(emoji, 1), 2);
    EXPECT_EQ(lastCharacterLength(QStringLiteral("x\U0001F600")), 2);
    // A lone half counts as one character on its own.
    const QString lone = QString(QChar(0xD83D)) + u'x';
    EXPECT_EQ(characterCount(lone), 2);
    EXPECT_EQ(lastCharacterLength(QString(QChar(0xDE00))), 1);
    EXPECT_EQ(characterCount(QString()), 0);
}

} // namespace
