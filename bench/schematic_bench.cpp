// Schematics: reading every compiled-in description, and drawing the widest one (C4) with its
// controls at 100 % and 200 %, as a solver window or the packaged pictures do.
#include "circuits/schematic.h"
#include "circuits/schematic_parser.h"
#include "circuits/schematic_texts.h"
#include "plots/schematic_plot.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {
void ensureSchematicGuiApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (!app && !QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "valvenix_bench";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
}
} // namespace

static void BM_ReadEverySchematic(benchmark::State& state) {
    for (auto _ : state)
        for (const SchematicText& t : schematicTexts())
            benchmark::DoNotOptimize(parseSchematic(t.text, t.file, t.circuit));
}
BENCHMARK(BM_ReadEverySchematic)->Unit(benchmark::kMicrosecond);

static void BM_DrawSchematicC4(benchmark::State& state) {
    ensureSchematicGuiApp();
    const Schematic& s = schematicOf(4);
    const double scale = static_cast<double>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSchematic(s, scale, SchematicControls::Drawn));
}
BENCHMARK(BM_DrawSchematicC4)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
