#include "imaging/BmpCodec.h"
#include "imaging/ImageLoader.h"
#include "platform/DirectoryListing.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace zot {
namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool picks offscreen itself
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZOT_CLI_PATH), args);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

std::optional<Bitmap> readBmp(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeBmp(file.readAll());
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        design = dir.path() + QStringLiteral("/Logo");
        QDir().mkpath(design + "/chars");
        Bitmap background = Bitmap::create(30, 10, 24);
        background.fill(0xffffffff);
        writeBmpFile(background, design + "/bg.bmp");
        Bitmap a = Bitmap::create(5, 10, 24);
        a.fill(0xffff0000);
        writeBmpFile(a, design + "/chars/a.bmp");
        Bitmap c = Bitmap::create(5, 10, 24);
        c.fill(0xff00ff00);
        writeBmpFile(c, design + "/center.bmp");
    }
    void writeScript(const QByteArray& text) {
        QFile file(design + "/script.zot");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

    QTemporaryDir dir;
    QString design;
};

TEST_F(CliTest, CheckIsSilentAndZeroForACleanDesign) {
    writeScript("backgroundImage=bg.bmp\nttfFont\nttfFontEnd\n");
    const Result r = runCli({"check", design});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(r.out, QString());
}

TEST_F(CliTest, CheckPrintsEveryErrorLineInOrder) {
    writeScript("bogus\nbackgroundExtraExpandFrom=Left\nttfFont\n");
    const Result r = runCli({"check", design + "/"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Unknown command on line 1 : bogus\n"
                                    "Unknown value on line 2 : backgroundExtraExpandFrom=Left\n"
                                    "Missing \"ttfFontEnd\" at end of file!\n"));
}

