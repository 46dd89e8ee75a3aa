#include "script/ScriptReader.h"
#include "platform/Error.h"
#include "script/IntegerConversion.h"
#include "text/TextDecoding.h"

#include <gtest/gtest.h>

namespace zot {
namespace {

struct IntCase {
    const char* text;
    std::optional<qint32> expected;
};

class IntegerConversionTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerConversionTest, ConvertsOrRefuses) {
    const IntCase& c = GetParam();
    EXPECT_EQ(tryStrToInt(QString::fromUtf8(c.text)), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, IntegerConversionTest,
    ::testing::Values(
        IntCase{"$FF", 255}, IntCase{"-7", -7}, IntCase{"+12", 12}, IntCase{"0", 0},
        IntCase{"-0", 0}, IntCase{"007", 7}, IntCase{"x1f", 31}, IntCase{"X1F", 31},
        IntCase{"0x10", 16}, IntCase{"0XaB", 171}, IntCase{"$80000008", qint32(0x80000008)},
        IntCase{"$FFFFFFFF", -1}, IntCase{"$000000000000FF", 255},
        IntCase{"2147483647", 2147483647},
        IntCase{"-2147483648", std::numeric_limits<qint32>::min()},
        IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
        IntCase{"99999999999999999999", std::nullopt}, IntCase{"$100000000", std::nullopt},
        IntCase{"12px", std::nullopt}, IntCase{"", std::nullopt}, IntCase{"+", std::nullopt},
        IntCase{"-", std::nullopt}, IntCase{"$", std::nullopt}, IntCase{"0x", std::nullopt},
        IntCase{"$-1", std::nullopt}, IntCase{"-$1", std::nullopt}, IntCase{" 5", std::nullopt},
        IntCase{"5 ", std::nullopt}, IntCase{"1e3", std::nullopt}, IntCase{"$FG", std::nullopt},
        IntCase{"Center", std::nullopt}, IntCase{"\xd9\xa3", std::nullopt})); // Arabic-Indic digit

TEST(IntegerConversion, FailureCarriesTheValueInTheMessage) {
    try {
        StrToInt(QStringLiteral("12px"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12px' is not a valid integer value"));
        EXPECT_EQ(errorBoxText(e.message()),
                  QStringLiteral("'12px' is not a valid integer value."));
    }
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(errorBoxText(QStringLiteral("Cannot open file zot-about.rtf")),
              QStringLiteral("Cannot open file zot-about.rtf."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Done.")), QStringLiteral("Done."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Picture too large (9 x 9 pixels)")),
              QStringLiteral("Picture too large (9 x 9 pixels)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));
    // A translated message's own full stop or question mark is not doubled.
    EXPECT_EQ(errorBoxText(QStringLiteral("メモリが不足しています。")),
              QStringLiteral("メモリが不足しています。"));
    EXPECT_EQ(errorBoxText(QStringLiteral("هل تريد استبداله؟")),
              QStringLiteral("هل تريد استبداله؟"));
    EXPECT_EQ(errorBoxText(QStringLiteral("内存不足")), QStringLiteral("内存不足."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

struct LineCase {
    const char* line;
    const char* command;
    const char* value;
};

class ReadScriptLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ReadScriptLineTest, SplitsTrimsUnquotesAndCutsComments) {
    const LineCase& c = GetParam();
    ScriptLines lines({QString::fromUtf8(c.line)});
    qint32 n = 0;
    const ScriptLine line = ReadScriptLine(lines, n);
    EXPECT_EQ(line.command, QString::fromUtf8(c.command)) << c.line;
    EXPECT_EQ(line.value, QString::fromUtf8(c.value)) << c.line;
    EXPECT_EQ(line.rawLine, QString::fromUtf8(c.line));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(lines.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadScriptLineTest,
    ::testing::Values(LineCase{"name = \"My Logo\"", "name", "My Logo"},
                      LineCase{"name = 'My  Logo'   ", "name", "My  Logo"},
                      LineCase{"label=\"C#\"", "label", ""},     // comment first, then unquote
                      LineCase{"default='abc", "default", "ab"}, // last char goes regardless
                      LineCase{"default=\"", "default", ""},
                      LineCase{"default=\"a\"b\"", "default", "a\"b"},
                      LineCase{"a=b=c", "a", "b=c"}, LineCase{"name", "name", ""},
                      LineCase{"\t name \t=\t x \t", "name", "x"},
                      LineCase{"\"name\" = 1", "\"name\"", "1"}, // commands are never unquoted
                      LineCase{"name = ' x ' # note", "name", " x "},
                      LineCase{"name = caf\xc3\xa9", "name", "caf\xc3\xa9"},
                      // A character outside the BMP is cut whole, never halved.
                      LineCase{"default=\"ab\xf0\x9f\x98\x80", "default", "ab"},
                      LineCase{"default=\"\xf0\x9f\x98\x80\"", "default", "\xf0\x9f\x98\x80"},
                      LineCase{"default='\xf0\x9f\x98\x80", "default", ""}));

TEST(ReadScriptLine, SkipsBlankCommentAndEqualsLinesCountingThem) {
    ScriptLines lines({QStringLiteral("    "), QStringLiteral("# comment"),
                       QStringLiteral("= value"), QStringLiteral("  bogus = 1 # c"),
                       QStringLiteral("next")});
    qint32 n = 0;
    const ScriptLine line = ReadScriptLine(lines, n);
    EXPECT_EQ(n, 4);
    EXPECT_EQ(line.command, QStringLiteral("bogus"));
    EXPECT_EQ(line.rawLine, QStringLiteral("  bogus = 1 # c"));
    EXPECT_EQ(unknownCommandReport(n, line.rawLine),
              QStringLiteral("Unknown command on line 4 :   bogus = 1 # c"));
    EXPECT_EQ(lines.remaining(), 1);
}

TEST(ReadScriptLine, ReturnsAnEmptyCommandWhenOnlyBlankLinesRemain) {
    ScriptLines lines({QStringLiteral(""), QStringLiteral("#"), QStringLiteral(" ")});
    qint32 n = 10;
    const ScriptLine line = ReadScriptLine(lines, n);
    EXPECT_TRUE(line.command.isEmpty());
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(n, 13);
}

TEST(ReadScriptLine, ReportsKeepPercentSignsOfTheRawLine) {
    EXPECT_EQ(unknownValueReport(7, QStringLiteral("x = %1 %2")),
              QStringLiteral("Unknown value on line 7 : x = %1 %2"));
}

TEST(TextDecoding, Utf8WhenValidElseWindows1252) {
    EXPECT_EQ(decodeText(QByteArray("caf\xc3\xa9")), QStringLiteral(u"café"));
    EXPECT_EQ(decodeText(QByteArray("caf\xe9 \x80\x92")), QStringLiteral(u"café €’"));
    EXPECT_EQ(decodeText(QByteArray("\x81\x8d")), QString(QChar(0x81)) + QChar(0x8d));
}

} // namespace
} // namespace zot
