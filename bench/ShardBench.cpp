// A batch split in parts run one after another (--shard K/8, as eight
// machines would run them side by side) against one run of the whole batch:
// the parts' summed time shows what every part reading and planning every
// line costs. Fresh output folders, medians of interleaved runs.
//
//   bench_shards [WORK_DIR] [--lines N] [--parts N] [--runs R]
#include "BenchDesigns.h"
#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using zot::bench::median;
using zot::bench::takeIntOption;

namespace {

double runCli(const QStringList& args) {
    QByteArrayList owned{QByteArrayLiteral(ZOT_CLI_PATH)};
    for (const QString& arg : args)
        owned += QFile::encodeName(arg);
    std::vector<char*> argv;
    for (QByteArray& arg : owned)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "zotmaker-cli failed\n");
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const int lines = takeIntOption(args, "--lines", 10000);
    const int parts = std::max(1, takeIntOption(args, "--parts", 8));
    const int runs = std::max(1, takeIntOption(args, "--runs", 3));
    QTemporaryDir work;
    const QString root = !args.isEmpty() ? args[0] : work.path();
    QDir().mkpath(root);
    zot::bench::makeTwoLineDesign(root + "/TwoLines");
    zot::bench::makeFillLineDesign(root + "/FillLine");
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();

    std::printf("%d lines, %d parts one after another, --jobs 1, tmpfs, medians of %d runs\n",
                lines, parts, runs);
    std::printf("%-9s %10s %10s %8s\n", "design", "one run s", "parts s", "ratio");
    struct Case {
        const char* design;
        int inputs;
    } cases[] = {{"TwoLines", 2}, {"FillLine", 1}};
    for (const Case& c : cases) {
        QFile f(root + "/batch.txt");
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (int i = 0; i < lines; ++i) {
            QByteArray line = "customer " + QByteArray::number(i) + " and sons";
            if (c.inputs == 2)
                line += ";www.customer" + QByteArray::number(i) + ".example";
            f.write(line + ";logo" + QByteArray::number(i) + ".bmp\n");
        }
        f.close();
        const QString design = root + u'/' + QString::fromLatin1(c.design);
        std::vector<double> whole, split;
        for (int r = 0; r < runs; ++r) {
            const QString out = base + QStringLiteral("/shards-%1-one").arg(getpid());
            QDir().mkpath(out);
            whole.push_back(runCli({"batch", design, f.fileName(), out, "--jobs", "1"}));
            QDir(out).removeRecursively();
            const QString partsOut = base + QStringLiteral("/shards-%1-parts").arg(getpid());
            QDir().mkpath(partsOut);
            double sum = 0;
            for (int k = 1; k <= parts; ++k)
                sum += runCli({"batch", design, f.fileName(), partsOut, "--jobs", "1", "--shard",
                               QStringLiteral("%1/%2").arg(k).arg(parts)});
            split.push_back(sum);
            QDir(partsOut).removeRecursively();
        }
        std::printf("%-9s %10.3f %10.3f %8.2f\n", c.design, median(whole), median(split),
                    median(split) / median(whole));
    }
    return 0;
}
