// A keystroke on logos of three sizes: the engine's rendering alone, and the
// editor window from setting the edit box's text to the view painted. Each
// is timed for the first keystroke after opening the design and for the
// keystrokes that follow.
//
// The designs carry two TrueType lines and an image-font line scaled to the
// logo. "Wallpaper" keeps the background's size; "Banner" widens a narrow
// background with the text (expand mode center), so every key that changes
// the widest line changes the logo's width. Backgrounds come in 24 bits and
// in 8 bits (a paletted picture).
#include "BenchDesigns.h"
#include "editor/TfrmEdit.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "widgets/ErrorBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextEdit>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>

namespace {

QTemporaryDir* gDir = nullptr;

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{480, 96}, {1920, 1080}, {3840, 2160}};

// A smooth background, so that nothing about it is uniform.
void writeGradient(const QString& path, int width, int height, int bpp) {
    zot::Bitmap b =
        bpp == 8 ? zot::Bitmap::create(width, height, 8) : zot::Bitmap::create(width, height, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.setPixel(x, y, qRgb(40 + 120 * x / width, 60 + 100 * y / height, 140));
    QDir().mkpath(QFileInfo(path).absolutePath());
    zot::writeBmpFile(b, path);
}

QString designName(bool widening, int sizeIndex, int bpp) {
    return QStringLiteral("%1-%2-%3")
        .arg(widening ? QStringLiteral("Banner") : QStringLiteral("Wallpaper"))
        .arg(kSizes[sizeIndex].width)
        .arg(bpp);
}

void makeDesign(bool widening, int sizeIndex, int bpp) {
    const Size size = kSizes[sizeIndex];
    const QString folder = gDir->path() + u'/' + designName(widening, sizeIndex, bpp);
    const int h = size.height;
    // The banner starts at a third of the width, so the text widens it.
    const int bgWidth = widening ? size.width / 3 : size.width;
    writeGradient(folder + "/bg.bmp", bgWidth, h, bpp);
    QByteArray script = "backgroundImage=bg.bmp\n";
    if (widening) {
        writeGradient(folder + "/center.bmp", std::max(8, h / 4), h, bpp);
        script += "backgroundExtraCenter=center.bmp\nbackgroundExtraExpandFrom=center\n"
                  "backgroundExtraMarge=" +
                  QByteArray::number(h / 8) + "\n";
    }
    const int charHeight = std::max(12, h / 8);
    zot::bench::writeCharacters(folder + "/chars", charHeight * 5 / 8, charHeight);
    // Sizes in points at 96 pixels per inch: a title of about a sixth of the
    // height, a sub-title of a fifteenth.
    const int title = std::max(8, h / 6 * 72 / 96);
    const int subtitle = std::max(6, h / 15 * 72 / 96);
    script +=
        "ttfFont\nname=DejaVu Sans\nsize=" + QByteArray::number(title) +
        "\nbold\ncolor=$00FFFF\nxpos=center\nalign=center\nypos=" + QByteArray::number(h / 10) +
        "\ndefault=ACME Tools & Things\nttfFontEnd\n";
    script += "ttfFont\nname=DejaVu Sans\nsize=" + QByteArray::number(subtitle) +
              "\ncolor=$FFFFFF\nxpos=center\nalign=center\nypos=" + QByteArray::number(h / 2) +
              "\ndefault=www.acme.example/shop\nttfFontEnd\n";
    script += "imgFont\nname=chars\nxpos=center\nypos=" + QByteArray::number(h * 7 / 10) +
              "\ntransparent\ndefault=since 1999 - quality\nimgFontEnd\n";
    zot::bench::writeText(folder + "/script.zot", script);
}

// Typing at the end of the title: two texts that differ in the last key.
const QString kTexts[2] = {QStringLiteral("ACME Tools & Things 2"),
                           QStringLiteral("ACME Tools & Things 24")};

void setLabels(benchmark::State& state, int logoWidth, int logoHeight) {
    state.counters["logo_w"] = logoWidth;
    state.counters["logo_h"] = logoHeight;
}

// Engine time of the keystrokes after the first.
void BM_EngineKeystroke(benchmark::State& state) {
    const bool widening = state.range(0) != 0;
    const int sizeIndex = int(state.range(1));
    const int bpp = int(state.range(2));
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, gDir->path());
    engine.OpenDesign(designName(widening, sizeIndex, bpp));
    engine.setLabelText(1, kTexts[0]);
    int i = 0;
    for (auto _ : state) {
        engine.setLabelText(1, kTexts[i ^= 1]);
        benchmark::DoNotOptimize(engine.logo().width());
    }
    setLabels(state, engine.logo().width(), engine.logo().height());
}

