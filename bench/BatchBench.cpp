// zotmaker-cli batch over 1,000 and 10,000 lines of two designs: logos per
// second, start-up included, and the process's peak memory.
#include "BenchDesigns.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

struct Run {
    double seconds = 0;
    long peakKb = 0;
    int status = -1;
};

Run runBatch(const QString& design, const QString& batch, const QString& out) {
    const QByteArray cli = ZOT_CLI_PATH;
    const QByteArray d = QFile::encodeName(design), b = QFile::encodeName(batch),
                     o = QFile::encodeName(out);
    char* argv[] = {const_cast<char*>(cli.constData()), const_cast<char*>("batch"),
                    const_cast<char*>(d.constData()),   const_cast<char*>(b.constData()),
                    const_cast<char*>(o.constData()),   nullptr};
    Run run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, cli.constData(), nullptr, nullptr, argv, environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.seconds = timer.nsecsElapsed() / 1e9;
    run.peakKb = usage.ru_maxrss;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

QString writeBatch(const QString& path, int lines, int inputs) {
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < lines; ++i) {
        QByteArray line;
        line += "Customer " + QByteArray::number(i) + " and sons";
        if (inputs == 2)
            line += ";www.customer" + QByteArray::number(i) + ".example";
        line += ";logo" + QByteArray::number(i % 100) + ".bmp\n";
        f.write(line);
    }
    return path;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // An argument names a folder to keep the designs and batch files in.
    QTemporaryDir work;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : work.path();
    QDir().mkpath(root);
    zot::bench::makeTwoLineDesign(root + "/TwoLines");
    zot::bench::makeImageLineDesign(root + "/ImageLine");
    // Output to memory, as a batch to a fast disk would be.
    const QString outBase = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : root;
    QTemporaryDir out(outBase + "/zotmaker-bench-XXXXXX");

    struct Case {
        const char* design;
        int inputs;
    } cases[] = {{"TwoLines", 2}, {"ImageLine", 1}};
    std::printf("%-10s %7s %9s %12s %10s %6s\n", "design", "lines", "seconds", "logos/s",
                "peak MiB", "exit");
    for (const Case& c : cases) {
        for (int lines : {1000, 10000}) {
            const QString batch = writeBatch(root + "/batch.txt", lines, c.inputs);
            Run best;
            for (int rep = 0; rep < 3; ++rep) {
                const Run r = runBatch(root + "/" + c.design, batch, out.path());
                if (rep == 0 || r.seconds < best.seconds)
                    best = r;
            }
            std::printf("%-10s %7d %9.3f %12.0f %10.1f %6d\n", c.design, lines, best.seconds,
                        lines / best.seconds, best.peakKb / 1024.0, best.status);
        }
    }
    return 0;
}
