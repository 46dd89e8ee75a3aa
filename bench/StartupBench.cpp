// Start-up time of the desktop program: from starting the process to the
// main window's first paint, with 25 designs (each with a thumbnail) in the
// catalogue. Runs itself as the child process; the clocks of parent and
// child are the same monotonic clock.
#include "app/TfrmZOT.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"
#include "widgets/ErrorBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

qint64 nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Prints the time of the first paint of the window, then quits.
class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::printf("%lld\n", static_cast<long long>(nowNs()));
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

int runChild(int argc, char** argv, const QString& programFolder) {
    QApplication app(argc, argv);
    const qint64 appReady = nowNs();
    QApplication::setApplicationDisplayName(QStringLiteral("Zotmaker"));
    // A box would wait for a click; count it as a failed run instead.
    bool failed = false;
    zot::setErrorBoxHandler([&failed](const QString& text) {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
        failed = true;
    });
    zot::TfrmZOT window(programFolder);
    const qint64 built = nowNs();
    std::printf("%lld %lld ", static_cast<long long>(appReady), static_cast<long long>(built));
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    const int code = app.exec();
    return failed ? 2 : code;
}

void makeDesigns(const QString& programFolder, int count) {
    zot::Bitmap thumbnail = zot::Bitmap::create(90, 24, 24);
    thumbnail.fill(qRgb(255, 0, 255));
    for (int x = 10; x < 80; ++x)
        for (int y = 6; y < 18; ++y)
            thumbnail.setPixel(x, y, qRgb(x * 3, 80, 160));
    for (int i = 0; i < count; ++i) {
        const QString folder =
            programFolder + QStringLiteral("/Design %1").arg(i, 2, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        QFile script(folder + QStringLiteral("/script.zot"));
        if (script.open(QIODevice::WriteOnly))
            script.write("name=Bench\nbackgroundImage=bg.bmp\n");
        zot::writeBmpFile(thumbnail, folder + QStringLiteral("/thumbnail.bmp"));
    }
}

struct Catalogue {
    QString label;
    QString programFolder; // the sample designs
    QString dataHome;      // XDG_DATA_HOME: the user's own designs
};

// Runs the program runs times on one catalogue and prints its times.
bool measure(const Catalogue& catalogue, int runs, const QString& workFolder) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), catalogue.dataHome);

    // Per run: application object ready, windows built, first paint.
    std::vector<double> appMillis, builtMillis, millis;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setWorkingDirectory(workFolder);
        const qint64 start = nowNs();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), catalogue.programFolder});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", run,
                         child.readAllStandardError().constData());
            return false;
        }
        const QList<QByteArray> times = child.readAllStandardOutput().simplified().split(' ');
        if (times.size() != 3) {
            std::fprintf(stderr, "run %d printed no times\n", run);
            return false;
        }
        appMillis.push_back(double(times[0].toLongLong() - start) / 1e6);
        builtMillis.push_back(double(times[1].toLongLong() - start) / 1e6);
        millis.push_back(double(times[2].toLongLong() - start) / 1e6);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double first = millis.front();
    std::printf("%s\n  median: application ready %.1f ms, windows built %.1f ms\n",
                qPrintable(catalogue.label), median(appMillis), median(builtMillis));
    std::sort(millis.begin(), millis.end());
    std::printf("  start-up to main window shown, 25 designs, %d runs: first %.1f ms, min %.1f "
                "ms, median %.1f ms, max %.1f ms\n",
                runs, first, millis.front(), millis[millis.size() / 2], millis.back());
    return true;
}

int designCount(const QString& folder) {
    int count = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        count += QFile::exists(folder + u'/' + name + QStringLiteral("/script.zot")) ? 1 : 0;
    return count;
}

} // namespace

// bench_startup [RUNS] [SAMPLE_DESIGNS_FOLDER]
// Two catalogues of 25: made-up designs with one small thumbnail each, and
// the sample designs (by default those of this source tree) with made-up
// designs of the user's own filling the strip.
int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    const QString samples =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(ZOT_DESIGNS_DIR);
    QTemporaryDir programFolder;
    QTemporaryDir workFolder;
    QTemporaryDir emptyDataHome;
    QTemporaryDir userDataHome;
    makeDesigns(programFolder.path(), 25);
    const int sampleCount = designCount(samples);
    makeDesigns(userDataHome.path() + QStringLiteral("/zotmaker/designs"),
                std::max(0, 25 - sampleCount));
    QFile about(workFolder.filePath(QStringLiteral("zot-about.rtf")));
    if (about.open(QIODevice::WriteOnly))
        about.write("{\\rtf1\\ansi {\\b Zotmaker} about text\\par}");
    about.close();

    const Catalogue made{QStringLiteral("25 made-up designs"), programFolder.path(),
                         emptyDataHome.path()};
    const Catalogue shipped{QStringLiteral("%1 sample designs (%2) and %3 of the user's own")
                                .arg(sampleCount)
                                .arg(samples)
                                .arg(std::max(0, 25 - sampleCount)),
                            samples, userDataHome.path()};
    return measure(made, runs, workFolder.path()) && measure(shipped, runs, workFolder.path()) ? 0
                                                                                               : 1;
}
