// Installing designs that anyone may have made: archives of every kind, the
// names Windows and macOS tools write, and archives made to do harm.
#include "designs/DesignInstaller.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"

#include "support/ArchiveMaker.h"
#include "support/RawNames.h"

#include <QDir>
#include <QDirIterator>
#include <clocale>
#include <dirent.h>
#include <gtest/gtest.h>
#include <string>

namespace zot::test {
namespace {

const QByteArray kScript = "name=x\n";

// Every name below root, raw bytes decoded as UTF-8 (invalid bytes show as
// U+FFFD), sorted; links are listed, never followed.
QStringList treeOf(const QString& root) {
    QStringList names;
    const std::function<void(const QByteArray&, const QString&)> walk = [&](const QByteArray& path,
                                                                            const QString& shown) {
        DIR* d = ::opendir(path.constData());
        if (!d)
            return;
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == "..")
                continue;
            const QString child =
                shown.isEmpty() ? QString::fromUtf8(name) : shown + u'/' + QString::fromUtf8(name);
            names << child;
            if (e->d_type == DT_DIR)
                walk(path + '/' + name, child);
        }
        ::closedir(d);
    };
    walk(QFile::encodeName(root), QString());
    names.sort();
    return names;
}

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Installer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Deep enough that an entry climbing out lands inside the test folder.
        ASSERT_TRUE(QDir().mkpath(designs));
        ASSERT_TRUE(QDir().mkpath(sources));
        ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sentinel")));
    }

    QString source(const QString& name) const { return sources + u'/' + name; }

    InstallResult install(const QString& from, const InstallOptions& options = {}) {
        return installDesign(from, designs, options);
    }

    // A refusal left nothing anywhere: the designs folder is empty (no
    // hidden work folder either), and the rest of the test folder holds
    // what it held before.
    void expectNothingWritten() {
        EXPECT_EQ(treeOf(designs), QStringList());
        QStringList outside;
        for (const QString& name : treeOf(dir.path()))
            if (!name.startsWith(u"src/"))
                outside << name;
        EXPECT_EQ(outside, (QStringList{"a", "a/b", "a/b/designs", "sentinel", "src"}));
    }

    RawTemporaryDir dir;
    const QString designs = dir.path() + QStringLiteral("/a/b/designs");
    const QString sources = dir.path() + QStringLiteral("/src");
};

// ------------------------------------------------------------ every format

class EveryFormat : public Installer, public ::testing::WithParamInterface<Kind> {};

TEST_P(EveryFormat, InstallsTheTopFolderWithItsFilesAndSubfolders) {
    const QString archive = source(QStringLiteral("shared") + extensionOf(GetParam()));
    writeArchive(archive, GetParam(),
                 {folder("Blue Sky/"), file("Blue Sky/script.zot", kScript),
                  file("Blue Sky/thumbnail.bmp", "BM"), folder("Blue Sky/letters/"),
                  file("Blue Sky/letters/A.bmp", QByteArray(70000, 'a'))});
    const InstallResult r = install(archive);
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(r.name, QStringLiteral("Blue Sky"));
    EXPECT_EQ(r.folder, designs + QStringLiteral("/Blue Sky"));
    EXPECT_EQ(treeOf(designs),
              (QStringList{"Blue Sky", "Blue Sky/letters", "Blue Sky/letters/A.bmp",
                           "Blue Sky/script.zot", "Blue Sky/thumbnail.bmp"}));
    EXPECT_EQ(contentOf(r.folder + QStringLiteral("/script.zot")), kScript);
    EXPECT_EQ(contentOf(r.folder + QStringLiteral("/letters/A.bmp")), QByteArray(70000, 'a'));
}

TEST_P(EveryFormat, FilesAtTheTopAreNamedByTheArchive) {
    // Folders without their own entries, and what macOS adds, as a Mac zips.
    const QString archive = source(QStringLiteral("My Logo") + extensionOf(GetParam()));
    writeArchive(archive, GetParam(),
                 {file("SCRIPT.ZOT", kScript), file("chars/b.bmp"), file(".DS_Store"),
                  file("__MACOSX/._SCRIPT.ZOT"), file("chars/.DS_Store")});
    const InstallResult r = install(archive);
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(r.name, QStringLiteral("My Logo"));
    EXPECT_EQ(treeOf(designs), (QStringList{"My Logo", "My Logo/chars", "My Logo/chars/b.bmp",
                                            "My Logo/script.zot"}));
}

