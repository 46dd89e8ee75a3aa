#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot::test {
namespace {

void touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(Paths, DesignFilesAreFoundIgnoringCaseWithEitherSeparator) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    QDir().mkpath(root + "Letters");
    touch(root + "Letters/a.BMP");
    PathResolver resolver;
    EXPECT_EQ(resolver.resolve(dir.path(), "letters\\A.bmp"), root + "Letters/a.BMP");
    EXPECT_EQ(resolver.resolve(root, "Letters/a.BMP"), root + "Letters/a.BMP");
    // Nothing matches: the name stays as written.
    EXPECT_EQ(resolver.resolve(root, "letters\\none.bmp"), root + "Letters/none.bmp");
    EXPECT_EQ(joinPath(root, "LETTERS"), root + "Letters");
}

TEST(Paths, NamesAlikeButForCaseResolveToOneOfThemEveryTime) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    touch(root + "aB.bmp");
    touch(root + "Ab.bmp");
    touch(root + QStringLiteral("Über.png"));
    for (int i = 0; i < 3; ++i) {
        PathResolver resolver;
        EXPECT_EQ(resolver.resolve(root, "AB.BMP"), root + "Ab.bmp");
        EXPECT_EQ(resolver.resolve(root, "aB.bmp"), root + "aB.bmp"); // as written wins
        EXPECT_EQ(resolver.resolve(root, QStringLiteral("üBER.PNG")),
                  root + QStringLiteral("Über.png"));
    }
}

TEST(Paths, ResolverListsEachFolderOnce) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    touch(root + "one.bmp");
    PathResolver resolver;
    EXPECT_EQ(resolver.resolve(root, "ONE.bmp"), root + "one.bmp");
    // A file that appears later is not seen until the listings are dropped.
    touch(root + "two.bmp");
    EXPECT_EQ(resolver.resolve(root, "TWO.bmp"), root + "TWO.bmp");
    resolver.clear();
    EXPECT_EQ(resolver.resolve(root, "TWO.bmp"), root + "two.bmp");
}

TEST(Paths, OutputPathsAreUsedAsWritten) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    touch(root + "acme.bmp");
    QDir().mkpath(root + "Sub");
    EXPECT_EQ(outputPath(dir.path(), "ACME.bmp"), root + "ACME.bmp");
    EXPECT_EQ(outputPath(root, "sub\\x.bmp"), root + "sub/x.bmp");
    EXPECT_EQ(outputPath(dir.path(), ""), root);
}

TEST(Paths, OutputNamesMayNotClimbOutOfTheirFolder) {
    for (const char* inside : {"logo.bmp", "sub\\logo.bmp", "sub/../logo.bmp", "./a/./b/../c",
                               "a\\b\\..\\..\\c", "", "/abs/x.bmp"})
        EXPECT_TRUE(staysInFolder(QString::fromLatin1(inside))) << inside;
    for (const char* outside : {"..\\logo.bmp", "../logo.bmp", "sub\\..\\..\\x", "a/../../b", ".."})
        EXPECT_FALSE(staysInFolder(QString::fromLatin1(outside))) << outside;
}

} // namespace
} // namespace zot::test
