// Data files read row by row: encodings, empty rows, numbering and limits.
#include "platform/DataFileReader.h"
#include "platform/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

struct Seen {
    qint64 number;
    qint64 line;
    QStringList columns;
    QStringList values;
    bool empty;
    QString problem;
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os) {
    *os << "row " << s.number << " line " << s.line << " [" << s.columns.join('|').toStdString()
        << "] = [" << s.values.join('|').toStdString() << "]" << (s.empty ? " empty " : " ")
        << s.problem.toStdString();
}

class DataFileReaderTest : public ::testing::Test {
  protected:
    QString write(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("data%1").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static std::vector<Seen> rows(DataFileReader& reader) {
        std::vector<Seen> seen;
        while (auto row = reader.next())
            seen.push_back(
                {row->number, row->line, row->columns, row->values, row->empty, row->problem});
        return seen;
    }
    QTemporaryDir dir;
    int files = 0;
};

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xff);
        bytes.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return bytes;
}

TEST_F(DataFileReaderTest, EveryEncodingGivesTheSameRows) {
    // As spreadsheets export it: a quoted ";", a line break in a field.
    const QString csv = QStringLiteral(
        " Name ,Slogan,file\r\nCaf\u00e9,\"a;b\nc\",x.bmp\r\nZ\u00fcrich,,z.bmp\r\n");
    const QString tsv = QString(csv).replace(u',', u'\t');
    const QStringList columns{"Name", "Slogan", "file"};
    const std::vector<Seen> expected{
        {1, 2, columns, {QStringLiteral("Caf\u00e9"), "a;b\nc", "x.bmp"}, false, {}},
        {2, 4, columns, {QStringLiteral("Z\u00fcrich"), "", "z.bmp"}, false, {}},
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        DataFormat format;
    };
    const std::vector<Case> cases{
        {"UTF-8", csv.toUtf8(), DataFormat::Csv},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBF" + csv.toUtf8(), DataFormat::Csv},
        {"UTF-16 LE", utf16(csv, false), DataFormat::Csv},
        {"UTF-16 BE", utf16(csv, true), DataFormat::Csv},
        {"Windows-1252", csv.toLatin1(), DataFormat::Csv},
        {"UTF-16 LE with tabs", utf16(tsv, false), DataFormat::Tsv},
        {"Windows-1252 with tabs", tsv.toLatin1(), DataFormat::Tsv},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataFileReader reader(write(c.bytes), c.format);
        ASSERT_TRUE(reader.columns());
        EXPECT_EQ(*reader.columns(), columns);
        EXPECT_EQ(reader.rowCount(), 2);
        EXPECT_EQ(rows(reader), expected);
    }
}

TEST_F(DataFileReaderTest, EmptyRowsAtTheEndAreSkippedAndRowsAreNumberedWithTheirLines) {
    DataFileReader reader(write("a,b\n1,2\n,\n\"\",\n3,\"x\ny\"\n4\n,\n\n\"\"\n"), DataFormat::Csv);
    const QStringList ab{"a", "b"};
    EXPECT_EQ(reader.rowCount(), 5);
    EXPECT_EQ(rows(reader), (std::vector<Seen>{
                                {1, 2, ab, {"1", "2"}, false, {}},
                                {2, 3, ab, {"", ""}, true, {}},
                                {3, 4, ab, {"", ""}, true, {}},
                                {4, 5, ab, {"3", "x\ny"}, false, {}},
                                {5, 7, ab, {"4", ""}, false, {}}, // a short row
                            }));

    DataFileReader json(write("\n{\"a\":1}\n  \n{\"b\":\"x\"}\n\n \n"), DataFormat::JsonLines);
    EXPECT_EQ(json.columns(), QStringList{"a"}); // the first row's keys
    EXPECT_EQ(json.rowCount(), 4);
    EXPECT_EQ(rows(json), (std::vector<Seen>{
                              {1, 1, {}, {}, true, {}},
                              {2, 2, {"a"}, {"1"}, false, {}},
                              {3, 3, {}, {}, true, {}},
                              {4, 4, {"b"}, {"x"}, false, {}},
                          }));
}

TEST_F(DataFileReaderTest, AMalformedRowIsTheLastAndNamesItsRowAndLine) {
    struct Case {
        const char* name;
        QByteArray bytes;
        DataFormat format;
        Seen last;
    };
    const QByteArray longLine = "{\"a\":\"" + QByteArray(1024 * 1024, 'x') + "\"}\n";
    const std::vector<Case> cases{
        {"more fields than the header",
         "a,b\n1,2\n\"3\n\",4,5\n6,7\n",
         DataFormat::Csv,
         {2, 3, {}, {}, false, "it has 3 fields, the header 2"}},
        {"an unclosed quote",
         "a\n1\n\"2\n3\n",
         DataFormat::Csv,
         {2, 3, {}, {}, false, "a quoted field is not closed"}},
        {"a field over 1 MiB",
         "a\n1\n\"" + QByteArray(1024 * 1024 + 1, 'x') + "\"\n",
         DataFormat::Csv,
         {2, 3, {}, {}, false, "a field is longer than 1 MiB"}},
        {"a line that is no object",
         "{\"a\":1}\n[1]\n{\"a\":2}\n",
         DataFormat::JsonLines,
         {2, 2, {}, {}, false, "it is not a JSON object"}},
        {"a JSON line over 1 MiB",
         "{\"a\":1}\n" + longLine,
         DataFormat::JsonLines,
         {2, 2, {}, {}, false, "it is longer than 1 MiB"}},
        {"a JSON line that never ends",
         "{\"a\":1}\n" + longLine.chopped(1) + longLine,
         DataFormat::JsonLines,
         {2, 2, {}, {}, false, "it is longer than 1 MiB"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataFileReader reader(write(c.bytes), c.format);
        const std::vector<Seen> seen = rows(reader);
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_TRUE(seen[0].problem.isEmpty());
        EXPECT_EQ(seen[1], c.last);
    }
}

TEST_F(DataFileReaderTest, OnlyTheKeptColumnsAreGivenAndTheHeaderCanFail) {
    DataFileReader reader(write("x, a ,y,b\n1,2,3,4\n5,6\n"), DataFormat::Csv);
    reader.keepColumns({false, true, false, true});
    EXPECT_EQ(rows(reader), (std::vector<Seen>{
                                {1, 2, {"a", "b"}, {"2", "4"}, false, {}},
                                {2, 3, {"a", "b"}, {"6", ""}, false, {}},
                            }));

    DataFileReader broken(write("a,\"b\n1,2\n"), DataFormat::Csv);
    EXPECT_FALSE(broken.columns());
    EXPECT_EQ(broken.headerProblem(), QStringLiteral("a quoted field is not closed"));
    EXPECT_FALSE(broken.next());

    DataFileReader empty(write(""), DataFormat::Csv);
    EXPECT_EQ(empty.columns(), QStringList());
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_FALSE(empty.next());

    EXPECT_THROW(DataFileReader(dir.filePath(QStringLiteral("none")), DataFormat::Csv), Error);
}

} // namespace
} // namespace zot
