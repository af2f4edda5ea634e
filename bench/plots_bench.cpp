// Drawing speed of the largest pictures: the Bode plot and ECC83's anode chart at 1000 x 700,
// and the anode-chart computation alone.
#include "bench_support.h"
#include "model/anode_charts.h"
#include "model/builtin_models.h"
#include "plots/anode_plots.h"
#include "plots/bode_plot.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {
TTube ecc83() {
    for (const auto& p : builtinModels())
        if (p.name == "ECC83 / 12AX7")
            return TTube(p, "T1");
    return TTube(TubeParams{}, "T1");
}

// A three-stage chain swept from 1 Hz to 100 kHz with the overall curve.
BodeData chainRun() {
    BodeData d;
    d.title = "bench";
    d.tag = "C1";
    for (double dec = 1; dec < 1e5; dec *= 10)
        for (int i = 1; i <= 9; ++i)
            d.freqs.push_back(i * dec);
    d.freqs.push_back(1e5);
    std::vector<double> in, t1, out, all;
    for (double f : d.freqs) {
        in.push_back(f / std::sqrt(f * f + 100));
        t1.push_back(60 / std::sqrt(1 + (f / 40e3) * (f / 40e3)));
        out.push_back(0.95 * f / std::sqrt(f * f + 9));
        all.push_back(in.back() * t1.back() * out.back());
    }
    d.curves = {in, t1, out};
    d.overall = all;
    d.overallDrawn = true;
    d.legends = {{"RC input", true, 0xFF8A2BE2},
                 {"T1", true, 0xFFFF7F50},
                 {"RC output", true, 0xFF008000},
                 {"Overall gain", true, 0xFF00CED1}};
    d.fpk = 1000;
    d.Apk = 55;
    d.summary = "Max gain x55 34.8dB @ ~1000Hz BW -3dB 10Hz-40kHz";
    return d;
}
} // namespace

static void BM_DrawBode(benchmark::State& state) {
    ensureGuiApp();
    const BodeData data = chainRun();
    for (auto _ : state)
        benchmark::DoNotOptimize(drawBode(data, QSize(1000, 700), 1.0, NumberLocale{}));
}
BENCHMARK(BM_DrawBode)->Unit(benchmark::kMillisecond);

static void BM_ComputeAnodeChartEcc83(benchmark::State& state) {
    TTube tube = ecc83();
    for (auto _ : state)
        benchmark::DoNotOptimize(computeAnodeCharacteristics(tube, 100));
}
BENCHMARK(BM_ComputeAnodeChartEcc83)->Unit(benchmark::kMillisecond);

static void BM_DrawAnodeChartEcc83(benchmark::State& state) {
    ensureGuiApp();
    TTube tube = ecc83();
    for (auto _ : state) {
        const AnodeChart chart = computeAnodeCharacteristics(tube, 100);
        benchmark::DoNotOptimize(drawAnodeChart(chart, QSize(1000, 700), 1.0));
    }
}
BENCHMARK(BM_DrawAnodeChartEcc83)->Unit(benchmark::kMillisecond);

static void BM_DrawMultiChartEcc83(benchmark::State& state) {
    ensureGuiApp();
    TTube tube = ecc83();
    for (auto _ : state) {
        const MultiChart chart = computeMultiChart(tube, 100);
        benchmark::DoNotOptimize(drawMultiChart(chart, QSize(1000, 700), 1.0));
    }
}
BENCHMARK(BM_DrawMultiChartEcc83)->Unit(benchmark::kMillisecond);