TEST_F(CliTest, ErrorBoxEndsTheCommandWithItsText) {
    writeScript("backgroundExtraMarge=12px\n");
    Result r = runCli({"check", design});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Zotmaker: '12px' is not a valid integer value.\n"));
    r = runCli({"check", dir.path() + "/Missing"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Zotmaker: Cannot open file ") + dir.path() +
                         QStringLiteral("/Missing/script.zot.\n"));
}

TEST_F(CliTest, RenderTypesTheTextsAndWritesTheLogo) {
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=center.bmp\n"
                "backgroundExtraExpandFrom=center\n"
                "imgFont\nname=chars\ndefault=a\nimgFontEnd\n");
    const QString out = dir.path() + "/out.bmp";
    const Result r = runCli({"render", design, "--text", "aaaaaaaaaa", "--out", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const auto logo = readBmp(out);
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->width(), 50);
    EXPECT_EQ(logo->height(), 10);
    EXPECT_EQ(logo->bitsPerPixel(), 24);
    EXPECT_EQ(logo->pixel(49, 5), 0xffff0000u);
}

TEST_F(CliTest, RenderRefusesMoreTextsThanInputsAndWritesNothingAfterAnErrorBox) {
    writeScript("backgroundImage=bg.bmp\nttfFont\nttfFontEnd\n");
    const QString out = dir.path() + "/out.bmp";
    Result r = runCli({"render", design, "--text", "one", "--text", "two", "--out", out});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(QFile::exists(out));
    writeScript("backgroundImage=bg.bmp\nttfFont\nsize=big\nttfFontEnd\n");
    r = runCli({"render", design, "--out", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(CliTest, UsageErrorsExitTwoAndHelpExitsZero) {
    EXPECT_EQ(runCli({}).exitCode, 2);
    EXPECT_EQ(runCli({"paint", design}).exitCode, 2);
    EXPECT_EQ(runCli({"check"}).exitCode, 2);
    EXPECT_EQ(runCli({"check", design, "extra"}).exitCode, 2);
    EXPECT_EQ(runCli({"check", design, "--text", "x"}).exitCode, 2);
    EXPECT_EQ(runCli({"check", design, "--bogus"}).exitCode, 2);
    const Result help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("zotmaker-cli batch")));
}

TEST_F(CliTest, FontsTellsWhichFileDrawsEachLineAndFromWhere) {
    const QString dejavu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    if (!QFile::copy(dejavu + "DejaVuSerif-Bold.ttf", design + "/Serif.ttf"))
        GTEST_SKIP() << "the DejaVu fonts are not installed";
    const QByteArray own = "ttfFont\nlabel=Own\nname=dejavu serif\nttfFontEnd\n";
    const QByteArray system = "ttfFont\nlabel=Sys\nname=DejaVu Sans Mono\nbold\nttfFontEnd\n";
    const QByteArray missing = "ttfFont\nlabel=Gone\nname=No Such Family Zot\nttfFontEnd\n";
    const QString ownLine = "Own\tdejavu serif\t" + design + "/Serif.ttf\tdesign\n";
    const QString systemLine =
        "Sys\tDejaVu Sans Mono\t" + dejavu + "DejaVuSansMono-Bold.ttf\tsystem\n";
    struct Case {
        const char* label;
        QByteArray script;
        int exitCode;
        QRegularExpression out;
        QString err;
    };
    const Case cases[] = {
        {"own and system", "installTempFontResource=Serif.ttf\n" + own + system, 0,
         QRegularExpression("^" + QRegularExpression::escape(ownLine + systemLine) + "$"), ""},
        // The design's messages go to standard error as check shows them.
        {"a stand-in", own + missing + "bogus\ninstallTempFontResource=serif.TTF\n", 1,
         QRegularExpression("^" + QRegularExpression::escape(ownLine) +
                            "Gone\tNo Such Family Zot\t/\\S+\\.ttf\tstand-in\n$"),
         "Unknown command on line 9 : bogus\n"},
        {"no loading", own + "ttfFont\nsize=big\nttfFontEnd\n", 1, QRegularExpression("^$"),
         "Zotmaker: 'big' is not a valid integer value.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        writeScript(c.script);
        const Result r = runCli({"fonts", design});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(c.out.match(r.out).hasMatch()) << r.out.toStdString();
        EXPECT_EQ(r.err, c.err);
    }
}

TEST_F(CliTest, BatchWritesOneLogoPerLineAndReportsProgress) {
    writeScript("backgroundImage=bg.bmp\nimgFont\nname=chars\nimgFontEnd\n");
    QFile batch(dir.path() + "/batch.txt");
    ASSERT_TRUE(batch.open(QIODevice::WriteOnly));
    batch.write("a;one.bmp\naa;two.bmp\n");
    batch.close();
    const QString outDir = dir.path() + "/out";
    QDir().mkpath(outDir);
    Result r = runCli({"batch", design, batch.fileName(), outDir, "--progress"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Not a terminal: plain lines, the last with the total and the rate.
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("2 of 2 lines, \\d+ logos/s\n$")).match(r.err).hasMatch())
        << r.err.toStdString();
    const auto two = readBmp(outDir + "/two.bmp");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->pixel(9, 5), 0xffff0000u);
    EXPECT_TRUE(QFile::exists(outDir + "/one.bmp"));

    ASSERT_TRUE(batch.open(QIODevice::WriteOnly | QIODevice::Truncate));
    batch.write("a;three.bmp\nno separator\n");
    batch.close();
    r = runCli({"batch", design, batch.fileName(), outDir});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Missing ; at line 2 : no separator\n"));
}

// Every file of a folder, by name, with its bytes.
std::map<QString, QByteArray> filesOf(const QString& folder) {
    std::map<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(folder + u'/' + name);
        file.open(QIODevice::ReadOnly);
        files[name] = file.readAll();
    }
    return files;
}

class CliBatchTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=center.bmp\n"
                    "backgroundExtraExpandFrom=center\n"
                    "imgFont\nname=chars\nalign=fill\nwidth=20\nimgFontEnd\n"
                    "ttfFont\nname=DejaVu Sans\nsize=7\nxpos=center\nttfFontEnd\n");
        for (int i = 0; i < 300; ++i)
            lines += QByteArray(size_t(i % 7), 'a') + ';' + QByteArray::number(i % 13) + ";f" +
                     QByteArray::number(i) + ".bmp\n";
    }
    QString writeBatch(const QByteArray& content) {
        const QString path = dir.path() + "/batch.txt";
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    QString writeData(const QString& name, const QByteArray& content) {
        const QString path = dir.path() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }
    QString outFolder(const QString& name) {
        const QString folder = dir.path() + u'/' + name;
        QDir().mkpath(folder);
        return folder;
    }
    QByteArray lines;
};

