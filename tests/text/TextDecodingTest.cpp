#include "text/TextDecoding.h"
#include "platform/TextLineReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

// Every way the splitter can be fed: whole, then cut at every position, then
// byte by byte; taking lines and counting them must agree each time.
QList<QByteArray> splitWhole(const QByteArray& bytes) {
    LineSplitter s;
    s.feed(bytes);
    s.finish();
    QList<QByteArray> lines;
    while (auto line = s.takeLine())
        lines << *line;
    return lines;
}

QList<QByteArray> splitInPieces(const QByteArray& bytes, qsizetype piece, qsizetype* counted) {
    LineSplitter taker, counter;
    QList<QByteArray> lines;
    *counted = 0;
    for (qsizetype at = 0;; at += piece) {
        const bool end = at >= bytes.size();
        if (end) {
            taker.finish();
            counter.finish();
        } else {
            taker.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
            counter.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
        }
        while (auto line = taker.takeLine())
            lines << *line;
        while (counter.skipLine())
            ++*counted;
        if (end)
            return lines;
    }
}

struct SplitCase {
    QByteArray bytes;
    QList<QByteArray> lines;
};

class LineSplitterCases : public testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitterCases, GiveTheSameLinesHoweverTheBytesArrive) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitWhole(c.bytes), c.lines);
    for (qsizetype piece = 1; piece <= c.bytes.size(); ++piece) {
        SCOPED_TRACE(testing::Message() << "pieces of " << piece);
        qsizetype counted = 0;
        EXPECT_EQ(splitInPieces(c.bytes, piece, &counted), c.lines);
        EXPECT_EQ(counted, c.lines.size());
    }
}

INSTANTIATE_TEST_SUITE_P(BreakKinds, LineSplitterCases,
                         testing::Values(SplitCase{"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
                                         SplitCase{"a\n", {"a"}}, SplitCase{"a\r\n\r\n", {"a", ""}},
                                         SplitCase{"a\n\n", {"a", ""}},
                                         SplitCase{"\n\nx", {"", "", "x"}}, SplitCase{"\r\n", {""}},
                                         SplitCase{"\r", {""}}, SplitCase{"\r\r\n\n", {"", "", ""}},
                                         SplitCase{"\n\r", {"", ""}}, SplitCase{"", {}},
                                         SplitCase{"no break", {"no break"}},
                                         SplitCase{"x\r\ry\r", {"x", "", "y"}}));

TEST(LineSplitter, HoldsOnlyTheUnfinishedLine) {
    LineSplitter s;
    const QByteArray chunk = QByteArray(1000, 'x') + '\n';
    for (int i = 0; i < 1000; ++i) {
        s.feed(chunk);
        ASSERT_EQ(s.takeLine()->size(), 1000);
        ASSERT_FALSE(s.takeLine());
    }
    // A megabyte of lines went through; a byte more does not keep them.
    s.feed("y");
    s.finish();
    EXPECT_EQ(s.takeLine(), QByteArray("y"));
    EXPECT_FALSE(s.takeLine());
}

TEST(Windows1252, TheUndefinedBytesKeepTheirControlCode) {
    for (uchar b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(windows1252Char(b).unicode(), b) << int(b);
    EXPECT_EQ(windows1252Char(0x80).unicode(), 0x20AC);
    EXPECT_EQ(windows1252Char(0x9F).unicode(), 0x0178);
    EXPECT_EQ(windows1252Char(0xA0).unicode(), 0x00A0);
    EXPECT_EQ(windows1252Char(0x41).unicode(), 0x0041);
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = decodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(text[b], windows1252Char(uchar(b)));
}

TEST(Utf8Validator, AcceptsOnlyStrictUtf8WhetherWholeOrInPieces) {
    struct Case {
        QByteArray bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"plain", true},
        {"caf\xc3\xa9", true},
        {"\xf0\x9f\x98\x80", true},  // outside the BMP
        {"\xef\xbf\xbf", true},      // a noncharacter is still UTF-8
        {"\xef\xbb\xbftext", true},  // byte order mark
        {"caf\xe9", false},          // Windows-1252
        {"\xc0\xaf", false},         // overlong
        {"\xe0\x80\xaf", false},     // overlong
        {"\xed\xa0\x80", false},     // surrogate
        {"\xf4\x90\x80\x80", false}, // past U+10FFFF
        {"ab\xc3", false},           // cut short at the end
        {"\x80", false},             // lone continuation
        {"\xc3\xa9\xc3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
        Utf8Validator v;
        for (char b : c.bytes)
            v.feed(QByteArrayView(&b, 1));
        EXPECT_EQ(v.valid(), c.valid);
    }
}

// The script reader (whole file) and the batch reader (streamed) are one rule.
class TextFileReaders : public testing::Test {
  protected:
    QTemporaryDir dir;
    QString path = dir.path() + "/t.txt";

    void write(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QStringList streamed() {
        TextLineReader reader(path);
        QStringList lines;
        while (auto line = reader.next())
            lines << *line;
        EXPECT_EQ(reader.lineCount(), lines.size());
        return lines;
    }
};

TEST_F(TextFileReaders, AgreeOnEncodingBreaksAndByteOrderMark) {
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"caf\xc3\xa9\n", {QStringLiteral(u"café")}},
        {"caf\xc3\xa9\nna\xefve\n", {QStringLiteral(u"cafÃ©"), QStringLiteral(u"naïve")}},
        {"\x81\r\n\x8d", {QString(QChar(0x81)), QString(QChar(0x8d))}},
        // Only the file's first bytes can be a byte order mark.
        {"\xef\xbb\xbf"
         "a\n\xef\xbb\xbf"
         "b",
         {"a", QChar(0xFEFF) + QStringLiteral("b")}},
        // In a Windows-1252 file those bytes are letters.
        {"\xef\xbb\xbf\xe9", {QStringLiteral(u"ï»¿é")}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        write(c.bytes);
        EXPECT_EQ(readTextLines(path), c.lines);
        EXPECT_EQ(streamed(), c.lines);
    }
}

TEST_F(TextFileReaders, AgreeAcrossTheStreamingChunks) {
    QByteArray big(65535, 'x');
    big += "\r\nyy\r";
    big += QByteArray(70000, 'z');
    big += "\xc3\xa9";
    write(big);
    const QStringList lines = streamed();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 65535);
    EXPECT_EQ(lines[1], QStringLiteral("yy"));
    EXPECT_EQ(lines[2].size(), 70001);
    EXPECT_EQ(readTextLines(path), lines);
}

TEST_F(TextFileReaders, AMissingFileCannotBeOpened) {
    EXPECT_ANY_THROW(readTextLines(dir.path() + "/missing.txt"));
    EXPECT_ANY_THROW(TextLineReader(dir.path() + "/missing.txt"));
}

} // namespace
} // namespace zot