// Qt takes a path that starts with ":" for one of its resources.
TEST_P(EveryFormat, ATopFolderStartingWithAColonIsInstalledWhereItSays) {
    const QString archive = source(QStringLiteral("shared") + extensionOf(GetParam()));
    writeArchive(archive, GetParam(), {file(":Logo/script.zot", kScript)});
    const InstallResult r = install(archive);
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(r.folder, designs + QStringLiteral("/:Logo"));
    EXPECT_EQ(contentOf(r.folder + QStringLiteral("/script.zot")), kScript);
}

TEST_P(EveryFormat, AnEntryClimbingOutIsRefusedAndNothingIsWritten) {
    const QString archive = source(QStringLiteral("evil") + extensionOf(GetParam()));
    writeArchive(archive, GetParam(),
                 {file("D/script.zot", kScript), file("D/../../../../sentinel/x", "owned")});
    const InstallResult r = install(archive);
    EXPECT_FALSE(r.installed);
    EXPECT_EQ(r.refusal.toStdString(),
              "The entry D/../../../../sentinel/x would land outside the design folder");
    expectNothingWritten();
}

std::string kindName(const ::testing::TestParamInfo<Kind>& info) {
    static const char* const kNames[] = {"zip",    "tar",    "targz", "tarxz",
                                         "tarbz2", "sevenz", "ustar"};
    return kNames[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat,
                         ::testing::Values(Kind::Zip, Kind::Tar, Kind::TarGz, Kind::TarXz,
                                           Kind::TarBz2, Kind::SevenZip),
                         kindName);

// ------------------------------------------------------- hostile archives

struct Hostile {
    const char* label;
    Kind kind;
    std::vector<Entry> entries;
    std::string refusal;
};

class HostileArchive : public Installer, public ::testing::WithParamInterface<Hostile> {};

TEST_P(HostileArchive, IsRefusedNamingTheEntryAndLeavesNothing) {
    const Hostile& h = GetParam();
    const QString archive = source(QStringLiteral("hostile") + extensionOf(h.kind));
    writeArchive(archive, h.kind, h.entries);
    InstallOptions options;
    options.sampleNames = {QStringLiteral("Gold")};
    const InstallResult r = install(archive, options);
    EXPECT_FALSE(r.installed);
    EXPECT_FALSE(r.alreadyInstalled);
    EXPECT_EQ(r.refusal.toStdString(), h.refusal);
    expectNothingWritten();
    // What a link pointed at is never written through.
    EXPECT_EQ(treeOf(dir.path() + QStringLiteral("/sentinel")), QStringList());
}

Entry link(const QByteArray& name, const QByteArray& target) {
    return {name, {}, Entry::Symlink, target};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileArchive,
    ::testing::Values(
        Hostile{"absolute",
                Kind::Tar,
                {file("/tmp/D/script.zot", kScript)},
                "The entry /tmp/D/script.zot would land outside the design folder"},
        Hostile{"drive",
                Kind::Zip,
                {file("C:/D/script.zot", kScript)},
                "The entry C:/D/script.zot would land outside the design folder"},
        Hostile{"dotdot_inside",
                Kind::Tar,
                {file("D/script.zot"), file("D/a/../../x")},
                "The entry D/a/../../x would land outside the design folder"},
        Hostile{"symlink_out",
                Kind::Tar,
                {file("D/script.zot"), link("D/s", "../../../sentinel"), file("D/s/x")},
                "The entry D/s is a link"},
        Hostile{"symlink_zip",
                Kind::Zip,
                {file("D/script.zot"), link("D/s", "/etc/passwd")},
                "The entry D/s is a link"},
        Hostile{"symlink_7z",
                Kind::SevenZip,
                {file("D/script.zot"), link("D/s", "/etc")},
                "The entry D/s is a link"},
        Hostile{"hardlink",
                Kind::Tar,
                {file("D/script.zot"), {"D/h", {}, Entry::Hardlink, "/etc/passwd"}},
                "The entry D/h is a link"},
        Hostile{"fifo",
                Kind::Tar,
                {file("D/script.zot"), {"D/f", {}, Entry::Fifo, {}}},
                "The entry D/f is neither a file nor a folder"},
        Hostile{"device",
                Kind::TarGz,
                {file("D/script.zot"), {"D/null", {}, Entry::CharDevice, {}}},
                "The entry D/null is neither a file nor a folder"},
        Hostile{"case_clash",
                Kind::Zip,
                {file("D/script.zot"), file("D/a.bmp"), file("D/A.bmp")},
                "The entries D/a.bmp and D/A.bmp differ only in case"},
        Hostile{"case_clash_folders",
                Kind::Tar,
                {file("D/script.zot"), file("D/chars/a.bmp"), file("D/CHARS/b.bmp")},
                "The entries D/chars and D/CHARS/b.bmp differ only in case"},
        Hostile{"case_clash_top",
                Kind::Tar,
                {file("D/script.zot"), file("d/x")},
                "The entries D and d/x differ only in case"},
        Hostile{"twice",
                Kind::Tar,
                {file("D/script.zot"), file("D/a"), file("D/a")},
                "The entry D/a appears twice"},
        Hostile{"file_then_folder",
                Kind::Tar,
                {file("D/script.zot"), file("D/a"), file("D/a/b")},
                "The entry D/a/b appears twice"},
        Hostile{"no_script", Kind::Zip, {file("D/readme.txt")}, "The design holds no script.zot"},
        Hostile{"script_folder",
                Kind::Tar,
                {folder("D/script.zot/")},
                "The design holds no script.zot"},
        Hostile{"empty", Kind::Tar, {}, "The design holds no script.zot"},
        Hostile{"loose_files",
                Kind::Zip,
                {file("D/script.zot"), file("readme.txt")},
                "The archive holds files beside its top folder: readme.txt"},
        Hostile{"two_top_folders",
                Kind::TarXz,
                {file("A/script.zot"), file("B/script.zot")},
                "The archive holds more than one top folder: A and B"},
        Hostile{"hidden_top",
                Kind::Zip,
                {file(".D/script.zot")},
                "The design name .D starts with \".\", which hides it"},
        Hostile{"sample_name",
                Kind::SevenZip,
                {file("Gold/script.zot")},
                "The design name Gold is a sample design's, which would hide it"},
        Hostile{"long_name",
                Kind::Tar,
                {file(QByteArray(256, 'n') + "/script.zot")},
                "The design name " + std::string(200, 'n') + "\u2026 is longer than 255 bytes"},
        Hostile{"long_entry",
                Kind::Tar,
                {file("D/script.zot"), file("D/" + QByteArray(256, 'e'))},
                "The entry D/" + std::string(198, 'e') + "\u2026 has a name longer than 255 bytes"},
        Hostile{"deep",
                Kind::Tar,
                {file("D/script.zot"), file("D/" + QByteArray("d/").repeated(33) + "x")},
                "The entry D/" + QByteArray("d/").repeated(33).toStdString() +
                    "x lies more than 32 folders deep"}),
    [](const auto& test) { return std::string(test.param.label); });

TEST_F(Installer, AZipWithBackslashesClimbingOutIsRefused) {
    // "\" is a separator in a zip made on Windows.
    writeBytes(source(QStringLiteral("w.zip")),
               storedZip({{"D\\script.zot", kScript}, {"D\\..\\..\\x", "owned"}}));
    const InstallResult r = install(source(QStringLiteral("w.zip")));
    EXPECT_EQ(r.refusal.toStdString(), "The entry D/../../x would land outside the design folder");
    expectNothingWritten();
}

TEST_F(Installer, AZipNameFlaggedUtf8ThatIsNotIsRefused) {
    writeBytes(source(QStringLiteral("f.zip")),
               storedZip({{"D/script.zot", kScript}, {"D/\x8a.bmp", "x", true}}));
    const InstallResult r = install(source(QStringLiteral("f.zip")));
    EXPECT_FALSE(r.installed);
    EXPECT_TRUE(r.refusal.startsWith(QStringLiteral("The archive ") + source("f.zip") +
                                     QStringLiteral(" cannot be read: ")))
        << r.refusal.toStdString();
    expectNothingWritten();
}

TEST_F(Installer, AZipEntryWhoseDecoderMemoryIsUnboundedIsRefused) {
    ZipEntry lzma{"D/script.zot", kScript};
    lzma.method = 14; // LZMA: its dictionary size is the entry's to choose
    writeBytes(source(QStringLiteral("m.zip")), storedZip({lzma}));
    const InstallResult r = install(source(QStringLiteral("m.zip")));
    EXPECT_EQ(r.refusal.toStdString(),
              "The entry D/script.zot is packed with lzma, which Zotmaker does not unpack");
    expectNothingWritten();
}

TEST_F(Installer, ADamagedArchiveIsRefusedWithLibrarysReason) {
    writeBytes(source(QStringLiteral("junk.zip")), QByteArray(5000, 'j'));
    const InstallResult r = install(source(QStringLiteral("junk.zip")));
    EXPECT_FALSE(r.installed);
    EXPECT_TRUE(r.refusal.startsWith(QStringLiteral("The archive ") + source("junk.zip") +
                                     QStringLiteral(" cannot be read: ")))
        << r.refusal.toStdString();
    expectNothingWritten();
}

// ----------------------------------------------------------- bombs, limits

TEST_F(Installer, ABombStopsAtTheLimitWhileReading) {
    // 8 MiB of zeros packs into a few KiB; the limit is lowered to 1 MiB.
    const QString archive = source(QStringLiteral("bomb.tar.gz"));
    writeArchive(archive, Kind::TarGz,
                 {file("D/script.zot", kScript), file("D/zeros", QByteArray(8 << 20, '\0'))});
    ASSERT_LT(QFileInfo(archive).size(), 64 * 1024);
    InstallOptions options;
    options.limits.maxBytes = 1 << 20;
    const InstallResult r = install(archive, options);
    EXPECT_EQ(r.refusal.toStdString(), "The design unpacks to more than 1 MiB");
    expectNothingWritten();
}

TEST_F(Installer, TheLimitCountsEveryFileTogether) {
    const QString archive = source(QStringLiteral("many.zip"));
    std::vector<Entry> entries{file("D/script.zot", kScript)};
    for (int i = 0; i < 5; ++i)
        entries.push_back(file("D/f" + QByteArray::number(i), QByteArray(300 * 1024, 'z')));
    writeArchive(archive, Kind::Zip, entries);
    InstallOptions options;
    options.limits.maxBytes = 1 << 20;
    EXPECT_EQ(install(archive, options).refusal.toStdString(),
              "The design unpacks to more than 1 MiB");
    options.limits.maxBytes = 2 << 20;
    EXPECT_TRUE(install(archive, options).installed);
}

TEST_F(Installer, TooManyEntriesAreRefusedPassedOverOnesCounted) {
    const QString archive = source(QStringLiteral("entries.tar"));
    std::vector<Entry> entries{file("D/script.zot", kScript)};
    for (int i = 0; i < 30; ++i)
        entries.push_back(file("__MACOSX/._f" + QByteArray::number(i)));
    writeArchive(archive, Kind::Tar, entries);
    InstallOptions options;
    options.limits.maxEntries = 30;
    EXPECT_EQ(install(archive, options).refusal.toStdString(),
              "The design holds more than 30 entries");
    expectNothingWritten();
    options.limits.maxEntries = 31;
    EXPECT_TRUE(install(archive, options).installed);
}

TEST_F(Installer, AZipClaimingTooManyEntriesIsRefusedBeforeTheyAreListed) {
    QByteArray zip = storedZip({{"D/script.zot", kScript}});
    // The end record's two entry counts, as a zip of 65,535 entries says.
    zip[zip.size() - 22 + 8] = zip[zip.size() - 22 + 9] = zip[zip.size() - 22 + 10] =
        zip[zip.size() - 22 + 11] = char(0xFF);
    writeBytes(source(QStringLiteral("claims.zip")), zip);
    EXPECT_EQ(install(source(QStringLiteral("claims.zip"))).refusal.toStdString(),
              "The design holds more than 20000 entries");
    expectNothingWritten();
}

TEST_F(Installer, AnXzDictionaryLargerThanTheCapIsRefused) {
    // Level 9 asks for a 64 MiB dictionary; the cap is lowered to 16 MiB.
    const QString archive = source(QStringLiteral("big.tar.xz"));
    writeArchive(archive, Kind::TarXz, {file("D/script.zot", kScript)}, "xz:compression-level=9");
    InstallOptions options;
    options.limits.maxDecoderMemory = 16 << 20;
    EXPECT_EQ(
        install(archive, options).refusal,
        QStringLiteral("The archive %1 needs more than 16 MiB of memory to unpack").arg(archive));
    expectNothingWritten();
    options.limits.maxDecoderMemory = 128 << 20;
    EXPECT_TRUE(install(archive, options).installed);
}

TEST_F(Installer, ASevenZipDecoderLargerThanTheCapIsRefusedBeforeItIsMade) {
    // Level 9 asks for a 64 MiB LZMA dictionary and a large PPMd model; the
    // cap is lowered to 16 MiB. Level 1 asks for less.
    struct Case {
        const char* options;
        bool refused;
    };
    const Case cases[] = {
        {"7zip:compression=lzma1,7zip:compression-level=9", true},
        {"7zip:compression=lzma2,7zip:compression-level=9", true},
        {"7zip:compression=ppmd,7zip:compression-level=9", true},
        {"7zip:compression=lzma2,7zip:compression-level=1", false},
        {"7zip:compression=deflate", false},
        {"7zip:compression=bzip2", false},
        {"7zip:compression=store", false},
    };
    InstallOptions options;
    options.limits.maxDecoderMemory = 16 << 20;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const QString archive = source(QStringLiteral("seven.7z"));
        writeArchive(archive, Kind::SevenZip,
                     {file("D/script.zot", kScript), file("D/a.bmp", QByteArray(5000, 'a'))},
                     c.options);
        const InstallResult r = install(archive, options);
        if (c.refused) {
            EXPECT_EQ(r.refusal,
                      QStringLiteral("The archive %1 needs more than 16 MiB of memory to unpack")
                          .arg(archive));
            expectNothingWritten();
        } else {
            ASSERT_TRUE(r.installed) << r.refusal.toStdString();
            EXPECT_EQ(contentOf(r.folder + QStringLiteral("/a.bmp")), QByteArray(5000, 'a'));
            QDir(r.folder).removeRecursively();
        }
    }
}