TEST_F(CliBatchTest, AnyNumberOfJobsWritesTheSameFiles) {
    const QString batch = writeBatch(lines);
    const QString one = outFolder("one");
    const QString three = outFolder("three");
    EXPECT_EQ(runCli({"batch", design, batch, one, "--jobs", "1"}).exitCode, 0);
    EXPECT_EQ(runCli({"batch", design, batch, three, "--jobs", "3"}).exitCode, 0);
    const auto files = filesOf(one);
    EXPECT_EQ(files.size(), 300u);
    EXPECT_TRUE(filesOf(three) == files);
    EXPECT_EQ(runCli({"batch", design, batch, one, "--jobs", "0"}).exitCode, 2);
}

TEST_F(CliBatchTest, JobsStopAtTheSameLineAsOneJob) {
    // Line 200 lacks a ";"; later a line names a folder that is not there.
    QList<QByteArray> rows = lines.split('\n');
    rows[199] = "aaaa";
    const QString shortBatch = writeBatch(rows.join('\n'));
    for (const char* jobs : {"1", "2"}) {
        const QString out = outFolder(QStringLiteral("short%1").arg(jobs));
        const Result r = runCli({"batch", design, shortBatch, out, "--jobs", jobs});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, QStringLiteral("Missing ; at line 200 : aaaa\n"));
        EXPECT_EQ(filesOf(out).size(), 199u) << jobs;
        EXPECT_FALSE(QFile::exists(out + "/f200.bmp"));
    }
    rows = lines.split('\n');
    rows[99] = "a;1;none\\f99.bmp";
    const QString badName = writeBatch(rows.join('\n'));
    for (const char* jobs : {"1", "2"}) {
        const QString out = outFolder(QStringLiteral("bad%1").arg(jobs));
        const Result r = runCli({"batch", design, badName, out, "--jobs", jobs});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Zotmaker: Cannot create file " + out + "/none/f99.bmp.\n");
        EXPECT_EQ(filesOf(out).size(), 99u) << jobs;
    }
}

TEST_F(CliBatchTest, ANameClimbingOutOfTheOutputFolderIsRefused) {
    const QString out = outFolder("inner/out");
    const QString batch = writeBatch("a;1;first.bmp\na;2;..\\escape.bmp\na;3;last.bmp\n");
    for (const char* jobs : {"1", "2"}) {
        const Result r = runCli({"batch", design, batch, out, "--jobs", jobs});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "Zotmaker: Cannot create file " + out + "/../escape.bmp.\n");
        EXPECT_TRUE(QFile::exists(out + "/first.bmp"));
        EXPECT_FALSE(QFile::exists(out + "/last.bmp"));
        EXPECT_FALSE(QFile::exists(dir.path() + "/inner/escape.bmp"));
        QFile::remove(out + "/first.bmp");
    }
}

TEST_F(CliBatchTest, StandardInputIsABatchFile) {
    const QString fromFile = outFolder("file");
    const QString fromPipe = outFolder("pipe");
    EXPECT_EQ(runCli({"batch", design, writeBatch(lines), fromFile}).exitCode, 0);
    const Result r = runCli({"batch", design, "-", fromPipe, "--progress"}, lines);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(filesOf(fromPipe) == filesOf(fromFile));
    // The count of a pipe is not known ahead.
    EXPECT_TRUE(r.err.contains(QStringLiteral("300 lines, "))) << r.err.toStdString();
}

