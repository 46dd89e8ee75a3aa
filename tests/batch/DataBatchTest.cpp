// The columns of a data file against a design's label inputs, and the rows
// as the batch lines they stand for.
#include "batch/DataBatch.h"
#include "support/DesignFixture.h"

#include <QTemporaryDir>

namespace zot::test {
namespace {

TEST(ColumnTarget, CaptionsExactThenUniqueIgnoringCaseOrByNumber) {
    using Kind = ColumnTarget::Kind;
    const QStringList captions{"Name", "name", "Slogan", "", "file", " Price "};
    struct Case {
        const char* column;
        Kind kind;
        int input;
        int other;
    };
    const std::vector<Case> cases{
        {"Name", Kind::Input, 1, 0},      {"name", Kind::Input, 2, 0},
        {"NAME", Kind::Ambiguous, 1, 2},  {"slogan", Kind::Input, 3, 0},
        {"Price", Kind::Input, 6, 0},     {"#4", Kind::Input, 4, 0},
        {"#05", Kind::Input, 5, 0},       {"#0", Kind::Unknown, 0, 0},
        {"#7", Kind::Unknown, 0, 0},      {"#+1", Kind::Unknown, 0, 0},
        {"#", Kind::Unknown, 0, 0},       {"file", Kind::FileName, 0, 0},
        {"File", Kind::Unknown, 0, 0},    {"", Kind::Unknown, 0, 0},
        {"Slogans", Kind::Unknown, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const ColumnTarget target = columnTarget(QString::fromUtf8(c.column), captions);
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_EQ(target.input, c.input);
        EXPECT_EQ(target.other, c.other);
    }
}

TEST(NamePattern, FieldsRowNumbersAndBracesOrAUsageError) {
    const QStringList captions{"Name", "name", "Slogan"};
    const QStringList texts{"Acme", "acme", "Tools"};
    struct Case {
        const char* pattern;
        const char* name; // for row 7, or the start of the usage error
    };
    const std::vector<Case> cases{
        {"{Name}-{slogan}.png", "Acme-Tools.png"},
        {"{ #2 }/{row}.bmp", "acme/7.bmp"},
        {"{row:3}_{{x}}_}.bmp", "007_{x}_}.bmp"},
        {"{row:1}", "7"},
        {"plain.bmp", "plain.bmp"},
        {"{NAME}", "--name: {NAME} fits text boxes #1 and #2: write {#1} or {#2}"},
        {"{Price}", "--name: {Price} names no text box (the design has #1 \"Name\", "},
        {"{file}", "--name: {file} names no text box"},
        {"{#4}", "--name: {#4} names no text box"},
        {"{row:0}", "--name: {row:N} takes a width from 1 to 20"},
        {"{row:x}", "--name: {row:N} takes a width from 1 to 20"},
        {"a{Name", "--name: a \"{\" is not closed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        const auto parsed = NamePattern::parse(QString::fromUtf8(c.pattern), captions);
        if (const auto* pattern = std::get_if<NamePattern>(&parsed))
            EXPECT_EQ(pattern->expand(texts, 7), QString::fromUtf8(c.name));
        else
            EXPECT_TRUE(std::get<QString>(parsed).startsWith(QString::fromUtf8(c.name)))
                << std::get<QString>(parsed).toStdString();
    }
}

// A design of three image-font lines: "Name" (default "a"), "Slogan"
// (default "z") and one without a caption (default "t").
class DataBatchTest : public DesignFixture {
  protected:
    void SetUp() override {
        DesignFixture::SetUp();
        writeSolid("bg.bmp", 40, 30, kWhite);
        for (const char* c : {"a", "z", "t"})
            writeSolid(QStringLiteral("chars/%1.bmp").arg(c), 4, 10, kRed);
        writeScript("backgroundImage=bg.bmp\n"
                    "imgFont\nname=chars\nlabel=Name\ndefault=a\nimgFontEnd\n"
                    "imgFont\nname=chars\nlabel=Slogan\nypos=10\ndefault=z\nimgFontEnd\n"
                    "imgFont\nname=chars\nypos=20\ndefault=t\nimgFontEnd\n");
        ASSERT_FALSE(open());
        ASSERT_EQ(engine->LabelCount(), 3);
    }
    // Every line the rows give, as "f1;f2;f3;name" or "! report".
    QStringList lines(const QByteArray& data, DataFormat format, DataBatchOptions options = {}) {
        const QString path = dir.path() + QStringLiteral("/data");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(data);
        file.close();
        DataFileReader reader(path, format);
        DataBatch batch(reader, *engine, std::move(options));
        QStringList seen;
        while (const auto line = batch.next()) {
            if (!line->complete) {
                seen << QStringLiteral("! ") +
                            QString(line->report).replace(path, QStringLiteral("DATA"));
                continue;
            }
            seen << line->fields.join(u';') + u';' + line->outputName;
        }
        return seen;
    }
    static NamePattern pattern(const char* text) {
        return std::get<NamePattern>(
            NamePattern::parse(QString::fromUtf8(text), {"Name", "Slogan", ""}));
    }
};

TEST_F(DataBatchTest, RowsBecomeTheLinesOfTheEquivalentBatchFile) {
    struct Case {
        const char* name;
        QByteArray data;
        DataFormat format;
        DataBatchOptions options;
        QStringList lines;
    };
    DataBatchOptions ignoring;
    ignoring.ignoreUnknown = true;
    DataBatchOptions named;
    named.name = pattern("{row:2}-{Name}.bmp");
    const std::vector<Case> cases{
        {"columns in any order; the others keep their default",
         "file,slogan,NAME\nx.bmp,zz,aa\n",
         DataFormat::Csv,
         {},
         {"aa;zz;t;x.bmp"}},
        {"by number, a file column of ; and empty fields",
         "#3,file\n;,\"a;b\"\n,\nx,y\n",
         DataFormat::Csv,
         {},
         {"a;z;;;a;b", "a;z;;", "a;z;x;y"}},
        {"--name instead of a file column; an empty row before the end",
         "Name\naz\n\nq\n\n",
         DataFormat::Csv,
         named,
         {"az;z;t;01-az.bmp", ";z;t;02-.bmp", "q;z;t;03-q.bmp"}},
        {"an unknown column",
         "Name,Price,file\n",
         DataFormat::Csv,
         {},
         {"! DATA header row: the column \"Price\" names no text box (the design has "
          "#1 \"Name\", #2 \"Slogan\", #3)"}},
        {"an unknown column passed over",
         "Name,Price,file\nt,9,x\n",
         DataFormat::Csv,
         ignoring,
         {"t;z;t;x"}},
        {"a name given twice",
         "Name,file,Name\n",
         DataFormat::Csv,
         ignoring,
         {"! DATA header row: the column \"Name\" is given twice"}},
        {"two columns for one input",
         "Name,#1,file\n",
         DataFormat::Csv,
         {},
         {"! DATA header row: the columns \"Name\" and \"#1\" both fill text box #1"}},
        {"no file column",
         "Name\na\n",
         DataFormat::Csv,
         {},
         {"! DATA header row: there is no column \"file\" for the names"}},
        {"a malformed header",
         "Name,\"file\n",
         DataFormat::Csv,
         {},
         {"! DATA header row: a quoted field is not closed"}},
        {"a malformed row after good ones",
         "Name,file\nt,1\n\"a\"b,2\nz,3\n",
         DataFormat::Csv,
         {},
         {"t;z;t;1", "! DATA row 2 (line 3): a quoted field goes on after its closing quote"}},
        {"JSON Lines: numbers as written, missing keys keep the default",
         "{\"Slogan\":1.50,\"file\":\"p.bmp\"}\n{\"#3\":7,\"file\":\"q\"}\n",
         DataFormat::JsonLines,
         {},
         {"a;1.50;t;p.bmp", "a;z;7;q"}},
        {"JSON Lines: each row's keys are checked",
         "{\"Name\":\"t\",\"file\":\"1\"}\n{\"Nmae\":\"t\",\"file\":\"2\"}\n",
         DataFormat::JsonLines,
         {},
         {"t;z;t;1", "! DATA row 2 (line 2): the column \"Nmae\" names no text box (the design "
                     "has #1 \"Name\", #2 \"Slogan\", #3)"}},
        {"JSON Lines: a row without a name",
         "{\"Name\":\"t\"}\n",
         DataFormat::JsonLines,
         {},
         {"! DATA row 1 (line 1): there is no column \"file\" for the names"}},
        {"JSON Lines: a name from both",
         "{\"file\":\"t\"}\n",
         DataFormat::JsonLines,
         named,
         {"! DATA row 1 (line 1): the column \"file\" and --name both give the names"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lines(c.data, c.format, c.options), c.lines);
    }
}

} // namespace
} // namespace zot::test
