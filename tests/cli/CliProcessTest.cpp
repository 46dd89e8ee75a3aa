// zotmaker-cli started by hand: with arguments as the shell hands them over,
// bytes that for a design unpacked from a Windows archive are not UTF-8
// (QProcess passes only UTF-8), and under limits on its resources.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "support/RawNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zot::test {
namespace {

// AddressSanitizer reserves terabytes of address space up front: under a
// limit on it the program cannot even start.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct RawResult {
    int status = -1; // the exit status, or 128 + the signal that ended it
    std::string err; // as UTF-8
};

struct Limit {
    int resource;
    rlim_t value;
};

RawResult runCliRaw(const QList<QByteArray>& args, const std::vector<Limit>& limits = {}) {
    QTemporaryFile err;
    EXPECT_TRUE(err.open());
    QByteArrayList owned{QByteArrayLiteral(ZOT_CLI_PATH)};
    owned += args;
    std::vector<char*> argv;
    for (QByteArray& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe between fork and exec in a program with threads.
        for (const Limit& limit : limits) {
            const struct rlimit value { limit.value, limit.value };
            if (::setrlimit(limit.resource, &value) != 0)
                ::_exit(120);
        }
        ::dup2(err.handle(), STDERR_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(121);
    }
    RawResult result;
    int status = 0;
    EXPECT_GT(pid, 0);
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    err.seek(0);
    result.err = err.readAll().toStdString();
    return result;
}

QByteArray readRaw(const QByteArray& path) {
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    return file.readAll();
}

class CliProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = QFile::encodeName(dir.path());
        design = root + "/M\xfcller"; // "Müller" as Windows writes it
        mkdirRaw(design);
        mkdirRaw(design + "/chars");
        Bitmap background = Bitmap::create(30, 10, 24);
        background.fill(0xffffffff);
        writeRaw(design + "/bg.bmp", encodeBmp(background));
        Bitmap a = Bitmap::create(5, 10, 24);
        a.fill(0xffff0000);
        writeRaw(design + "/chars/a.bmp", encodeBmp(a));
        writeRaw(design + "/script.zot",
                 "backgroundImage=bg.bmp\nimgFont\nname=chars\nimgFontEnd\n");
    }

    RawTemporaryDir dir;
    QByteArray root;
    QByteArray design;
};

TEST_F(CliProcessTest, WindowsNamedFoldersAndFilesAreFoundByTheirBytes) {
    RawResult r = runCliRaw({"check", design});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    const QByteArray batch = root + "/Stra\xdf"
                                    "e.txt"; // "Straße.txt"
    writeRaw(batch, "a;one.bmp\naa;two.bmp\n");
    const QByteArray out = root + "/Ausgabe \xe4"; // "Ausgabe ä"
    mkdirRaw(out);
    for (const char* jobs : {"1", "2"}) {
        r = runCliRaw({"batch", design, batch, out, "--jobs", jobs});
        EXPECT_EQ(r.status, 0) << jobs << ": " << r.err;
        const std::optional<Bitmap> two = decodeBmp(readRaw(out + "/two.bmp"));
        ASSERT_TRUE(two) << jobs;
        EXPECT_EQ(two->pixel(9, 5), 0xffff0000u);
        EXPECT_TRUE(decodeBmp(readRaw(out + "/one.bmp"))) << jobs;
        ASSERT_EQ(::unlink((out + "/one.bmp").constData()), 0);
        ASSERT_EQ(::unlink((out + "/two.bmp").constData()), 0);
    }

    r = runCliRaw({"render", design, "--text", "aaa", "--out", out + "/r.bmp"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::optional<Bitmap> rendered = decodeBmp(readRaw(out + "/r.bmp"));
    ASSERT_TRUE(rendered);
    EXPECT_EQ(rendered->pixel(14, 5), 0xffff0000u);
}

TEST_F(CliProcessTest, AMissingScriptIsNamedAsWindowsWouldShowIt) {
    const QByteArray empty = root + "/Caf\xe9";
    mkdirRaw(empty);
    const RawResult r = runCliRaw({"check", empty});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Zotmaker: Cannot open file " + dir.path().toStdString() + "/Café/script.zot.\n");
}

TEST_F(CliProcessTest, AThreadThatCannotStartEndsTheBatchWithOneLine) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "address space limits do not work under AddressSanitizer";
    QByteArray lines;
    for (int i = 0; i < 100; ++i)
        lines += "a;f" + QByteArray::number(i) + ".bmp\n";
    const QByteArray batch = root + "/batch.txt";
    writeRaw(batch, lines);
    const QByteArray out = root + "/out";
    mkdirRaw(out);
    // Stacks of 1 GiB in 16 GiB of address space: some fifteen of the 64
    // threads start, and the next one cannot.
    constexpr rlim_t kGiB = rlim_t(1) << 30;
    const RawResult r = runCliRaw({"batch", design, batch, out, "--jobs", "64"},
                                  {{RLIMIT_STACK, kGiB}, {RLIMIT_AS, 16 * kGiB}});
    EXPECT_EQ(r.status, 1) << r.err;
    // The system's words for it, in the user's language: one line of ours.
    EXPECT_EQ(r.err.rfind("Zotmaker: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    // Stopped before its first line.
    EXPECT_TRUE(QDir(QFile::decodeName(out)).isEmpty());
}

TEST_F(CliProcessTest, HugeDataFilesEndTheBatchInLittleMemory) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "address space limits do not work under AddressSanitizer";
    const QByteArray out = root + "/out";
    mkdirRaw(out);
    // A field of 1 GiB (a sparse file: its bytes are zeros), a row of a
    // million fields, a file of quotes: each would take far more than the
    // 512 MiB of address space given, were it held.
    const QByteArray huge = root + "/huge.csv";
    writeRaw(huge, "#1,file\n\"");
    ASSERT_EQ(::truncate(huge.constData(), off_t(1) << 30), 0);
    const QByteArray wide = root + "/wide.csv";
    writeRaw(wide, "#1,file\n" + QByteArray(1000000, ',') + "\n");
    const QByteArray quotes = root + "/quotes.csv";
    writeRaw(quotes, "#1,file\n" + QByteArray(3 << 20, '"'));
    struct Case {
        QByteArray file;
        std::string message;
    };
    for (const Case& c :
         {Case{huge, "a field is longer than 1 MiB"}, Case{wide, "it has more than 10,000 fields"},
          Case{quotes, "a field is longer than 1 MiB"}}) {
        SCOPED_TRACE(c.file.toStdString());
        const RawResult r = runCliRaw({"batch", design, c.file, out, "--input", "csv"},
                                      {{RLIMIT_AS, rlim_t(512) << 20}});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.file.toStdString() + " row 1 (line 2): " + c.message + "\n");
    }
    EXPECT_TRUE(QDir(QFile::decodeName(out)).isEmpty());
}

} // namespace
} // namespace zot::test
