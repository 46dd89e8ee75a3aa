// zotmaker-cli install, run as a process with a designs folder of its own.
#include "support/ArchiveMaker.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot::test {
namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

class InstallCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(home);
        QDir().mkpath(sources);
    }

    Outcome run(const QStringList& args, const QMap<QString, QString>& extraEnv = {},
                bool withDataHome = true) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("HOME"), home);
        if (withDataHome)
            env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        else
            env.remove(QStringLiteral("XDG_DATA_HOME"));
        for (auto it = extraEnv.begin(); it != extraEnv.end(); ++it)
            env.insert(it.key(), it.value());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(ZOT_CLI_PATH), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    QString archive(const QString& name, const QByteArray& script) {
        const QString path = sources + u'/' + name;
        writeArchive(path, Kind::Zip, {file("Mine/script.zot", script), file("Mine/a.bmp")});
        return path;
    }

    QStringList installed() const {
        return QDir(designs).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    const QString home = dir.path() + QStringLiteral("/home");
    const QString dataHome = dir.path() + QStringLiteral("/data");
    const QString designs = dataHome + QStringLiteral("/zotmaker/designs");
    const QString sources = dir.path() + QStringLiteral("/src");
};

TEST_F(InstallCommand, PrintsTheFolderThenTheDesignsMessagesWhichDoNotFailIt) {
    struct Case {
        const char* label;
        QByteArray script;
        QByteArray err;
    };
    const Case cases[] = {
        {"clean", "name=x\n", ""},
        {"unknown command", "name=x\nbogus\n", "Unknown command on line 2 : bogus\n"},
        {"bad number", "backgroundExtraMarge=12px\n",
         "Zotmaker: '12px' is not a valid integer value.\n"},
        // A family this machine lacks is named, from the test's own fonts.
        {"a stand-in", "ttfFont\nlabel=T\nname=No Such Family Zot\nttfFontEnd\n",
         "T\tNo Such Family Zot\t/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf\tstand-in\n"
         "The design will look different until the fonts above are installed on this "
         "machine.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QDir(designs + QStringLiteral("/Mine")).removeRecursively();
        const Outcome r =
            run({QStringLiteral("install"), archive(QStringLiteral("m.zip"), c.script)});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, (designs + QStringLiteral("/Mine\n")).toUtf8());
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(QFile::exists(designs + QStringLiteral("/Mine/a.bmp")));
    }
}

TEST_F(InstallCommand, ARefusalIsOneLineStatusOneAndInstallsNothing) {
    const QString evil = sources + QStringLiteral("/evil.tar");
    writeArchive(evil, Kind::Tar, {file("Mine/script.zot"), file("../../x")});
    const Outcome r = run({QStringLiteral("install"), evil});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Zotmaker: The entry ../../x would land outside the design folder.\n");
    EXPECT_EQ(installed(), QStringList());
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/x")));
}

TEST_F(InstallCommand, ASampleDesignsNameIsRefused) {
    // The tool's own folder holds the sample designs, Gold among them.
    const QString gold = sources + QStringLiteral("/gold.zip");
    writeArchive(gold, Kind::Zip, {file("Gold/script.zot")});
    const Outcome r = run({QStringLiteral("install"), gold});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Zotmaker: The design name Gold is a sample design's, which would hide it.\n");
}

TEST_F(InstallCommand, ReplacesOnlyWithReplace) {
    ASSERT_EQ(run({QStringLiteral("install"), archive(QStringLiteral("1.zip"), "v1")}).exitCode, 0);
    const QString v2 = archive(QStringLiteral("2.zip"), "name=v2\n");
    const Outcome again = run({QStringLiteral("install"), v2});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, "Zotmaker: A design named Mine is installed already.\n");
    const Outcome replaced = run({QStringLiteral("install"), v2, QStringLiteral("--replace")});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    QFile script(designs + QStringLiteral("/Mine/script.zot"));
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_EQ(script.readAll(), "name=v2\n");
    EXPECT_EQ(installed(), QStringList{QStringLiteral("Mine")});
}

TEST_F(InstallCommand, WithoutXdgDataHomeInstallsUnderTheHomeFolder) {
    const Outcome r =
        run({QStringLiteral("install"), archive(QStringLiteral("m.zip"), "name=x\n")}, {}, false);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, (home + QStringLiteral("/.local/share/zotmaker/designs/Mine\n")).toUtf8());
}

TEST_F(InstallCommand, AWindowsZipInstallsUnderAnyLocale) {
    writeBytes(sources + QStringLiteral("/w.zip"),
               storedZip({{"Caf\x82\\script.zot", "name=x\n"}, {"Caf\x82\\\x8a.bmp", "x"}}));
    for (const char* locale : {"C", "C.UTF-8"}) {
        SCOPED_TRACE(locale);
        QDir(designs).removeRecursively();
        const Outcome r = run({QStringLiteral("install"), sources + QStringLiteral("/w.zip")},
                              {{QStringLiteral("LANG"), QString::fromLatin1(locale)},
                               {QStringLiteral("LC_ALL"), QString::fromLatin1(locale)}});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, (designs + QStringLiteral("/Café\n")).toUtf8());
        EXPECT_TRUE(QFile::exists(designs + QStringLiteral("/Café/è.bmp")));
    }
}

TEST_F(InstallCommand, UsageErrorsAreStatusTwo) {
    const QString zip = archive(QStringLiteral("m.zip"), "name=x\n");
    const QStringList cases[] = {
        {QStringLiteral("install")},
        {QStringLiteral("install"), zip, zip},
        {QStringLiteral("install"), zip, QStringLiteral("--format"), QStringLiteral("png")},
        {QStringLiteral("install"), zip, QStringLiteral("--jobs"), QStringLiteral("2")},
        {QStringLiteral("check"), sources, QStringLiteral("--replace")},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains("Usage: zotmaker-cli")) << r.err.toStdString();
    }
    EXPECT_EQ(installed(), QStringList());
}

} // namespace
} // namespace zot::test
