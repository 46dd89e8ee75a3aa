#include "platform/Locations.h"
#include "designs/DesignFolders.h"
#include "support/EnvironmentOverride.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace zot::test {
namespace {

struct DataHomeCase {
    const char* label;
    std::optional<QByteArray> xdgDataHome;
    const char* expected; // "~" stands for HOME
};

class UserDataFolderTest : public ::testing::TestWithParam<DataHomeCase> {};

TEST_P(UserDataFolderTest, FollowsXdgDataHomeOrFallsBackToTheHomeFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    EnvironmentOverride homeVariable("HOME", QFile::encodeName(home.path()));
    EnvironmentOverride dataHome("XDG_DATA_HOME", GetParam().xdgDataHome);
    QString expected = QString::fromUtf8(GetParam().expected);
    expected.replace(u'~', home.path());
    EXPECT_EQ(userDataFolder(), expected);
    EXPECT_EQ(userDesignsFolder(), expected + QStringLiteral("designs/"));
}

INSTANTIATE_TEST_SUITE_P(
    Locations, UserDataFolderTest,
    ::testing::Values(DataHomeCase{"Set", QByteArray("/srv/data"), "/srv/data/zotmaker/"},
                      DataHomeCase{"TrailingSlash", QByteArray("/srv/data/"),
                                   "/srv/data/zotmaker/"},
                      DataHomeCase{"Unset", std::nullopt, "~/.local/share/zotmaker/"},
                      DataHomeCase{"Empty", QByteArray(""), "~/.local/share/zotmaker/"},
                      // Relative values are invalid by the XDG rules and ignored.
                      DataHomeCase{"Relative", QByteArray("data"), "~/.local/share/zotmaker/"}),
    [](const ::testing::TestParamInfo<DataHomeCase>& test) {
        return std::string(test.param.label);
    });

TEST(Locations, AboutFileIsLookedForInTheWorkingFolderFirst) {
    EXPECT_EQ(
        aboutFileCandidates(QStringLiteral("zot-about.rtf"), QStringLiteral("/opt/zot/")),
        (QStringList{QStringLiteral("zot-about.rtf"), QStringLiteral("/opt/zot/zot-about.rtf")}));
    EXPECT_EQ(
        aboutFileCandidates(QStringLiteral("zot-about.rtf"), QStringLiteral("/opt/zot")),
        (QStringList{QStringLiteral("zot-about.rtf"), QStringLiteral("/opt/zot/zot-about.rtf")}));
}

TEST(Locations, WritableFoldersAreFoundByTryingAndTheTryLeavesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(canCreateFilesIn(dir.path()));
    EXPECT_TRUE(QDir(dir.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
    // Not even root can create a file in /proc.
    EXPECT_FALSE(canCreateFilesIn(QStringLiteral("/proc")));
    EXPECT_FALSE(canCreateFilesIn(dir.filePath(QStringLiteral("missing"))));
    QFile file(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(canCreateFilesIn(file.fileName()));
}

TEST(Locations, AFolderWithoutWritePermissionIsWritableOnlyForRoot) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                      QFileDevice::ReadGroup |
                                                      QFileDevice::ExeGroup));
    // Root ignores the permission bits: the program folder then really is
    // writable and the wallpaper may stay there.
    EXPECT_EQ(canCreateFilesIn(dir.path()), geteuid() == 0);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(Locations, WallpaperStaysInAWritableProgramFolder) {
    QTemporaryDir program;
    QTemporaryDir dataHome;
    ASSERT_TRUE(program.isValid() && dataHome.isValid());
    EnvironmentOverride variable("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    EXPECT_EQ(wallpaperFolder(program.path()), program.path() + u'/');
    EXPECT_EQ(wallpaperFolder(program.path() + u'/'), program.path() + u'/');
    // The user's folder is not made when it is not needed.
    EXPECT_FALSE(QFileInfo::exists(dataHome.filePath(QStringLiteral("zotmaker"))));
}

TEST(Locations, WallpaperGoesToTheUserDataFolderWhenTheProgramFolderIsReadOnly) {
    QTemporaryDir dataHome;
    ASSERT_TRUE(dataHome.isValid());
    const QString base = dataHome.filePath(QStringLiteral("not/yet"));
    EnvironmentOverride variable("XDG_DATA_HOME", QFile::encodeName(base));
    const QString expected = base + QStringLiteral("/zotmaker/");
    EXPECT_EQ(wallpaperFolder(QStringLiteral("/proc")), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    // Again, with the folder there now.
    EXPECT_EQ(wallpaperFolder(QStringLiteral("/proc")), expected);
}

} // namespace
} // namespace zot::test