TEST_F(Installer, SevenZipHeadersThatCannotBeFollowedAreRefused) {
    const QString archive = source(QStringLiteral("cut.7z"));
    writeArchive(archive, Kind::SevenZip, {file("D/script.zot", kScript)});
    QFile f(archive);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 3)); // the headers lie at the end
    f.close();
    const InstallResult r = install(archive);
    EXPECT_FALSE(r.installed);
    EXPECT_TRUE(r.refusal.startsWith(QStringLiteral("The archive ") + archive +
                                     QStringLiteral(" cannot be read: ")))
        << r.refusal.toStdString();
    expectNothingWritten();
}

// ------------------------------------------------------------------- names

TEST_F(Installer, NamesFromTheArchiveFileAreChecked) {
    struct Case {
        QString file;
        std::string refusal;
    };
    const Case cases[] = {
        {QStringLiteral(".zip"), "The design name is empty"},
        {QStringLiteral(".secret.zip"),
         "The design name .secret starts with \".\", which hides it"},
        {QStringLiteral("a\\b.tar.gz"), "The design name a\\b holds \"/\" or \"\\\""},
        {QStringLiteral("Gold.7z"),
         "The design name Gold is a sample design's, which would hide it"},
    };
    InstallOptions options;
    options.sampleNames = {QStringLiteral("Gold")};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const QString archive = source(c.file);
        writeArchive(archive,
                     c.file.endsWith(u".zip")  ? Kind::Zip
                     : c.file.endsWith(u".7z") ? Kind::SevenZip
                                               : Kind::TarGz,
                     {file("script.zot", kScript)});
        EXPECT_EQ(install(archive, options).refusal.toStdString(), c.refusal);
        expectNothingWritten();
    }
}

