// Schematics: reading every compiled-in description, and drawing the widest one (C4) with its
// controls at 100 % and 200 %, as a solver window or the packaged pictures do.
#include "bench_support.h"
#include "circuits/schematic.h"
#include "circuits/schematic_parser.h"
#include "circuits/schematic_texts.h"
#include "plots/schematic_plot.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

static void BM_ReadEverySchematic(benchmark::State& state) {
    for (auto _ : state)
        for (const SchematicText& t : schematicTexts())
            benchmark::DoNotOptimize(parseSchematic(t.text, t.file, t.circuit));
}
BENCHMARK(BM_ReadEverySchematic)->Unit(benchmark::kMicrosecond);

static void BM_DrawSchematicC4(benchmark::State& state) {
    ensureGuiApp();
    const Schematic& s = schematicOf(4);
    const double scale = static_cast<double>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(drawSchematic(s, scale, SchematicControls::Drawn));
}
BENCHMARK(BM_DrawSchematicC4)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
