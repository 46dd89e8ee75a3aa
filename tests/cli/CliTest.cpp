#include "platform/BmpCodec.h"
#include "platform/DirectoryListing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

struct Result {
    int exitCode = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the tool picks offscreen itself
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZOT_CLI_PATH), args);
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
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("2 of 2 lines\n"))) << r.err.toStdString();
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

TEST(SampleDesigns, EachOpensCleanlyAndRendersAValidLogo) {
    const QString designs = QStringLiteral(ZOT_DESIGNS_DIR);
    QTemporaryDir out;
    int count = 0;
    for (const DirectoryEntry& entry : listDirectory(designs)) {
        if (!entry.isDirectory || !QFile::exists(designs + "/" + entry.name + "/script.zot"))
            continue;
        ++count;
        const QString design = designs + "/" + entry.name;
        const QString file = out.path() + "/" + entry.name + ".bmp";
        const Result r = runCli({"render", design, "--out", file});
        EXPECT_EQ(r.exitCode, 0) << entry.name.toStdString() << ": " << r.err.toStdString();
        const auto logo = readBmp(file);
        ASSERT_TRUE(logo) << entry.name.toStdString();
        const auto background = [&]() -> std::optional<Bitmap> {
            QFile script(design + "/script.zot");
            script.open(QIODevice::ReadOnly);
            for (const QByteArray& line : script.readAll().split('\n')) {
                const QByteArray trimmed = line.split('#').front().trimmed();
                if (trimmed.startsWith("backgroundImage")) {
                    QByteArray name = trimmed.mid(trimmed.indexOf('=') + 1).trimmed();
                    if (name.startsWith('"') || name.startsWith('\''))
                        name = name.mid(1, name.size() - 2);
                    return readBmp(design + "/" + QString::fromUtf8(name).replace('\\', '/'));
                }
            }
            return std::nullopt;
        }();
        ASSERT_TRUE(background) << entry.name.toStdString();
        EXPECT_EQ(logo->height(), background->height()) << entry.name.toStdString();
        EXPECT_GE(logo->width(), background->width() / 2) << entry.name.toStdString();
        EXPECT_EQ(logo->bitsPerPixel(), background->bitsPerPixel());
        EXPECT_TRUE(QFile::exists(design + "/thumbnail.bmp")) << entry.name.toStdString();
    }
    EXPECT_GE(count, 6);
}

} // namespace
} // namespace zot
