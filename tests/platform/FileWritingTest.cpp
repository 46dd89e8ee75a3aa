// Writing a file through a temporary name beside it: what the name looks
// like at the file system's limits, and where links lead the write.
#include "platform/FileWriting.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zot::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(TemporaryFileName, StaysInTheFolderHiddenAndWithinTheNameLimit) {
    const QByteArray folder = "/some/folder/";
    const QByteArray shortName = temporaryFileName(folder + "logo.bmp", 7);
    EXPECT_TRUE(shortName.startsWith(folder + ".logo.bmp.zot-")) << shortName.constData();
    EXPECT_TRUE(shortName.endsWith(QByteArray::number(qint64(::getpid())) + "-7.tmp"));
    EXPECT_NE(temporaryFileName(folder + "logo.bmp", 8), shortName);

    // Names of 255 bytes that differ only at the end.
    const QByteArray a = QByteArray(254, 'n') + 'a';
    const QByteArray b = QByteArray(254, 'n') + 'b';
    const QByteArray ta = temporaryFileName(folder + a, 1);
    const QByteArray tb = temporaryFileName(folder + b, 1);
    for (const QByteArray& t : {ta, tb}) {
        ASSERT_TRUE(t.startsWith(folder + '.'));
        EXPECT_LE(t.size() - folder.size(), 255);
        EXPECT_TRUE(t.endsWith(".tmp"));
    }
    EXPECT_NE(ta, tb);
}

class FileWriting : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString at(const char* name) const { return dir.path() + u'/' + QString::fromUtf8(name); }
    QStringList hidden() const {
        return QDir(dir.path())
            .entryList(QStringList{QStringLiteral(".*")},
                       QDir::Files | QDir::Hidden | QDir::System);
    }
    QTemporaryDir dir;
};

TEST_F(FileWriting, ReplacesThroughLinksAndLeavesNoTemporaryFile) {
    writeFileReplacing(at("a.bmp"), "first");
    writeFileReplacing(at("a.bmp"), "second");
    EXPECT_EQ(readAll(at("a.bmp")), "second");

    // A link to a file not there yet: the file is made, the link kept.
    ASSERT_EQ(::symlink("target.bmp", QFile::encodeName(at("link.bmp")).constData()), 0);
    writeFileReplacing(at("link.bmp"), "through");
    EXPECT_EQ(readAll(at("target.bmp")), "through");
    EXPECT_TRUE(QFileInfo(at("link.bmp")).isSymLink());
    // A link to a link.
    ASSERT_EQ(::symlink("link.bmp", QFile::encodeName(at("link2.bmp")).constData()), 0);
    writeFileReplacing(at("link2.bmp"), "twice");
    EXPECT_EQ(readAll(at("target.bmp")), "twice");
    EXPECT_TRUE(hidden().isEmpty()) << hidden().join(u' ').toStdString();
}

TEST_F(FileWriting, WhatCannotBeReplacedIsReportedAndLeftAsItWas) {
    QDir().mkpath(at("folder.bmp"));
    ASSERT_EQ(::symlink("loop2", QFile::encodeName(at("loop1")).constData()), 0);
    ASSERT_EQ(::symlink("loop1", QFile::encodeName(at("loop2")).constData()), 0);
    for (const char* name : {"folder.bmp", "loop1", "missing/x.bmp", ""}) {
        try {
            writeFileReplacing(at(name), "bytes");
            ADD_FAILURE() << name << " was written";
        } catch (const Error& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Cannot create file ") + at(name));
        }
    }
    EXPECT_TRUE(QFileInfo(at("folder.bmp")).isDir());
    EXPECT_TRUE(hidden().isEmpty()) << hidden().join(u' ').toStdString();

    // A write that is taken back leaves the old file as it was.
    writeFileReplacing(at("kept.bmp"), "old");
    PendingFile pending = PendingFile::write(at("kept.bmp"), "new");
    EXPECT_EQ(readAll(at("kept.bmp")), "old");
    pending.discard();
    EXPECT_EQ(readAll(at("kept.bmp")), "old");
    EXPECT_TRUE(hidden().isEmpty());
}

} // namespace
} // namespace zot::test
