// zotmaker-cli batch killed outright (SIGKILL, as a crash, the OOM killer or
// a pulled plug would end it) at several moments: every output name holds
// either what it held before or its complete new logo, never a part of one,
// and a rerun with --skip-existing completes the batch and removes the
// temporary files the killed run left.
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zot::test {
namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// With openFiles, under that limit of open files, soft and hard.
pid_t startCli(const QStringList& args, rlim_t openFiles = 0) {
    QByteArrayList owned{QByteArrayLiteral(ZOT_CLI_PATH)};
    for (const QString& arg : args)
        owned += QFile::encodeName(arg);
    std::vector<char*> argv;
    for (QByteArray& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        const struct rlimit limit = {openFiles, openFiles};
        if (openFiles > 0 && ::setrlimit(RLIMIT_NOFILE, &limit) != 0)
            ::_exit(122);
        ::execv(argv[0], argv.data());
        ::_exit(121);
    }
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int runCli(const QStringList& args) {
    return finish(startCli(args));
}

QString hostName() {
    char host[HOST_NAME_MAX + 1] = {};
    ::gethostname(host, sizeof host - 1);
    return QString::fromUtf8(host);
}

ino_t inodeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class CliKillTest : public ::testing::Test {
  protected:
    static constexpr int kLines = 1500;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const int unnamed = ::open(QFile::encodeName(dir.path()).constData(),
                                   O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        unnamedFiles = unnamed >= 0;
        if (unnamed >= 0)
            ::close(unnamed);
        design = dir.path() + QStringLiteral("/Logo");
        QDir().mkpath(design);
        Bitmap background = Bitmap::create(160, 40, 24);
        background.fill(0xffe0e0f0);
        writeBmpFile(background, design + "/bg.bmp");
        writeFile(design + "/script.zot",
                  "backgroundImage=bg.bmp\nttfFont\nname=DejaVu Sans\nsize=14\nxpos=center\n"
                  "align=center\nypos=8\nttfFontEnd\n");
        QByteArray lines;
        for (int i = 0; i < kLines; ++i)
            lines +=
                "Customer " + QByteArray::number(i) + ";logo" + QByteArray::number(i) + ".bmp\n";
        batch = dir.path() + QStringLiteral("/batch.txt");
        writeFile(batch, lines);
        const QString reference = dir.path() + QStringLiteral("/reference");
        QDir().mkpath(reference);
        ASSERT_EQ(runCli({"batch", design, batch, reference}), 0);
        for (int i = 0; i < kLines; ++i) {
            const QString name = QStringLiteral("logo%1.bmp").arg(i);
            expected[name] = readFile(reference + u'/' + name);
            ASSERT_TRUE(decodeBmp(expected[name])) << name.toStdString();
        }
    }

    // Checks a folder after a kill of pid: what each name holds, and that
    // every hidden file but the one at skipped is one of that process's
    // temporary files. The number of names that held a new logo.
    int check(const QString& out, pid_t pid, const QByteArray& old, const QString& skipped = {}) {
        const QRegularExpression temporary(QStringLiteral("^\\.(logo\\d+\\.bmp)\\.zot-") +
                                           QRegularExpression::escape(hostName()) + u'-' +
                                           QString::number(pid) + QStringLiteral("-\\d+\\.tmp$"));
        int complete = 0;
        for (const QString& name : QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (out + u'/' + name == skipped)
                continue;
            ++checked;
            if (name.startsWith(u'.')) {
                const QRegularExpressionMatch m = temporary.match(name);
                EXPECT_TRUE(m.hasMatch()) << name.toStdString();
                EXPECT_TRUE(expected.count(m.captured(1))) << name.toStdString();
                ++temporaries;
                continue;
            }
            const auto it = expected.find(name);
            if (it == expected.end()) {
                ADD_FAILURE() << "unexpected file " << name.toStdString();
                continue;
            }
            const QByteArray bytes = readFile(out + u'/' + name);
            if (bytes == it->second)
                ++complete;
            else
                EXPECT_EQ(bytes, old)
                    << name.toStdString() << " holds " << bytes.size() << " bytes";
        }
        return complete;
    }

    QTemporaryDir dir;
    QString design;
    QString batch;
    std::map<QString, QByteArray> expected;
    // The temporary files in out (but skipped) that a rerun left: none,
    // except where this file system cannot make files unnamed: there a
    // writer killed between making its file and locking it leaves an empty
    // one, removed once it is a minute old.
    int leftAfterRerun(const QString& out, const QString& skipped = {}) {
        int left = 0;
        for (const QFileInfo& file : QDir(out).entryInfoList(QStringList{QStringLiteral(".*.tmp")},
                                                             QDir::Files | QDir::Hidden))
            left += file.filePath() != skipped && (unnamedFiles || file.size() > 0) ? 1 : 0;
        leftAfterReruns += left;
        return left;
    }

    int checked = 0;
    int temporaries = 0;
    int leftAfterReruns = 0;
    bool unnamedFiles = false;
};

TEST_F(CliKillTest, AKilledBatchLeavesNoPartOfAFileAndARerunCompletesIt) {
    int kills = 0;
    for (const char* jobs : {"1", "2"}) {
        // Killed once so many files are there: 0 is at once, before the
        // design is even open.
        for (int moment : {0, 1, 150, 600, 1000}) {
            SCOPED_TRACE(std::string("jobs ") + jobs + ", files " + std::to_string(moment));
            const QString out = dir.path() + QStringLiteral("/out-%1-%2").arg(jobs).arg(moment);
            QDir().mkpath(out);
            // Being written by a process on another machine sharing the
            // folder: it holds the lock, and no run may remove it.
            const QString foreign = out + QStringLiteral("/.logo3.bmp.zot-elsewhere-1-0.tmp");
            writeFile(foreign, "theirs");
            const int theirs = ::open(QFile::encodeName(foreign).constData(), O_WRONLY | O_CLOEXEC);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            ASSERT_EQ(::fcntl(theirs, F_OFD_SETLK, &lock), 0);
            const pid_t pid = startCli({"batch", design, batch, out, "--jobs", jobs});
            ASSERT_GT(pid, 0);
            while (moment > 0 && QDir(out).entryList(QDir::Files).size() < moment) {
                int status = 0;
                if (::waitpid(pid, &status, WNOHANG) == pid)
                    FAIL() << "the batch ended before it was killed";
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ::kill(pid, SIGKILL);
            EXPECT_EQ(finish(pid), 128 + SIGKILL);
            ++kills;
            check(out, pid, QByteArray("<never written>"), foreign);

            EXPECT_EQ(runCli({"batch", design, batch, out, "--skip-existing"}), 0);
            EXPECT_EQ(leftAfterRerun(out, foreign), 0);
            EXPECT_EQ(check(out, pid, QByteArray("<never written>"), foreign), kLines);
            EXPECT_EQ(readFile(foreign), "theirs");
            ::close(theirs);
            ASSERT_TRUE(QFile::remove(foreign));
        }
    }
    // Replacing old files: each name holds the old file or the new one.
    const QByteArray old = "an old file of the same name";
    for (int moment : {0, 1, 300, 900}) {
        SCOPED_TRACE("replacing, files " + std::to_string(moment));
        const QString out = dir.path() + QStringLiteral("/old-%1").arg(moment);
        QDir().mkpath(out);
        std::map<QString, ino_t> inodes;
        for (const auto& [name, bytes] : expected) {
            writeFile(out + u'/' + name, old);
            inodes[name] = inodeOf(out + u'/' + name);
        }
        const pid_t pid = startCli({"batch", design, batch, out, "--jobs", "2"});
        ASSERT_GT(pid, 0);
        // A replaced name leads to a new file.
        const auto replaced = [&] {
            int n = 0;
            for (const auto& [name, inode] : inodes)
                n += inodeOf(out + u'/' + name) != inode ? 1 : 0;
            return n;
        };
        while (moment > 0 && replaced() < moment) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                FAIL() << "the batch ended before it was killed";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ::kill(pid, SIGKILL);
        EXPECT_EQ(finish(pid), 128 + SIGKILL);
        ++kills;
        const int complete = check(out, pid, old);
        EXPECT_GE(complete, moment);
        EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), size_t(kLines));
        // A rerun finds every name there, and still clears the folder.
        EXPECT_EQ(runCli({"batch", design, batch, out, "--skip-existing"}), 0);
        EXPECT_EQ(leftAfterRerun(out), 0);
        EXPECT_EQ(check(out, pid, old), complete);
    }
    std::printf("%d kills, %d files checked, %d temporary files left by killed runs, %d left "
                "after reruns\n",
                kills, checked, temporaries, leftAfterReruns);
}

// A file written ahead of its turn holds a descriptor until it is put in
// place: the most jobs there are, under a low limit of open files, still
// write the batch.
TEST_F(CliKillTest, ManyJobsKeepWithinALowOpenFileLimit) {
    const QString out = dir.path() + QStringLiteral("/many-jobs");
    QDir().mkpath(out);
    EXPECT_EQ(finish(startCli({"batch", design, batch, out, "--jobs", "64"}, 512)), 0);
    EXPECT_EQ(check(out, 0, QByteArray("<never written>")), kLines);
    EXPECT_EQ(temporaries, 0);
}

// Parts of a batch run as separate processes: usage errors, and the union
// of the parts is one run's files.
TEST_F(CliKillTest, PartsRunAsProcessesWriteOneRunsFiles) {
    for (const char* bad : {"0/2", "3/2", "1/0", "x", "1/2/3", "-1/2"})
        EXPECT_EQ(runCli({"batch", design, batch, dir.path(), "--shard", bad}), 2) << bad;
    EXPECT_EQ(runCli({"check", design, "--shard", "1/2"}), 2);
    EXPECT_EQ(runCli({"check", design, "--skip-existing"}), 2);

    const QString out = dir.path() + QStringLiteral("/parts");
    QDir().mkpath(out);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(runCli({"batch", design, batch, out, "--shard", QStringLiteral("%1/4").arg(k),
                          "--jobs", QString::number(1 + k % 2)}),
                  0);
    }
    EXPECT_EQ(check(out, 0, QByteArray("<never written>")), kLines);
    EXPECT_EQ(temporaries, 0);
}

} // namespace
} // namespace zot::test
