// zotmaker-cli batch as a user runs it: into a fresh, empty output folder,
// at 10,000 and 100,000 lines, in memory (tmpfs) and on disk, with one and
// two jobs, start-up included. Beside it, in the same run, the floor: one
// C++ process that only copies the background and writes each BMP file.
//
//   bench_batch [WORK_DIR [DISK_DIR]] [--min-lines N] [--max-lines N] [--runs R]
//               [--store tmpfs|disk] [--png [--png-before CLI]] [--cli CLI]
//
// --cli: the BMP batches with another build's zotmaker-cli, to compare.
//
// --png: PNG against BMP instead, at 2,000 and 20,000 lines unless told, on
// the sample design Sale Leaderboard (728 x 90): each run writes the batch
// as BMP and as PNG with one and two jobs (and as PNG with another build's
// zotmaker-cli, --png-before), and ImageMagick's mogrify, where installed,
// turns that run's BMP files into PNG files in one process.
//
// On a disk, outputs are kept until a case's runs are done: ext4 without a
// journal passes over every inode freed in the last minute when it makes a
// file, so a folder of logos deleted just before a run would make that run
// pay for it (up to 5x here), which no user's first batch does. Where the
// disk has no room for that, they are deleted between runs, and marked so.
#include "BenchDesigns.h"
#include "BenchSupport.h"
#include "imaging/BmpCodec.h"
#include "imaging/ImageLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using zot::bench::median;
using zot::bench::takeIntOption;
using zot::bench::takeOption;