TEST(ArchiveDesignName, DropsTheArchiveExtensionsOnly) {
    EXPECT_EQ(archiveDesignName(QStringLiteral("/x/Blue Sky.tar.gz")), QStringLiteral("Blue Sky"));
    EXPECT_EQ(archiveDesignName(QStringLiteral("v1.2.ZIP")), QStringLiteral("v1.2"));
    EXPECT_EQ(archiveDesignName(QStringLiteral("a.tar.bz2")), QStringLiteral("a"));
    EXPECT_EQ(archiveDesignName(QStringLiteral("a.tar.xz")), QStringLiteral("a"));
    EXPECT_EQ(archiveDesignName(QStringLiteral("a.7z")), QStringLiteral("a"));
    EXPECT_EQ(archiveDesignName(QStringLiteral("plain")), QStringLiteral("plain"));
}

// Names as Windows and macOS tools store them, read the same under any locale.
class WindowsNames : public Installer, public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        Installer::SetUp();
        saved = std::setlocale(LC_ALL, nullptr);
        ASSERT_TRUE(std::setlocale(LC_ALL, GetParam()));
    }
    void TearDown() override { std::setlocale(LC_ALL, saved.c_str()); }
    std::string saved;
};

TEST_P(WindowsNames, ZipNamesWithoutTheFlagAreUtf8WhenValidElseCodePage437) {
    writeBytes(source(QStringLiteral("w.zip")),
               storedZip({
                   {"Caf\x82\\script.zot", kScript},        // cp437 "é", "\" separator
                   {"Caf\x82\\\x8a.bmp", "e-grave"},        // cp437 "è"
                   {"Caf\xc3\xa9\\\xc3\xbc.bmp", "u"},      // UTF-8 without the flag
                   {"Caf\xc3\xa9/\xc3\xa0.bmp", "a", true}, // UTF-8 with it
               }));
    const InstallResult r = install(source(QStringLiteral("w.zip")));
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(r.name, QStringLiteral("Café"));
    EXPECT_EQ(treeOf(designs),
              (QStringList{"Café", "Café/script.zot", "Café/à.bmp", "Café/è.bmp", "Café/ü.bmp"}));
    EXPECT_EQ(contentOf(designs + QStringLiteral("/Café/è.bmp")), "e-grave");
}