TEST_F(CliBatchTest, PngHoldsTheBmpPixels) {
    const QString bmp = outFolder("bmp");
    const QString png = outFolder("png");
    const QString twoJobs = outFolder("png2");
    const QString batch = writeBatch("b;y;other.bmp\naaa;x;logo.bmp\nc;z;third.bmp\n");
    EXPECT_EQ(runCli({"batch", design, batch, bmp}).exitCode, 0);
    // One job deflates on the writing thread, several on their own.
    EXPECT_EQ(runCli({"batch", design, batch, png, "--format", "png", "--jobs", "1"}).exitCode, 0);
    EXPECT_EQ(runCli({"batch", design, batch, twoJobs, "--format", "png", "--jobs", "2"}).exitCode,
              0);
    EXPECT_EQ(filesOf(png).size(), 3u);
    EXPECT_TRUE(filesOf(twoJobs) == filesOf(png));
    EXPECT_EQ(runCli({"render", design, "--text", "aa", "--out", png + "/r.png", "--format", "png"})
                  .exitCode,
              0);
    EXPECT_EQ(runCli({"render", design, "--text", "aa", "--out", bmp + "/r.bmp"}).exitCode, 0);
    for (const auto& [b, p] : {std::pair{"/logo.bmp", "/logo.bmp"}, {"/r.bmp", "/r.png"}}) {
        const auto fromBmp = readBmp(bmp + b);
        ASSERT_TRUE(fromBmp);
        QImage fromPng;
        ASSERT_TRUE(fromPng.load(png + p, "png")) << p;
        ASSERT_EQ(fromPng.size(), QSize(fromBmp->width(), fromBmp->height()));
        for (int y = 0; y < fromPng.height(); ++y)
            for (int x = 0; x < fromPng.width(); ++x)
                ASSERT_EQ(fromPng.pixel(x, y) | 0xff000000u, fromBmp->pixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(runCli({"batch", design, batch, png, "--format", "gif"}).exitCode, 2);
}

// The fixture's batch lines as a CSV file, a JSON Lines file (the second
// field a number) and a TSV file fed through standard input.
TEST_F(CliBatchTest, DataFilesWriteTheFilesOfTheEquivalentBatchLines) {
    QByteArray csv = "#1,#2,file\r\n";
    QByteArray jsonl;
    for (const QByteArray& line : lines.split('\n')) {
        const QList<QByteArray> f = line.split(';');
        if (f.size() != 3)
            continue;
        csv += f[0] + ',' + f[1] + ',' + f[2] + "\r\n";
        jsonl += "{\"file\":\"" + f[2] + "\",\"#2\":" + f[1] + ",\"#1\":\"" + f[0] + "\"}\n";
    }
    const QString csvFile = writeData("data.csv", csv);
    const QString jsonFile = writeData("data.jsonl", jsonl);
    const QString reference = outFolder("lines");
    ASSERT_EQ(runCli({"batch", design, writeBatch(lines), reference, "--jobs", "1"}).exitCode, 0);
    const auto files = filesOf(reference);
    ASSERT_EQ(files.size(), 300u);
    struct Run {
        const char* name;
        QStringList args;
        QByteArray input;
    };
    const std::vector<Run> runs{
        {"csv, one job", {csvFile, "--input", "csv", "--jobs", "1"}, {}},
        {"csv, two jobs", {csvFile, "--input", "csv", "--jobs", "2"}, {}},
        {"jsonl, two jobs", {jsonFile, "--input", "jsonl", "--jobs", "2"}, {}},
        {"tsv from a pipe", {"-", "--input", "tsv"}, QByteArray(csv).replace(',', '\t')},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.name);
        const QString out = outFolder(QString::fromUtf8(run.name));
        const Result r = runCli(QStringList{"batch", design} + run.args.mid(0, 1) +
                                    QStringList{out} + run.args.mid(1),
                                run.input);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(filesOf(out) == files);
    }
    // Two parts write the files of one run between them.
    const QString parts = outFolder("parts");
    for (const char* part : {"1/2", "2/2"})
        EXPECT_EQ(
            runCli({"batch", design, csvFile, parts, "--input", "csv", "--shard", part}).exitCode,
            0);
    EXPECT_TRUE(filesOf(parts) == files);
}

TEST_F(CliTest, ASpreadsheetExportRunsAsAUserRunsIt) {
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=center.bmp\n"
                "backgroundExtraExpandFrom=center\n"
                "ttfFont\nname=DejaVu Sans\nsize=6\nlabel=Name\ndefault=Def\nttfFontEnd\n"
                "ttfFont\nname=DejaVu Sans\nsize=6\nypos=4\nlabel=Slogan\nttfFontEnd\n");
    // Saved as "CSV UTF-8": a byte order mark, CRLF, a quoted ";" and a line
    // break in a field; and as "Unicode text": UTF-16 with tabs.
    const QByteArray csv = "\xEF\xBB\xBFName,Slogan,file\r\n"
                           "\"ACME; Inc.\",\"Tools\nand more\",acme.bmp\r\n"
                           "Z\xC3\xBCrich,,zurich.bmp\r\n,,\r\n";
    QByteArray tsv = "\xFF\xFE";
    for (QChar c : QStringLiteral("slogan\tfile\r\n\"Caf\u00e9\tBar\"\tcafe.bmp\r\n"))
        tsv.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
    QFile file(dir.path() + "/products.csv");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(csv);
    file.close();
    QFile unicode(dir.path() + "/products.txt");
    ASSERT_TRUE(unicode.open(QIODevice::WriteOnly));
    unicode.write(tsv);
    unicode.close();
    const QString out = dir.path() + "/out";
    QDir().mkpath(out);
    Result r = runCli({"batch", design, file.fileName(), out, "--input", "csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = runCli({"batch", design, unicode.fileName(), out, "--input", "tsv"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Each logo is the one typing its texts gives; the empty row at the end
    // wrote nothing.
    struct Logo {
        const char* file;
        QStringList texts;
    };
    const std::vector<Logo> logos{
        {"acme.bmp", {"ACME; Inc.", "Tools\nand more"}},
        {"zurich.bmp", {QStringLiteral("Z\u00fcrich"), ""}},
        {"cafe.bmp", {"Def", QStringLiteral("Caf\u00e9\tBar")}},
    };
    for (const Logo& logo : logos) {
        SCOPED_TRACE(logo.file);
        QStringList args{"render", design, "--out", out + "/typed.bmp"};
        for (const QString& text : logo.texts)
            args << "--text" << text;
        ASSERT_EQ(runCli(args).exitCode, 0);
        const auto typed = filesOf(out)["typed.bmp"];
        EXPECT_EQ(filesOf(out)[logo.file], typed);
    }
    const auto files = filesOf(out);
    EXPECT_EQ(files.size(), 4u);
    EXPECT_NE(files.at("acme.bmp"), files.at("zurich.bmp"));
    EXPECT_NE(files.at("zurich.bmp"), files.at("cafe.bmp"));
}

TEST_F(CliBatchTest, DataErrorsStopTheBatchAsAMissingSemicolonDoes) {
    QByteArray csv = "#1,#2,file\n";
    for (int i = 1; i <= 100; ++i)
        csv += "a," + QByteArray::number(i) + ",f" + QByteArray::number(i) + ".bmp\n";
    const QString bad = writeData("bad.csv", csv + "\"a\"x,1,g.bmp\nlast,2,h.bmp\n");
    for (const char* jobs : {"1", "2"}) {
        const QString out = outFolder(QStringLiteral("bad%1").arg(jobs));
        const Result r = runCli({"batch", design, bad, out, "--input", "csv", "--jobs", jobs});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err,
                  bad + " row 101 (line 102): a quoted field goes on after its closing quote\n");
        EXPECT_EQ(filesOf(out).size(), 100u);
    }
    // A header that does not fit the design stops before anything is written.
    const QString unknown = writeData("unknown.csv", "#1,Price,file\na,1,x.bmp\n");
    const QString out = outFolder("unknown");
    Result r = runCli({"batch", design, unknown, out, "--input", "csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, unknown + " header row: the column \"Price\" names no text box (the design "
                               "has #1, #2)\n");
    EXPECT_TRUE(filesOf(out).empty());
    r = runCli({"batch", design, unknown, out, "--input", "csv", "--ignore-unknown"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(filesOf(out).size(), 1u);
    // The names come from exactly one place, and --name from known fields.
    const QString noFile = writeData("nofile.csv", "#1\na\n");
    const std::vector<QStringList> usage{
        {noFile, "--input", "csv"},
        {unknown, "--input", "csv", "--name", "{row}.bmp"},
        {noFile, "--input", "csv", "--name", "{Name}.bmp"},
        {noFile, "--input", "xml"},
        {noFile, "--name", "{row}.bmp"},
    };
    for (const QStringList& args : usage) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        r = runCli(QStringList{"batch", design} + args.mid(0, 1) + QStringList{out} + args.mid(1));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("zotmaker-cli: "))) << r.err.toStdString();
    }
    EXPECT_EQ(filesOf(out).size(), 1u);
}

TEST_F(CliBatchTest, ABackgroundWithAlphaGivesPngFilesWithAlphaOnAnyNumberOfJobs) {
    QImage bg(30, 10, QImage::Format_ARGB32);
    bg.fill(0x00ffffffu);
    bg.setPixel(29, 9, 0xff102030u);
    ASSERT_TRUE(bg.save(design + "/bg.png", "png"));
    QImage center(5, 10, QImage::Format_ARGB32);
    center.fill(0x00000000u);
    ASSERT_TRUE(center.save(design + "/center.png", "png"));
    writeScript("backgroundImage=bg.png\nbackgroundExtraCenter=center.png\n"
                "backgroundExtraExpandFrom=center\n"
                "imgFont\nname=chars\nalign=fill\nwidth=20\nimgFontEnd\n"
                "ttfFont\nname=DejaVu Sans\nsize=7\nxpos=center\nttfFontEnd\n");
    QByteArray pngLines = lines;
    pngLines.replace(".bmp", ".png");
    const QString batch = writeBatch(pngLines);
    const QString one = outFolder("alpha1");
    const QString two = outFolder("alpha2");
    EXPECT_EQ(runCli({"batch", design, batch, one, "--jobs", "1", "--format", "png"}).exitCode, 0);
    EXPECT_EQ(runCli({"batch", design, batch, two, "--jobs", "2", "--format", "png"}).exitCode, 0);
    const auto files = filesOf(one);
    ASSERT_EQ(files.size(), 300u);
    EXPECT_TRUE(filesOf(two) == files);
    // The clear centre piece is copied over the background, clear; the text
    // is drawn over it.
    const QImage first(one + "/f0.png", "png");
    ASSERT_TRUE(first.hasAlphaChannel());
    int clear = 0, drawn = 0;
    for (int y = 0; y < first.height(); ++y)
        for (int x = 0; x < first.width(); ++x)
            (qAlpha(first.pixel(x, y)) ? drawn : clear)++;
    EXPECT_GT(clear, 50);
    EXPECT_GT(drawn, 3);
    const QString rendered = dir.path() + "/r.png";
    EXPECT_EQ(runCli({"render", design, "--text", "", "--text", "0", "--out", rendered, "--format",
                      "png"})
                  .exitCode,
              0);
    EXPECT_EQ(QImage(rendered, "png"), first);
}

// The value of a top-level command of a sample script, unquoted; empty when
// the script has none.
QString scriptValue(const QString& design, const QByteArray& command) {
    QFile script(design + "/script.zot");
    script.open(QIODevice::ReadOnly);
    QString value;
    for (const QByteArray& line : script.readAll().split('\n')) {
        const QByteArray trimmed = line.split('#').front().trimmed();
        const qsizetype eq = trimmed.indexOf('=');
        if (eq < 0 || trimmed.left(eq).trimmed() != command)
            continue;
        QByteArray v = trimmed.mid(eq + 1).trimmed();
        if (v.startsWith('"') || v.startsWith('\''))
            v = v.mid(1, v.size() - 2);
        value = QString::fromUtf8(v).replace('\\', '/');
    }
    return value;
}

int sectionCount(const QString& design, const QByteArray& keyword) {
    QFile script(design + "/script.zot");
    script.open(QIODevice::ReadOnly);
    int count = 0;
    for (const QByteArray& line : script.readAll().split('\n'))
        count += line.split('#').front().trimmed() == keyword ? 1 : 0;
    return count;
}

TEST(SampleDesigns, EachOpensSilentlyAndRendersAValidLogo) {
    const QString designs = QStringLiteral(ZOT_DESIGNS_DIR);
    QTemporaryDir out;
    int count = 0;
    std::map<QString, int> modes;
    int withImageFont = 0, withTrueType = 0;
    for (const DirectoryEntry& entry : listDirectory(designs)) {
        if (!entry.isDirectory || !QFile::exists(designs + "/" + entry.name + "/script.zot"))
            continue;
        ++count;
        const std::string name = entry.name.toStdString();
        const QString design = designs + "/" + entry.name;
        const Result check = runCli({"check", design});
        EXPECT_EQ(check.exitCode, 0) << name;
        EXPECT_EQ(check.err, QString()) << name;
        const QString file = out.path() + "/" + entry.name + ".bmp";
        const Result r = runCli({"render", design, "--out", file});
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.err.toStdString();
        const auto logo = readBmp(file);
        ASSERT_TRUE(logo) << name;
        // Backgrounds may be BMP or PNG: read as the engine reads them.
        const Bitmap background =
            loadPicture(design + "/" + scriptValue(design, "backgroundImage"));
        ASSERT_FALSE(background.isEmpty()) << name;
        EXPECT_EQ(logo->height(), background.height()) << name;
        EXPECT_GE(logo->width(), background.width()) << name;
        EXPECT_EQ(logo->bitsPerPixel(), background.bitsPerPixel()) << name;
        const Bitmap thumbnail = loadPicture(design + "/thumbnail.bmp");
        EXPECT_FALSE(thumbnail.isEmpty()) << name;
        // The strip's buttons are 100 x 28; a thumbnail wider or higher is cut off.
        EXPECT_LE(thumbnail.width(), 96) << name;
        EXPECT_LE(thumbnail.height(), 24) << name;
        const QString mode = scriptValue(design, "backgroundExtraExpandFrom");
        ++modes[mode.isEmpty() ? QStringLiteral("none") : mode];
        withImageFont += sectionCount(design, "imgFont") > 0 ? 1 : 0;
        withTrueType += sectionCount(design, "ttfFont") > 0 ? 1 : 0;
    }
    // The shelf: every expand mode and both font kinds shown at least twice,
    // and room left in the strip of 25 for ten designs of the user's own.
    EXPECT_GE(count, 14);
    EXPECT_LE(count, 15);
    for (const char* mode : {"center", "leftright", "left", "right", "character"})
        EXPECT_GE(modes[QString::fromLatin1(mode)], 2) << mode;
    EXPECT_GE(withImageFont, 2);
    EXPECT_GE(withTrueType, 2);
}

} // namespace
} // namespace zot
