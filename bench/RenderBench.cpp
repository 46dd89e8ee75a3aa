// One keystroke's re-render, and opening a design, on a typical design.
#include "BenchDesigns.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir* gDir = nullptr;

void BM_KeystrokeRender(benchmark::State& state) {
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, gDir->path());
    engine.OpenDesign(QStringLiteral("Typical"));
    // Typing alternates between two 20-character texts.
    const QString texts[2] = {QStringLiteral("ACME Tools & Things"),
                              QStringLiteral("ACME Tools & Thingz")};
    int i = 0;
    for (auto _ : state) {
        engine.setLabelText(1, texts[i ^= 1]);
        benchmark::DoNotOptimize(engine.logo().width());
    }
    state.counters["logo_width"] = engine.logo().width();
}
BENCHMARK(BM_KeystrokeRender)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_OpenDesign(benchmark::State& state) {
    zot::HeadlessEditor editor;
    zot::LogoEngine engine(editor, gDir->path());
    for (auto _ : state)
        engine.OpenDesign(QStringLiteral("Typical"));
}
BENCHMARK(BM_OpenDesign)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Drawing a background-sized piece, the unit of every expand mode's run.
void BM_OpaqueDraw(benchmark::State& state) {
    zot::Bitmap piece = zot::Bitmap::create(600, 100, 24);
    piece.fill(0xffff0000);
    zot::Bitmap logo = zot::Bitmap::create(2000, 100, 24);
    int i = 0;
    for (auto _ : state)
        logo.draw(piece, (i++ * 37) % 1500 - 100, 0);
}
BENCHMARK(BM_OpaqueDraw)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    gDir = &dir;
    zot::bench::makeTypicalDesign(dir.path() + QStringLiteral("/Typical"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