TEST_P(WindowsNames, TarNamesThatAreNotUtf8AreWindows1252) {
    writeArchive(source(QStringLiteral("t.tar")), Kind::Ustar,
                 {file("Caf\xe9/script.zot", kScript), file("Caf\xe9/\x80.bmp")});
    const InstallResult r = install(source(QStringLiteral("t.tar")));
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(treeOf(designs), (QStringList{"Café", "Café/script.zot", "Café/€.bmp"}));
}

TEST_P(WindowsNames, SevenZipAndPaxNamesAreUnicode) {
    // Written under a UTF-8 locale, as the tools do.
    const std::string was = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "C.UTF-8"));
    writeArchive(source(QStringLiteral("s.7z")), Kind::SevenZip,
                 {file("\xc5\x81\xc3\xb3"
                       "d\xc5\xba/script.zot",
                       kScript)});
    writeArchive(source(QStringLiteral("p.tar")), Kind::Tar,
                 {file("\xe6\x97\xa5/script.zot", kScript)});
    std::setlocale(LC_ALL, was.c_str());
    EXPECT_EQ(install(source(QStringLiteral("s.7z"))).name, QStringLiteral("Łódź"));
    EXPECT_EQ(install(source(QStringLiteral("p.tar"))).name, QStringLiteral("日"));
    EXPECT_EQ(treeOf(designs), (QStringList{"Łódź", "Łódź/script.zot", "日", "日/script.zot"}));
}

