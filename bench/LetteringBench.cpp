// The engine's time for a keystroke on TrueType lines, plain and with
// lettering effects, at 480 x 96, 1920 x 1080 and 3840 x 2160: the first key
// after opening the design and the keys that follow, each timed on its own.
// Prints the median, the fastest and the slowest key of each case.
//
//   bench_lettering [--keys N] [--case NAME]
//
// Every background keeps its size (no expand mode), so the keys after the
// first draw only the changed line again. "Big" is a 3840 x 2160 design with
// a centred line of size 360, one of size 135 and an image-font line; its
// first line changes its last character at each key.
#include "BenchDesigns.h"
#include "BenchSupport.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>
#include <vector>

using zot::bench::median;

namespace {

void writeGradient(const QString& path, int width, int height) {
    zot::Bitmap b = zot::Bitmap::create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, qRgb(40 + 120 * x / width, 60 + 100 * y / height, 140));
    QDir().mkpath(QFileInfo(path).absolutePath());
    zot::writeBmpFile(b, path);
}

const char kEffects[] = "outline=4\noutlineColor=$202020\nshadowX=8\nshadowY=8\nshadowBlur=6\n"
                        "glow=10\nglowColor=$40FFFF\n";

struct Case {
    const char* name;
    int width;
    int height;
    QByteArray script; // without the background line
    QString texts[4];  // typed in turn into the first input
};

QByteArray line(int size, int ypos, const char* colour, bool effects, const char* text) {
    return "ttfFont\nname=DejaVu Sans\nsize=" + QByteArray::number(size) + "\ncolor=" + colour +
           "\nxpos=center\nalign=center\nypos=" + QByteArray::number(ypos) + "\n" +
           (effects ? QByteArray(kEffects) : QByteArray()) + "default=" + text + "\nttfFontEnd\n";
}

QByteArray imageLine(int ypos) {
    return "imgFont\nname=chars\nxpos=center\nypos=" + QByteArray::number(ypos) +
           "\ntransparent\ndefault=since 1999 - quality\nimgFontEnd\n";
}

std::vector<Case> cases() {
    std::vector<Case> all;
    const QString typed[4] = {
        QStringLiteral("ACME Tools & Things 2"), QStringLiteral("ACME Tools & Things 24"),
        QStringLiteral("ACME Tools & Things 2"), QStringLiteral("ACME Tools & Things 25")};
    struct Size {
        int w, h;
    } sizes[] = {{480, 96}, {1920, 1080}, {3840, 2160}};
    for (bool effects : {false, true}) {
        for (const Size& s : sizes) {
            const int title = std::max(8, s.h / 6 * 72 / 96);
            const int subtitle = std::max(6, s.h / 15 * 72 / 96);
            Case c{effects ? "effects" : "plain", s.w, s.h, {}, {}};
            c.script = line(title, s.h / 10, "$00FFFF", effects, "ACME Tools & Things") +
                       line(subtitle, s.h / 2, "$FFFFFF", false, "www.acme.example/shop") +
                       imageLine(s.h * 7 / 10);
            std::copy(std::begin(typed), std::end(typed), c.texts);
            all.push_back(std::move(c));
        }
    }
    // The two cases with targets of their own.
    Case a{"A", 3840, 2160, {}, {}};
    a.script = line(360, 100, "$00FFFF", false, "ACME Tools") +
               line(135, 1000, "$FFFFFF", false, "www.acme.example") + imageLine(1500);
    const QString acme[4] = {QStringLiteral("ACME Tools"), QStringLiteral("ACME Toolz"),
                             QStringLiteral("ACME Toolx"), QStringLiteral("ACME Tooly")};
    std::copy(std::begin(acme), std::end(acme), a.texts);
    all.push_back(std::move(a));
    Case b{"B", 1920, 1080, {}, {}};
    b.script = line(180, 300, "$00FFFF", true, "ACME Tools");
    std::copy(std::begin(acme), std::end(acme), b.texts);
    all.push_back(std::move(b));
    return all;
}

QString folderOf(const Case& c) {
    return QStringLiteral("%1-%2").arg(QLatin1String(c.name)).arg(c.width);
}

struct Times {
    std::vector<double> first, firstCpu;
    std::vector<double> next, nextCpu;
};

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The engine thread's own processor time: what the key costs on a machine
// whose other work would not take turns with it.
double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

Times measure(const QString& program, const Case& c, int keys) {
    Times times;
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, program);
    // The first key after opening: a fresh opening each time.
    for (int k = 0; k < keys; ++k) {
        engine.OpenDesign(folderOf(c));
        QElapsedTimer t;
        t.start();
        const double cpu = cpuMs();
        engine.setLabelText(1, c.texts[1 + k % 3]); // never the default text
        times.firstCpu.push_back(cpuMs() - cpu);
        times.first.push_back(msSince(t));
    }
    engine.OpenDesign(folderOf(c));
    engine.setLabelText(1, c.texts[3]);
    for (int k = 0; k < keys; ++k) {
        QElapsedTimer t;
        t.start();
        const double cpu = cpuMs();
        engine.setLabelText(1, c.texts[k % 4]);
        times.nextCpu.push_back(cpuMs() - cpu);
        times.next.push_back(msSince(t));
    }
    return times;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const int keys = std::max(1, zot::bench::takeIntOption(args, "--keys", 60));
    const QString only = zot::bench::takeOption(args, "--case");
    QTemporaryDir dir;
    const std::vector<Case> all = cases();
    std::printf("engine ms per key, %d keys each: median (fastest - slowest); cpu: median of the\n"
                "thread's processor time\n",
                keys);
    std::printf("%-8s %11s %26s %26s %9s %9s\n", "case", "logo", "first key", "next keys",
                "cpu first", "cpu next");
    for (const Case& c : all) {
        const QString label = QStringLiteral("%1 %2").arg(QLatin1String(c.name)).arg(c.width);
        if (!only.isEmpty() && only != QLatin1String(c.name) && only != label)
            continue;
        const QString folder = dir.path() + u'/' + folderOf(c);
        writeGradient(folder + "/bg.bmp", c.width, c.height);
        const int charHeight = std::max(12, c.height / 8);
        zot::bench::writeCharacters(folder + "/chars", charHeight * 5 / 8, charHeight);
        zot::bench::writeText(folder + "/script.zot", "backgroundImage=bg.bmp\n" + c.script);
        const Times t = measure(dir.path(), c, keys);
        const auto range = [](const std::vector<double>& v) {
            const auto [lo, hi] = std::minmax_element(v.begin(), v.end());
            return QStringLiteral("%1 (%2 - %3)")
                .arg(median(v), 0, 'f', 2)
                .arg(*lo, 0, 'f', 2)
                .arg(*hi, 0, 'f', 2);
        };
        std::printf("%-8s %11s %26s %26s %9.2f %9.2f\n", c.name,
                    qPrintable(QStringLiteral("%1x%2").arg(c.width).arg(c.height)),
                    qPrintable(range(t.first)), qPrintable(range(t.next)), median(t.firstCpu),
                    median(t.nextCpu));
        std::fflush(stdout);
    }
    return 0;
}
