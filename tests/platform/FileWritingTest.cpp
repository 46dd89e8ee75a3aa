// Writing a file through a temporary name beside it: what the name looks
// like at the file system's limits, and where links lead the write.
#include "platform/FileWriting.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

TEST_F(FileWriting, DevicesAndPipesAreWrittenIntoNeverReplaced) {
    // A pipe stands for every file that is not a plain one (a test run as
    // root must not risk /dev/null): named or through a link, with a reader it
    // gets the bytes; without one the write is an error. It stays a pipe.
    const QByteArray fifo = QFile::encodeName(at("pipe.bmp"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_EQ(::symlink("pipe.bmp", QFile::encodeName(at("link.bmp")).constData()), 0);
    EXPECT_THROW(writeFileReplacing(at("pipe.bmp"), "logo"), Error);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    writeFileReplacing(at("pipe.bmp"), "logo");
    writeFileReplacing(at("link.bmp"), "bmp!");
    char got[16] = {};
    EXPECT_EQ(::read(reader, got, sizeof got - 1), 8);
    EXPECT_STREQ(got, "logobmp!");
    ::close(reader);
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_TRUE(hidden().isEmpty()) << hidden().join(u' ').toStdString();
}

// Temporary files left by killed runs are removed; a file a live writer
// holds (named as this very process names its own, as a restarted
// container's process would), an empty one a writer may be about to lock,
// other names, links, folders and what is below the folder are kept.
TEST_F(FileWriting, OnlyAbandonedTemporaryFilesAreRemoved) {
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const auto ours = [&](const char* target) {
        return temporaryFileName(folder + target, 1000).mid(folder.size());
    };
    enum Kind { File, Empty, Locked, Link, Folder, Below };
    const struct {
        QByteArray name;
        Kind kind;
        bool removed;
    } cases[] = {
        {ours("a.bmp"), File, true},
        {temporaryFileName(folder + QByteArray(300, 'n'), 2).mid(folder.size()), File, true},
        {".b.bmp.zot-other-host.example-7-0.tmp", File, true},
        {ours("c.bmp"), Locked, false},
        {ours("d.bmp"), Empty, false},
        {ours("e.bmp"), Link, false},
        {ours("f.bmp"), Folder, false},
        {ours("g.bmp"), Below, false},
        {"logo.bmp", File, false},
        {".logo.bmp", File, false},
        {"a.bmp.zot-h-1-2.tmp", File, false},
        {".a.bmp.zot-h-1-x.tmp", File, false},
        {".a.bmp.zot-h-1-2.tmp~", File, false},
        {".a.bmp.zot--1-2.tmp", File, false},
        {"..zot-h-1-2.tmp", File, false},
    };
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/sub"));
    writeFileReplacing(at("outside.bmp"), "a file a link leads to");
    int lockFd = -1;
    int expected = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.constData());
        const QByteArray path = folder + (c.kind == Below ? "sub/" + c.name : c.name);
        expected += c.removed ? 1 : 0;
        if (c.kind == Link) {
            ASSERT_EQ(::symlink("outside.bmp", path.constData()), 0);
        } else if (c.kind == Folder) {
            ASSERT_EQ(::mkdir(path.constData(), 0777), 0);
        } else {
            QFile file(QFile::decodeName(path));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            if (c.kind != Empty)
                file.write("bytes");
        }
        if (c.kind == Locked) {
            // Another open file description holds it, as its writer does.
            lockFd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            ASSERT_EQ(::fcntl(lockFd, F_OFD_SETLK, &lock), 0);
        }
    }
    // And a write of this process in flight.
    PendingFile pending = PendingFile::write(at("pending.bmp"), "pending");
    const QStringList before = hidden();

    EXPECT_EQ(removeAbandonedTemporaryFiles(folder), expected);
    for (const auto& c : cases) {
        const QByteArray path = folder + (c.kind == Below ? "sub/" + c.name : c.name);
        struct stat st {};
        EXPECT_EQ(::lstat(path.constData(), &st) != 0, c.removed) << c.name.constData();
    }
    EXPECT_EQ(readAll(at("outside.bmp")), "a file a link leads to");
    EXPECT_EQ(hidden().size(), before.size() - expected);
    pending.commit();
    EXPECT_EQ(readAll(at("pending.bmp")), "pending");

    // Once its writer is gone, the locked one goes too.
    ::close(lockFd);
    EXPECT_EQ(removeAbandonedTemporaryFiles(folder), 1);
    EXPECT_FALSE(QFile::exists(QFile::decodeName(folder + ours("c.bmp"))));
}

} // namespace
} // namespace zot::test