TEST_P(WindowsNames, DecomposedNamesFromMacOsAreStoredComposed) {
    writeBytes(source(QStringLiteral("m.zip")),
               storedZip({{"D/script.zot", kScript, true}, {"D/e\xcc\x80.bmp", "e", true}}));
    ASSERT_TRUE(install(source(QStringLiteral("m.zip"))).installed);
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/script.zot", "D/è.bmp"}));
}

INSTANTIATE_TEST_SUITE_P(Locales, WindowsNames, ::testing::Values("C", "C.UTF-8"),
                         [](const auto& test) {
                             return std::string(test.param[1] ? "utf8" : "c");
                         });

TEST_F(Installer, ACharacterFileZippedOnWindowsDrawsForItsTypedCharacter) {
    Bitmap background = Bitmap::create(40, 20, 24);
    background.fill(0xffffffff);
    Bitmap letter = Bitmap::create(6, 9, 24);
    letter.fill(0xffff0000);
    writeBytes(source(QStringLiteral("Accents.zip")),
               storedZip({
                   {"script.zot",
                    "backgroundImage=bg.bmp\nimgFont\nname=chars\nxpos=2\nypos=1\nimgFontEnd\n"},
                   {"bg.bmp", encodeBmp(background)},
                   {"chars\\\x8a.bmp", encodeBmp(letter)}, // "è" in code page 437
               }));
    const InstallResult r = install(source(QStringLiteral("Accents.zip")));
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();

    HeadlessEditor editor;
    LogoEngine engine(editor, designs);
    engine.OpenDesign(r.name);
    engine.setLabelText(1, QStringLiteral("e"));
    EXPECT_EQ(engine.logo().pixel(2, 1), 0xffffffffu);
    engine.setLabelText(1, QStringLiteral("è"));
    EXPECT_EQ(engine.logo().pixel(2, 1), 0xffff0000u);
    EXPECT_EQ(engine.logo().pixel(7, 9), 0xffff0000u);
}

