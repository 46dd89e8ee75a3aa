// Live edits: from a saved change of an open design's file to its new logo
// painted in the window. The change is saved as editors do (a new file
// renamed over the old one). Reported per design size: the first change
// after the design opened and the median of the following ones, next to the
// quiet time the watcher waits by design and to a reopening alone (the floor:
// what a click on the design costs).
#include "BenchDesigns.h"
#include "app/TfrmZOT.h"
#include "editor/DesignReloader.h"
#include "editor/TfrmEdit.h"
#include "widgets/ErrorBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace zot;

class PaintWatch : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct Size {
    const char* name;
    int width;
    int height;
};

// Saves the background anew in colour, by rename.
void saveBackground(const QString& folder, const Size& size, QRgb colour) {
    const QString temporary = folder + QStringLiteral("/.bg.bmp.new");
    bench::writePicture(temporary, size.width, size.height, colour, colour);
    QFile::remove(folder + QStringLiteral("/bg.bmp"));
    QFile::rename(temporary, folder + QStringLiteral("/bg.bmp"));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setErrorBoxHandler(
        [](const QString& text) { std::fprintf(stderr, "error box: %s\n", qPrintable(text)); });
    const int runs = argc > 1 ? std::max(2, QByteArray(argv[1]).toInt()) : 11;
    const Size sizes[] = {
        {"600 x 100", 600, 100}, {"3000 x 500", 3000, 500}, {"12000 x 2000", 12000, 2000}};
    std::printf("quiet time %d ms; %d changes per size\n", DesignReloader::kQuietMs, runs);
    std::printf("%-14s %12s %12s %12s %14s\n", "background", "first (ms)", "median (ms)",
                "reopen (ms)", "median-quiet");
    for (const Size& size : sizes) {
        QTemporaryDir program;
        const QString folder = program.filePath(QStringLiteral("Live"));
        bench::makeTypicalDesign(folder);
        saveBackground(folder, size, 0xff203050);
        TfrmZOT window(program.path());
        window.show();
        window.MenuButtons.front()->click();
        TfrmEdit& editor = *window.frmEdit;
        PaintWatch paints;
        editor.imgEdit->installEventFilter(&paints);
        std::vector<double> millis;
        for (int run = 0; run < runs; ++run) {
            // Whatever the last change stirred up is over.
            for (int i = 0; i < 100; ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            const int before = editor.reopenCount();
            saveBackground(folder, size, run % 2 ? 0xff203050 : 0xff502030);
            QElapsedTimer clock;
            clock.start();
            paints.painted = false;
            while (editor.reopenCount() == before || !paints.painted) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                if (clock.elapsed() > 10000) {
                    std::fprintf(stderr, "no reopening after 10 s\n");
                    return 1;
                }
            }
            millis.push_back(clock.nsecsElapsed() / 1e6);
        }
        // The floor: the reopening itself, as a click opens the design.
        std::vector<double> reopen;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            editor.reopenDesign();
            reopen.push_back(clock.nsecsElapsed() / 1e6);
        }
        const double warm = median(std::vector<double>(millis.begin() + 1, millis.end()));
        std::printf("%-14s %12.1f %12.1f %12.1f %14.1f\n", size.name, millis.front(), warm,
                    median(reopen), warm - DesignReloader::kQuietMs);
    }
    return 0;
}
