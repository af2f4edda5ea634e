// Parameter sweeps and distortion figures: a 1000-step sweep of C1's cathode resistor (each step a
// whole solve with its bandwidth run and its distortion line), one gain stage's distortion search,
// and the harmonics of every cycle of a push-pull analysis.
#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "circuits/sweep.h"
#include "model/builtin_models.h"

#include <benchmark/benchmark.h>

namespace {
SolveRequest request(int n, const char* model,
                     std::initializer_list<std::pair<const char*, const char*>> values) {
    SolveRequest rq;
    rq.circuit = n;
    rq.sheet = newSheet(n);
    SheetControl* tube = rq.sheet.find("LBtube");
    tube->items = {model};
    tube->selected = 0;
    for (const auto& [name, value] : values)
        rq.sheet.find(name)->text = value;
    rq.tubes = builtinTubeFactory();
    return rq;
}
} // namespace

static void BM_SweepC1Rk1000Steps(benchmark::State& state) {
    const SolveRequest rq = request(1, "ECC83 / 12AX7", {{"EdVb", "300"}, {"EdRa", "100k"}, {"EdRo", "1M"}});
    const SweepPlan plan{"EdRk", 500, 5000, 999, false};
    for (auto _ : state)
        benchmark::DoNotOptimize(runSweep(rq, plan));
}
BENCHMARK(BM_SweepC1Rk1000Steps)->Unit(benchmark::kMillisecond);

static void BM_GainStageDistortionEcc83(benchmark::State& state) {
    TTube t(builtinModels().front(), "T1");
    for (const auto& p : builtinModels())
        if (p.name == "ECC83 / 12AX7")
            t = TTube(p, "T1");
    double ia = 0;
    t.CalculerNK(200, -1.5, ia);
    const GainStageDrive drive{.Vgk0 = -1.5, .Vak0 = 200, .Ia0 = ia, .load = 90e3};
    for (auto _ : state)
        benchmark::DoNotOptimize(gainStageDistortion(t, drive, 10));
}
BENCHMARK(BM_GainStageDistortionEcc83)->Unit(benchmark::kMicrosecond);

static void BM_PushPullHarmonicsEveryCycle(benchmark::State& state) {
    const SolveRequest rq =
        request(42, "EL34", {{"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}});
    const SolveOutcome out = solveCommand(rq);
    for (auto _ : state)
        benchmark::DoNotOptimize(powerHarmonics(*out.result.power));
}
BENCHMARK(BM_PushPullHarmonicsEveryCycle)->Unit(benchmark::kMicrosecond);