// ----------------------------------------------------------------- replace

TEST_F(Installer, AnInstalledDesignIsReplacedOnlyWhenAsked) {
    writeArchive(source(QStringLiteral("v1.zip")), Kind::Zip,
                 {file("D/script.zot", "v1"), file("D/old.bmp")});
    writeArchive(source(QStringLiteral("v2.tar.gz")), Kind::TarGz, {file("D/script.zot", "v2")});
    ASSERT_TRUE(install(source(QStringLiteral("v1.zip"))).installed);

    const InstallResult asked = install(source(QStringLiteral("v2.tar.gz")));
    EXPECT_FALSE(asked.installed);
    EXPECT_TRUE(asked.alreadyInstalled);
    EXPECT_EQ(asked.name, QStringLiteral("D"));
    EXPECT_EQ(asked.refusal.toStdString(), "A design named D is installed already");
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/old.bmp", "D/script.zot"}));

    InstallOptions replace;
    replace.replace = true;
    const InstallResult r = install(source(QStringLiteral("v2.tar.gz")), replace);
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    // Whole: the old design's files are gone with it, no hidden folder stays.
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/script.zot"}));
    EXPECT_EQ(contentOf(designs + QStringLiteral("/D/script.zot")), "v2");
}

TEST_F(Installer, AWindowIsAskedBeforeReplacing) {
    writeArchive(source(QStringLiteral("v1.zip")), Kind::Zip, {file("D/script.zot", "v1")});
    writeArchive(source(QStringLiteral("v2.zip")), Kind::Zip, {file("D/script.zot", "v2")});
    QStringList asked;
    bool answer = false;
    InstallOptions options;
    options.confirmReplace = [&](const QString& name) {
        asked << name;
        return answer;
    };
    ASSERT_TRUE(install(source(QStringLiteral("v1.zip")), options).installed);
    EXPECT_EQ(asked, QStringList()); // nothing to replace: nobody asked

    const InstallResult declined = install(source(QStringLiteral("v2.zip")), options);
    EXPECT_TRUE(declined.alreadyInstalled);
    EXPECT_EQ(asked, QStringList{QStringLiteral("D")});
    EXPECT_EQ(contentOf(designs + QStringLiteral("/D/script.zot")), "v1");
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/script.zot"}));

    answer = true;
    EXPECT_TRUE(install(source(QStringLiteral("v2.zip")), options).installed);
    EXPECT_EQ(contentOf(designs + QStringLiteral("/D/script.zot")), "v2");
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/script.zot"}));
}

TEST_F(Installer, ARefusedReplacementLeavesTheOldDesignWhole) {
    writeArchive(source(QStringLiteral("v1.zip")), Kind::Zip,
                 {file("D/script.zot", "v1"), file("D/a.bmp", "a")});
    writeArchive(source(QStringLiteral("bad.zip")), Kind::Zip,
                 {file("D/script.zot", "v2"), file("D/a.bmp", "new"), link("D/l", "/")});
    ASSERT_TRUE(install(source(QStringLiteral("v1.zip"))).installed);
    InstallOptions replace;
    replace.replace = true;
    EXPECT_EQ(install(source(QStringLiteral("bad.zip")), replace).refusal.toStdString(),
              "The entry D/l is a link");
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/a.bmp", "D/script.zot"}));
    EXPECT_EQ(contentOf(designs + QStringLiteral("/D/a.bmp")), "a");
}

