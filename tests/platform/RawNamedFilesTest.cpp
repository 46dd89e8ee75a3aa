// Batch files and output folders named on Windows: a path built from the
// decoded name finds and writes the files by their real bytes.
#include "platform/FileWriting.h"
#include "platform/TextLineReader.h"
#include "support/RawNames.h"

#include <QFile>
#include <gtest/gtest.h>
#include <unistd.h>

namespace zot::test {
namespace {

QByteArray readRaw(const QByteArray& path) {
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return "<unreadable>";
    return file.readAll();
}

class RawNamedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = QFile::encodeName(dir.path()) + "/Sch\xf6n"; // "Schön"
        mkdirRaw(folder);
        decoded = dir.path() + QStringLiteral("/Schön");
    }
    RawTemporaryDir dir;
    QByteArray folder;
    QString decoded;
};

TEST_F(RawNamedFiles, WritesNewAndReplacedFilesInAWindowsNamedFolder) {
    writeFileReplacing(decoded + QStringLiteral("/logo.bmp"), "first");
    EXPECT_EQ(readRaw(folder + "/logo.bmp"), QByteArray("first"));
    writeFileReplacing(decoded + QStringLiteral("/logo.bmp"), "second");
    EXPECT_EQ(readRaw(folder + "/logo.bmp"), QByteArray("second"));
    // Nothing was made under the UTF-8 spelling of the folder.
    EXPECT_NE(::access((QFile::encodeName(decoded)).constData(), F_OK), 0);
}

TEST_F(RawNamedFiles, ReplacingALinkWritesTheFileItNames) {
    writeRaw(folder + "/\xe9t\xe9.bmp", "old"); // "été.bmp"
    ASSERT_EQ(::symlink("\xe9t\xe9.bmp", (folder + "/link.bmp").constData()), 0);
    writeFileReplacing(decoded + QStringLiteral("/link.bmp"), "new");
    EXPECT_EQ(readRaw(folder + "/\xe9t\xe9.bmp"), QByteArray("new"));
    char target[64] = {};
    ASSERT_GT(::readlink((folder + "/link.bmp").constData(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "\xe9t\xe9.bmp");
}

TEST_F(RawNamedFiles, ReadsABatchFileByItsBytesAndNamesItInErrors) {
    writeRaw(folder + "/Stra\xdf"
                      "e.txt",
             "a;one.bmp\n" + QByteArray(TextLineReader::kMaxLineBytes + 1, 'x'));
    const QString path = decoded + QStringLiteral("/Straße.txt");
    TextLineReader lines(path);
    EXPECT_EQ(lines.lineCount(), 2);
    EXPECT_EQ(lines.next(), std::optional<QString>(QStringLiteral("a;one.bmp")));
    try {
        lines.next();
        ADD_FAILURE() << "a line over the limit was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Line 2 of %1 is longer than 1 MiB").arg(path));
    }
}

} // namespace
} // namespace zot::test
