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

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return runChild(argc, argv, QString::fromLocal8Bit(argv[2]));

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 15;
    QTemporaryDir programFolder;
    QTemporaryDir workFolder;
    makeDesigns(programFolder.path(), 25);
    QFile about(workFolder.filePath(QStringLiteral("zot-about.rtf")));
    if (about.open(QIODevice::WriteOnly))
        about.write("{\\rtf1\\ansi {\\b Zotmaker} about text\\par}");
    about.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // Per run: application object ready, windows built, first paint.
    std::vector<double> appMillis, builtMillis, millis;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setWorkingDirectory(workFolder.path());
        const qint64 start = nowNs();
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), programFolder.path()});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            std::fprintf(stderr, "run %d failed: %s\n", run,
                         child.readAllStandardError().constData());
            return 1;
        }
        const QList<QByteArray> times = child.readAllStandardOutput().simplified().split(' ');
        if (times.size() != 3) {
            std::fprintf(stderr, "run %d printed no times\n", run);
            return 1;
        }
        appMillis.push_back(double(times[0].toLongLong() - start) / 1e6);
        builtMillis.push_back(double(times[1].toLongLong() - start) / 1e6);
        millis.push_back(double(times[2].toLongLong() - start) / 1e6);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("median: application ready %.1f ms, windows built %.1f ms\n", median(appMillis),
                median(builtMillis));
    std::sort(millis.begin(), millis.end());
    std::printf("start-up to main window shown, 25 designs, %d runs: min %.1f ms, median %.1f "
                "ms, max %.1f ms\n",
                runs, millis.front(), millis[millis.size() / 2], millis.back());
    return 0;
}