TEST_F(Installer, ADesignCannotReplaceItself) {
    writeArchive(source(QStringLiteral("v1.zip")), Kind::Zip, {file("D/script.zot", "v1")});
    ASSERT_TRUE(install(source(QStringLiteral("v1.zip"))).installed);
    InstallOptions replace;
    replace.replace = true;
    EXPECT_EQ(install(designs + QStringLiteral("/D"), replace).refusal.toStdString(),
              "The design D cannot replace itself");
    EXPECT_EQ(install(designs + QStringLiteral("/./D/"), replace).refusal.toStdString(),
              "The design D cannot replace itself");
    EXPECT_EQ(treeOf(designs), (QStringList{"D", "D/script.zot"}));
}

// ----------------------------------------------------------------- folders

TEST_F(Installer, AFolderIsCopiedByTheSameRules) {
    const QString from = source(QStringLiteral("Mine"));
    ASSERT_TRUE(QDir().mkpath(from + QStringLiteral("/chars")));
    writeBytes(from + QStringLiteral("/Script.zot"), kScript);
    writeBytes(from + QStringLiteral("/chars/a.bmp"), "a");
    writeBytes(from + QStringLiteral("/.DS_Store"), "mac");
    const InstallResult r = install(from);
    ASSERT_TRUE(r.installed) << r.refusal.toStdString();
    EXPECT_EQ(r.name, QStringLiteral("Mine"));
    EXPECT_EQ(treeOf(designs),
              (QStringList{"Mine", "Mine/chars", "Mine/chars/a.bmp", "Mine/script.zot"}));
    // The source is left as it was.
    EXPECT_TRUE(QFile::exists(from + QStringLiteral("/Script.zot")));
}

TEST_F(Installer, AFolderWithLinksDevicesOrCaseTwinsIsRefused) {
    struct Case {
        const char* label;
        std::function<void(const QByteArray&)> add;
        std::string refusal;
    };
    const Case cases[] = {
        {"link",
         [](const QByteArray& f) { EXPECT_EQ(::symlink("/etc", (f + "/etc").constData()), 0); },
         "The entry etc is a link"},
        {"dangling",
         [](const QByteArray& f) { EXPECT_EQ(::symlink("nowhere", (f + "/x").constData()), 0); },
         "The entry x is a link"},
        {"fifo", [](const QByteArray& f) { ::mkfifo((f + "/p").constData(), 0644); },
         "The entry p is neither a file nor a folder"},
        {"case",
         [](const QByteArray& f) {
             writeRaw(f + "/a.bmp", "1");
             writeRaw(f + "/A.BMP", "2");
         },
         "differ only in case"},
        {"no_script", [](const QByteArray& f) { ::unlink((f + "/script.zot").constData()); },
         "The design holds no script.zot"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString from = source(QString::fromLatin1(c.label));
        ASSERT_TRUE(QDir().mkpath(from));
        writeBytes(from + QStringLiteral("/script.zot"), kScript);
        c.add(QFile::encodeName(from));
        const InstallResult r = install(from);
        EXPECT_FALSE(r.installed);
        EXPECT_NE(r.refusal.toStdString().find(c.refusal), std::string::npos)
            << r.refusal.toStdString();
        expectNothingWritten();
    }
}

TEST_F(Installer, AFolderHoldingTheDesignsFolderIsRefused) {
    writeBytes(dir.path() + QStringLiteral("/a/script.zot"), kScript);
    EXPECT_EQ(install(dir.path() + QStringLiteral("/a")).refusal,
              QStringLiteral("The folder %1 holds the designs folder").arg(dir.path() + "/a"));
    EXPECT_EQ(treeOf(designs), QStringList());
}

TEST_F(Installer, SampleDesignNamesAreTheProgramFoldersDesigns) {
    const QString program = source(QStringLiteral("program"));
    for (const char* d : {"Gold", "Neon", "nothing", ".hidden"})
        ASSERT_TRUE(QDir().mkpath(program + u'/' + QString::fromLatin1(d)));
    for (const char* d : {"Gold", "Neon", ".hidden"})
        writeBytes(program + u'/' + QString::fromLatin1(d) + QStringLiteral("/script.zot"),
                   kScript);
    QStringList names = sampleDesignNames(program);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Gold", "Neon"}));
}

} // namespace
} // namespace zot::test