// Engine time of the first keystroke after opening the design.
void BM_EngineFirstKeystroke(benchmark::State& state) {
    const bool widening = state.range(0) != 0;
    const int sizeIndex = int(state.range(1));
    const int bpp = int(state.range(2));
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, gDir->path());
    for (auto _ : state) {
        state.PauseTiming();
        engine.OpenDesign(designName(widening, sizeIndex, bpp));
        state.ResumeTiming();
        engine.setLabelText(1, kTexts[0]);
        benchmark::DoNotOptimize(engine.logo().width());
    }
    setLabels(state, engine.logo().width(), engine.logo().height());
}

// Counts the view's paints.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// Sets the text as typed and returns once the view has painted.
void typeAndPaint(QApplication& app, zot::TfrmEdit& window, PaintCounter& counter,
                  const QString& text) {
    const int before = counter.paints;
    window.Edits[0]->setText(text);
    for (int round = 0; round < 100 && counter.paints == before; ++round)
        app.processEvents();
}

QApplication* gApp = nullptr;

// From setting the text to the view painted, in a window of 1280 x 800 at
// the zoom given in percent.
void paintedView(benchmark::State& state, bool first) {
    const bool widening = state.range(0) != 0;
    const int sizeIndex = int(state.range(1));
    const int bpp = int(state.range(2));
    const int zoom = int(state.range(3));
    zot::TfrmEdit window(gDir->path());
    window.resize(1280, 800);
    window.reAbout->hide(); // as a click in the catalogue does
    window.show();
    for (int i = 0; i < 10; ++i)
        gApp->processEvents();
    window.cbSize->setCurrentText(QString::number(zoom) + u'%');
    PaintCounter counter;
    window.imgEdit->installEventFilter(&counter);
    const QString name = designName(widening, sizeIndex, bpp);
    window.OpenDesign(name);
    for (int i = 0; i < 10; ++i)
        gApp->processEvents();
    int i = 0;
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            window.OpenDesign(name);
            for (int k = 0; k < 10; ++k)
                gApp->processEvents();
            state.ResumeTiming();
            typeAndPaint(*gApp, window, counter, kTexts[0]);
        } else {
            typeAndPaint(*gApp, window, counter, kTexts[i ^= 1]);
        }
    }
    const zot::Bitmap& logo = window.engine().logo();
    setLabels(state, logo.width(), logo.height());
    state.counters["paints"] = counter.paints;
}

void BM_ViewKeystroke(benchmark::State& state) {
    paintedView(state, false);
}
void BM_ViewFirstKeystroke(benchmark::State& state) {
    paintedView(state, true);
}

void engineArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"widening", "size", "bpp"});
    for (int widening : {0, 1})
        for (int size = 0; size < 3; ++size)
            for (int bpp : {24, 8})
                b->Args({widening, size, bpp});
}

void viewArgs(benchmark::internal::Benchmark* b) {
    b->ArgNames({"widening", "size", "bpp", "zoom"});
    for (int widening : {0, 1})
        for (int size = 0; size < 3; ++size)
            for (int bpp : {24, 8})
                for (int zoom : {10, 25, 50, 100, 200})
                    b->Args({widening, size, bpp, zoom});
}

BENCHMARK(BM_EngineKeystroke)->Apply(engineArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineFirstKeystroke)
    ->Apply(engineArgs)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(BM_ViewKeystroke)->Apply(viewArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewFirstKeystroke)->Apply(viewArgs)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    gApp = &app;
    zot::setErrorBoxHandler(
        [](const QString& text) { std::fprintf(stderr, "error box: %s\n", qPrintable(text)); });
    QTemporaryDir dir;
    gDir = &dir;
    for (int widening : {0, 1})
        for (int size = 0; size < 3; ++size)
            for (int bpp : {24, 8})
                makeDesign(widening != 0, size, bpp);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