namespace {

struct Run {
    double seconds = 0;
    long peakKb = 0;
    double cpuSeconds = 0; // user and system
    int status = -1;
};

// Runs a program to its end: wall time, peak memory, exit status.
// The peak comes from GNU time where it is installed: a child's own
// ru_maxrss starts at the peak of the process that spawned it (the kernel
// keeps it across exec), and this one grows to tens of MiB over a run.
Run runProgram(const QByteArrayList& program) {
    static const QByteArray gnuTime = QByteArrayLiteral("/usr/bin/time");
    const bool timed = QFileInfo(QString::fromLatin1(gnuTime)).isExecutable();
    QTemporaryFile peakFile;
    QByteArrayList arguments = program;
    if (timed && peakFile.open())
        arguments =
            QByteArrayList{gnuTime, "-f", "%M", "-o", QFile::encodeName(peakFile.fileName())} +
            program;
    std::vector<char*> argv;
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.peakKb = usage.ru_maxrss;
    if (arguments.size() > program.size()) {
        bool ok = false;
        const long peak = peakFile.readAll().trimmed().split('\n').last().toLong(&ok);
        if (ok)
            run.peakKb = peak;
    }
    run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Run runBatch(const QString& design, const QString& batch, const QString& out, int jobs,
             const char* format = "bmp", const QByteArray& cli = ZOT_CLI_PATH) {
    return runProgram({cli, "batch", QFile::encodeName(design), QFile::encodeName(batch),
                       QFile::encodeName(out), "--jobs", QByteArray::number(jobs), "--format",
                       format});
}

// The physical floor: the background copied and written as a BMP file per
// line, with plain system calls and nothing else.
double floorSeconds(const QString& background, const QString& out, int lines) {
    const zot::Bitmap picture = zot::loadPicture(background);
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        const zot::Bitmap logo = picture;
        zot::encodeBmpInto(logo, bytes);
        const QByteArray path = QFile::encodeName(out + QStringLiteral("/logo%1.bmp").arg(i));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            std::perror("floor");
        ::close(fd);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// Every line a new customer and a new file, as a mail-merge batch is.
QString writeBatch(const QString& path, int lines, int inputs, const char* extension = "bmp") {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < lines; ++i) {
        QByteArray line;
        line += "Customer " + QByteArray::number(i) + " and sons";
        if (inputs == 2)
            line += ";www.customer" + QByteArray::number(i) + ".example";
        line += ";logo" + QByteArray::number(i) + "." + extension + "\n";
        f.write(line);
    }
    return path;
}

// Between runs: the files of the last one gone and the disk written out, so
// that no run pays for the write-back of the one before it.
void settle() {
    ::sync();
}

QString freshFolder(const QString& base) {
    static int n = 0;
    const QString folder = base + QStringLiteral("/out-%1-%2").arg(getpid()).arg(++n);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    return folder;
}

// Where the outputs of one case go when a run is done.
class Outputs {
  public:
    Outputs(const QString& base, bool keep)
        : trash_(base + QStringLiteral("/kept-%1").arg(getpid())), keep_(keep) {}
    ~Outputs() { QDir(trash_).removeRecursively(); }
    void done(const QString& folder) {
        if (!keep_) {
            QDir(folder).removeRecursively();
            return;
        }
        QDir().mkpath(trash_);
        QDir().rename(folder, trash_ + u'/' + QFileInfo(folder).fileName());
    }
    // The case is over: its files go, and the next case waits until the
    // inodes they leave are old enough to be taken without a search.
    void clear() {
        if (!keep_ || !QDir(trash_).exists())
            return;
        QDir(trash_).removeRecursively();
        settle();
        std::fprintf(stderr, "(waiting a minute for the freed inodes to age)\n");
        QThread::sleep(65);
    }

  private:
    QString trash_;
    bool keep_;
};

struct Storage {
    const char* name;
    QString base;
};

// Mean size of the files in folder, in KB.
double meanKb(const QString& folder) {
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files);
    qint64 bytes = 0;
    for (const QFileInfo& f : files)
        bytes += f.size();
    return files.isEmpty() ? 0 : double(bytes) / double(files.size()) / 1000.0;
}

// PNG against BMP on a real 728 x 90 design, and mogrify on the same logos.
void benchPng(const QString& root, const std::vector<Storage>& storages, int minLines, int maxLines,
              int runs, const QByteArray& before) {
    const QString design = QStringLiteral(ZOT_DESIGNS_DIR "/Sale Leaderboard");
    const QString mogrify = QStandardPaths::findExecutable(QStringLiteral("mogrify"));
    struct Variant {
        const char* name;
        const char* format;
        QByteArray cli;
    };
    std::vector<Variant> variants = {{"bmp", "bmp", ZOT_CLI_PATH}, {"png", "png", ZOT_CLI_PATH}};
    if (!before.isEmpty())
        variants.push_back({"before", "png", before});
    std::printf("medians of %d interleaved runs, seconds; cpu: user and system seconds; sizes: "
                "mean file, KB;\nmogrify: the BMP files of the 1-job run%s\n",
                runs, mogrify.isEmpty() ? " (not installed)" : "");
    std::printf("%-7s %-6s %6s %4s %7s %7s %7s %7s %8s %7s %7s %7s %7s %7s %8s %8s %8s %8s\n",
                "design", "store", "lines", "jobs", "floor", "bmp", "png", "png/bmp", "before",
                "bef/bmp", "bmp cpu", "png cpu", "png KB", "bef KB", "MiB bmp", "MiB png",
                "mogrify", "mog/png");
    for (const Storage& storage : storages) {
        const bool disk = QLatin1String(storage.name) == QLatin1String("disk");
        for (int lines = minLines; lines <= maxLines; lines *= 10) {
            const QString batchBmp = writeBatch(root + "/batch-bmp.txt", lines, 2, "bmp");
            const QString batchPng = writeBatch(root + "/batch-png.txt", lines, 2, "png");
            // Room for every output of the case, and 2 GiB to spare.
            const qint64 needed = qint64(runs) * 8 * lines * (200000 + 4096);
            const bool keep =
                disk && QStorageInfo(storage.base).bytesAvailable() > needed + (qint64(2) << 30);
            Outputs outputs(storage.base, keep);
            const QByteArray store = QByteArray(storage.name) + (disk && !keep ? "*" : "");
            std::vector<double> floorTimes, mogrifyTimes;
            std::map<std::pair<int, int>, std::vector<double>> times, cpu;
            std::map<std::pair<int, int>, double> kb;
            std::map<std::pair<int, int>, long> peak;
            std::map<std::pair<int, int>, int> status;
            for (int r = 0; r < runs; ++r) {
                settle();
                const QString floorOut = freshFolder(storage.base);
                floorTimes.push_back(floorSeconds(root + "/Sale.bmp", floorOut, lines));
                outputs.done(floorOut);
                for (int jobs : {1, 2}) {
                    for (size_t v = 0; v < variants.size(); ++v) {
                        const std::pair key{int(v), jobs};
                        settle();
                        const QString out = freshFolder(storage.base);
                        const bool bmp = QLatin1String(variants[v].format) == QLatin1String("bmp");
                        const Run run = runBatch(design, bmp ? batchBmp : batchPng, out, jobs,
                                                 variants[v].format, variants[v].cli);
                        times[key].push_back(run.seconds);
                        cpu[key].push_back(run.cpuSeconds);
                        peak[key] = std::max(peak[key], run.peakKb);
                        status[key] = std::max(status[key], run.status);
                        kb[key] = meanKb(out);
                        if (bmp && jobs == 1 && !mogrify.isEmpty()) {
                            settle();
                            const QString png = freshFolder(storage.base);
                            const Run m = runProgram({QFile::encodeName(mogrify), "-path",
                                                      QFile::encodeName(png), "-format", "png",
                                                      QFile::encodeName(out + "/*.bmp")});
                            mogrifyTimes.push_back(m.status == 0 ? m.seconds : -1);
                            outputs.done(png);
                        }
                        outputs.done(out);
                    }
                }
            }
            for (int jobs : {1, 2}) {
                const double b = median(times[{0, jobs}]);
                const double p = median(times[{1, jobs}]);
                const double o = variants.size() > 2 ? median(times[{2, jobs}]) : 0;
                const double m = median(mogrifyTimes);
                std::printf("%-7s %-6s %6d %4d %7.3f %7.3f %7.3f %7.2f %8.3f %7.2f %7.3f %7.3f "
                            "%7.1f %7.1f %8.1f %8.1f %8.2f %8.1f%s\n",
                            "Sale", store.constData(), lines, jobs, median(floorTimes), b, p, p / b,
                            o, o / b, median(cpu[{0, jobs}]), median(cpu[{1, jobs}]), kb[{1, jobs}],
                            variants.size() > 2 ? kb[{2, jobs}] : 0, peak[{0, jobs}] / 1024.0,
                            peak[{1, jobs}] / 1024.0, m, m / p,
                            status[{0, jobs}] || status[{1, jobs}] ? "  (a batch failed)" : "");
            }
            std::fflush(stdout);
            outputs.clear();
            settle();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool png = args.removeAll(QStringLiteral("--png")) > 0;
    const QByteArray before = QFile::encodeName(takeOption(args, "--png-before"));
    const int minLines = takeIntOption(args, "--min-lines", png ? 2000 : 10000);
    const int maxLines = takeIntOption(args, "--max-lines", png ? 20000 : 100000);
    // This machine's file-creation cost swings from run to run: the runs of
    // the floor and of each job count take turns, and the median is shown.
    const int runs = std::max(1, takeIntOption(args, "--runs", 5));
    const QString onlyStore = takeOption(args, "--store");
    const QByteArray cli =
        QFile::encodeName(takeOption(args, "--cli", QStringLiteral(ZOT_CLI_PATH)));
    QTemporaryDir work;
    const QString root = !args.isEmpty() ? args[0] : work.path();
    QDir().mkpath(root);
    zot::bench::makeTwoLineDesign(root + "/TwoLines");
    zot::bench::makeImageLineDesign(root + "/ImageLine");
    std::vector<Storage> storages;
    if (QDir(QStringLiteral("/dev/shm")).exists() && onlyStore != QLatin1String("disk"))
        storages.push_back({"tmpfs", QStringLiteral("/dev/shm")});
    if (onlyStore != QLatin1String("tmpfs"))
        storages.push_back({"disk", args.size() > 1 ? args[1] : QStringLiteral("/var/tmp")});
    if (png) {
        // The floor writes the logo of the design's default texts.
        runProgram({ZOT_CLI_PATH, "render", ZOT_DESIGNS_DIR "/Sale Leaderboard", "--out",
                    QFile::encodeName(root + "/Sale.bmp")});
        benchPng(root, storages, minLines, maxLines, runs, before);
        return 0;
    }

    struct Case {
        const char* design;
        int inputs;
    } cases[] = {{"TwoLines", 2}, {"ImageLine", 1}};
    std::printf("medians of %d interleaved runs; /floor: logos per second against the floor's;\n"
                "disk*: outputs deleted between runs (no room to keep them)\n",
                runs);
    std::printf("%-9s %-7s %7s %5s %9s %9s %8s %9s %5s\n", "design", "store", "lines", "jobs",
                "seconds", "logos/s", "/floor", "peak MiB", "exit");
    for (const Storage& storage : storages) {
        for (const Case& c : cases) {
            for (int lines = minLines; lines <= maxLines; lines *= 10) {
                const QString batch = writeBatch(root + "/batch.txt", lines, c.inputs);
                const QString background = root + "/" + c.design + "/bg.bmp";
                QByteArray logoBytes;
                zot::encodeBmpInto(zot::loadPicture(background), logoBytes);
                const bool disk = QLatin1String(storage.name) == QLatin1String("disk");
                // Room for every output of the case, and 2 GiB to spare.
                const qint64 needed = qint64(runs) * 3 * lines * (logoBytes.size() + 4096);
                const bool keep = disk && QStorageInfo(storage.base).bytesAvailable() >
                                              needed + (qint64(2) << 30);
                Outputs outputs(storage.base, keep);
                const QByteArray store = QByteArray(storage.name) + (disk && !keep ? "*" : "");
                std::vector<double> floorTimes;
                std::map<int, std::vector<double>> times;
                std::map<int, long> peak;
                std::map<int, int> status;
                for (int r = 0; r < runs; ++r) {
                    settle();
                    const QString floorOut = freshFolder(storage.base);
                    floorTimes.push_back(floorSeconds(background, floorOut, lines));
                    outputs.done(floorOut);
                    for (int jobs : {1, 2}) {
                        settle();
                        const QString out = freshFolder(storage.base);
                        const Run run =
                            runBatch(root + "/" + c.design, batch, out, jobs, "bmp", cli);
                        times[jobs].push_back(run.seconds);
                        peak[jobs] = std::max(peak[jobs], run.peakKb);
                        status[jobs] = std::max(status[jobs], run.status);
                        outputs.done(out);
                    }
                }
                const double floor = lines / median(floorTimes);
                std::printf("%-9s %-7s %7d %5s %9.3f %9.0f %8.2f %9s %5s\n", c.design,
                            store.constData(), lines, "floor", median(floorTimes), floor, 1.0, "-",
                            "-");
                for (int jobs : {1, 2}) {
                    const double seconds = median(times[jobs]);
                    std::printf("%-9s %-7s %7d %5d %9.3f %9.0f %8.2f %9.1f %5d\n", c.design,
                                store.constData(), lines, jobs, seconds, lines / seconds,
                                lines / seconds / floor, peak[jobs] / 1024.0, status[jobs]);
                }
                std::fflush(stdout);
                outputs.clear();
                settle();
            }
        }
    }
    return 0;
}
