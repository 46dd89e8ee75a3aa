// Reading a file of a downloaded design: only regular files, never more than
// the limit, and never waiting on a pipe.
#include "platform/NativeFiles.h"
#include "support/RawNames.h"

#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zot::test {
namespace {

constexpr qint64 kLimit = 1000;

struct ReadCase {
    const char* name;
    // Makes the entry "entry" in the folder given; false when it cannot.
    std::function<bool(const QByteArray& folder)> make;
    NativeRead expected;
    qsizetype bytesRead; // the size of what is handed back
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

bool writeBytes(const QByteArray& path, qsizetype size) {
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, 'x')) == size;
}

class NativeReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(NativeReadTest, ReadsOnlyARegularFileWithinTheLimit) {
    const ReadCase& c = GetParam();
    RawTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_TRUE(c.make(folder));
    QByteArray bytes("left over");
    EXPECT_EQ(readNativeFile(dir.path() + QStringLiteral("/entry"), kLimit, bytes), c.expected);
    EXPECT_EQ(bytes.size(), c.bytesRead);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, NativeReadTest,
    ::testing::Values(
        ReadCase{"Empty", [](const QByteArray& f) { return writeBytes(f + "/entry", 0); },
                 NativeRead::Read, 0},
        ReadCase{"AtTheLimit", [](const QByteArray& f) { return writeBytes(f + "/entry", kLimit); },
                 NativeRead::Read, kLimit},
        ReadCase{"OneByteOver",
                 [](const QByteArray& f) { return writeBytes(f + "/entry", kLimit + 1); },
                 NativeRead::TooLarge, 0},
        ReadCase{"LinkToARegularFile",
                 [](const QByteArray& f) {
                     return writeBytes(f + "/target", 5) &&
                            ::symlink("target", (f + "/entry").constData()) == 0;
                 },
                 NativeRead::Read, 5},
        // Nobody ever writes: opening it the ordinary way would wait for ever.
        ReadCase{
            "PipeWithoutAWriter",
            [](const QByteArray& f) { return ::mkfifo((f + "/entry").constData(), 0644) == 0; },
            NativeRead::NotAFile, 0},
        ReadCase{"LinkToAPipe",
                 [](const QByteArray& f) {
                     return ::mkfifo((f + "/pipe").constData(), 0644) == 0 &&
                            ::symlink("pipe", (f + "/entry").constData()) == 0;
                 },
                 NativeRead::NotAFile, 0},
        // An endless device that claims to be empty.
        ReadCase{"LinkToDevZero",
                 [](const QByteArray& f) {
                     return ::symlink("/dev/zero", (f + "/entry").constData()) == 0;
                 },
                 NativeRead::NotAFile, 0},
        ReadCase{"Folder",
                 [](const QByteArray& f) { return ::mkdir((f + "/entry").constData(), 0755) == 0; },
                 NativeRead::NotAFile, 0},
        ReadCase{"DanglingLink",
                 [](const QByteArray& f) {
                     return ::symlink("nowhere", (f + "/entry").constData()) == 0;
                 },
                 NativeRead::Unreadable, 0},
        ReadCase{"Missing", [](const QByteArray&) { return true; }, NativeRead::Unreadable, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NativeRead, StopsOneBytePastTheLimitWhateverTheFileClaims) {
    // A regular file that says it is empty and is not.
    QByteArray bytes;
    EXPECT_EQ(readNativeFile(QStringLiteral("/proc/self/maps"), 16, bytes), NativeRead::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    ASSERT_EQ(readNativeFile(QStringLiteral("/proc/self/maps"), 1024 * 1024, bytes),
              NativeRead::Read);
    EXPECT_GT(bytes.size(), 16);
}

TEST(NativeRead, FindsAWindowsNameByItsBytes) {
    RawTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path()) + "/Caf\xe9";
    mkdirRaw(folder);
    writeRaw(folder + "/\xfc.rtf", "about");
    QByteArray bytes;
    ASSERT_EQ(readNativeFile(dir.path() + QStringLiteral("/Café/ü.rtf"), kLimit, bytes),
              NativeRead::Read);
    EXPECT_EQ(bytes, QByteArray("about"));
}

} // namespace
} // namespace zot::test
