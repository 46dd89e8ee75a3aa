// Rows of CSV and TSV, lines of JSON Lines and UTF-16 text, as data files
// for a batch bring them.
#include "text/DelimitedText.h"
#include "text/JsonLine.h"
#include "text/TextDecoding.h"

#include <gtest/gtest.h>
#include <vector>

namespace zot {
namespace {

using Problem = DelimitedSplitter::Problem;

struct SplitRow {
    std::vector<QByteArray> fields;
    qint64 line;
    bool empty;
    Problem problem;
    bool operator==(const SplitRow&) const = default;
};

// Every row of bytes fed in pieces of pieceSize (0: at once).
std::vector<SplitRow> split(const QByteArray& bytes, char delimiter, qsizetype pieceSize,
                            const std::optional<std::vector<bool>>& kept = std::nullopt) {
    DelimitedSplitter splitter(delimiter);
    if (kept)
        splitter.keepOnly(*kept);
    std::vector<SplitRow> rows;
    qsizetype at = 0;
    for (;;) {
        while (auto row = splitter.takeRow())
            rows.push_back({row->fields, row->line, row->empty, row->problem});
        if (splitter.finished())
            return rows;
        const qsizetype n = pieceSize > 0 ? pieceSize : bytes.size();
        if (at >= bytes.size())
            splitter.finish();
        else
            splitter.feed(QByteArrayView(bytes).sliced(at, std::min(n, bytes.size() - at)));
        at += n;
    }
}

SplitRow row(std::vector<QByteArray> fields, qint64 line, Problem problem = Problem::None) {
    bool empty = true;
    for (const QByteArray& f : fields)
        empty = empty && f.isEmpty();
    return {std::move(fields), line, empty, problem};
}

TEST(DelimitedSplitter, ReadsRfc4180InPiecesOfAnySize) {
    struct Case {
        const char* name;
        QByteArray bytes;
        char delimiter;
        std::vector<SplitRow> rows;
    };
    const std::vector<Case> cases{
        {"plain, LF, final break adds no row",
         "a,b\nc,d\n",
         ',',
         {row({"a", "b"}, 1), row({"c", "d"}, 2)}},
        {"CRLF and no final break", "a,b\r\nc,d", ',', {row({"a", "b"}, 1), row({"c", "d"}, 2)}},
        {"CR alone ends a row too", "a\rb\r", ',', {row({"a"}, 1), row({"b"}, 2)}},
        {"quotes hold the delimiter, doubled quotes and line breaks",
         "\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\nnext,\"\"\n",
         ',',
         {row({"x,y", "say \"hi\"", "two\r\nlines"}, 1), row({"next", ""}, 3)}},
        {"spaces are kept, a quote inside an unquoted field too",
         " a , b\"c \n",
         ',',
         {row({" a ", " b\"c "}, 1)}},
        {"empty lines and empty fields are rows",
         "\n,\n\"\"\n",
         ',',
         {row({""}, 1), row({"", ""}, 2), row({""}, 3)}},
        {"a trailing delimiter adds an empty field", "a,\n", ',', {row({"a", ""}, 1)}},
        {"tabs for TSV, commas are text", "a,b\t\"c\td\"\n", '\t', {row({"a,b", "c\td"}, 1)}},
        {"an unclosed quote names the row's first line",
         "a\n\"b\nc\nd",
         ',',
         {row({"a"}, 1), {{}, 2, false, Problem::UnclosedQuote}}},
        {"text after a closing quote",
         "ok\n\"ab\"c,d\nnever\n",
         ',',
         {row({"ok"}, 1), {{}, 2, false, Problem::TextAfterQuote}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (qsizetype piece : {0, 1, 2, 3, 5}) {
            SCOPED_TRACE(piece);
            EXPECT_EQ(split(c.bytes, c.delimiter, piece), c.rows);
        }
    }
}

TEST(DelimitedSplitter, LimitsEndTheReadingAtTheRowWithoutHoldingIt) {
    const qsizetype mib = 1024 * 1024;
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<std::vector<bool>> kept;
        Problem problem;
    };
    const std::vector<Case> cases{
        {"a field of 1 MiB and one byte",
         "\"" + QByteArray(mib + 1, 'x') + "\"\n",
         {},
         Problem::FieldTooLong},
        {"a field not kept is still limited", "a," + QByteArray(mib + 1, 'x') + "\n",
         std::vector<bool>{true}, Problem::FieldTooLong},
        {"10,001 fields", QByteArray(10000, ',') + "\n", {}, Problem::TooManyFields},
        {"kept fields over 1 MiB together",
         QByteArray(mib / 2, 'x') + ',' + QByteArray(mib / 2, 'y') + ",z\n",
         {},
         Problem::RowTooLong},
        {"a file of quotes only", QByteArray(3 * mib, '"'), {}, Problem::FieldTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = "h\n" + c.bytes + "after\n";
        const std::vector<SplitRow> rows = split(bytes, ',', 64 * 1024, c.kept);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[1].problem, c.problem);
        EXPECT_EQ(rows[1].line, 2);
    }
    // 10,000 fields are allowed, and fields not kept are not held.
    const std::vector<SplitRow> wide =
        split("a" + QByteArray(9999, ',') + "b\n", ',', 7, std::vector<bool>{true, false});
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0].problem, Problem::None);
    EXPECT_EQ(wide[0].fields, (std::vector<QByteArray>{"a", QByteArray()}));
    // The splitter stops taking bytes once a row is refused: a longer
    // stream is never read to its end.
    DelimitedSplitter splitter(',');
    splitter.feed("\"");
    int fed = 0;
    std::optional<DelimitedSplitter::Row> refused;
    while (!(refused = splitter.takeRow()) && fed < 1000) {
        splitter.feed(QByteArray(64 * 1024, 'x'));
        ++fed;
    }
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->problem, Problem::FieldTooLong);
    EXPECT_LE(fed, 17);
    EXPECT_FALSE(splitter.takeRow());
}

TEST(JsonLine, KeepsKeyOrderAndNumbersAsWritten) {
    struct Case {
        const char* line;
        QStringList keys;
        QStringList values;
        const char* problem; // the start of it
    };
    const std::vector<Case> cases{
        {R"({"b":"x","a":1.50,"c":-0,"d":1e3,"e":12345678901234567890})",
         {"b", "a", "c", "d", "e"},
         {"x", "1.50", "-0", "1e3", "12345678901234567890"},
         ""},
        {R"( { "t\u00e9xt" : "caf\u00e9 \"q\"\n" , "k\"ey":2 } )",
         {QStringLiteral("t\u00e9xt"), "k\"ey"},
         {QStringLiteral("caf\u00e9 \"q\"\n"), "2"},
         ""},
        {R"({"n":{"x":[1,"]"]},"m":1})", {}, {}, "the value of \"n\" is neither"},
        {R"({"a":true})", {}, {}, "the value of \"a\" is neither"},
        {R"({"a":null})", {}, {}, "the value of \"a\" is neither"},
        {R"({"a":1,"a":2})", {}, {}, "the key \"a\" is given twice"},
        {R"(["a"])", {}, {}, "it is not a JSON object"},
        {R"({"a":1)", {}, {}, "it is not valid JSON: "},
        {R"({"a":1} x)", {}, {}, "it is not valid JSON: "},
        {"{}", {}, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const JsonLine line = readJsonLine(c.line);
        if (*c.problem != 0) {
            EXPECT_TRUE(line.problem.startsWith(QString::fromUtf8(c.problem)))
                << line.problem.toStdString();
            continue;
        }
        EXPECT_EQ(line.problem, QString());
        EXPECT_EQ(line.keys, c.keys);
        EXPECT_EQ(line.values, c.values);
    }
}

TEST(Utf16ToUtf8, ReadsBothOrdersInPiecesCutAnywhere) {
    // "aé€😀" and an unpaired surrogate, which becomes "?".
    const std::u16string text = u"a\u00e9\u20ac\U0001F600\xD800z";
    const QByteArray expected = QStringLiteral("a\u00e9\u20ac\U0001F600?z").toUtf8();
    for (bool bigEndian : {false, true}) {
        QByteArray bytes;
        for (char16_t unit : text) {
            const char hi = char(unit >> 8), lo = char(unit & 0xff);
            bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
        }
        const QByteArray marked = (bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE"));
        EXPECT_EQ(byteOrderMarkOf(marked + bytes),
                  bigEndian ? ByteOrderMark::Utf16BE : ByteOrderMark::Utf16LE);
        for (qsizetype piece = 1; piece <= 5; ++piece) {
            SCOPED_TRACE(piece);
            Utf16ToUtf8 decoder(bigEndian);
            QByteArray utf8;
            for (qsizetype at = 0; at < bytes.size(); at += piece)
                utf8 += decoder.feed(
                    QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
            EXPECT_EQ(utf8, expected);
            EXPECT_TRUE(isValidUtf8(utf8));
        }
    }
    EXPECT_EQ(byteOrderMarkOf("\xEF\xBB\xBFx"), ByteOrderMark::Utf8);
    EXPECT_EQ(byteOrderMarkOf("x\xFF\xFE"), ByteOrderMark::None);
}

} // namespace
} // namespace zot
