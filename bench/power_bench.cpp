// Whole solves of the output stages C37 .. C42 (operating point, swing analysis and report) on the
// first-use sheets that solve and on realistic designs, and the pieces of the swing analysis alone.
#include "bench_support.h"
#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "model/builtin_models.h"
#include "power/power_analysis.h"

#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct PowerCase {
    const char* name;
    int circuit;
    const char* model;
    std::vector<std::pair<const char*, const char*>> values;
};

// The first-use sheets of C39 .. C42 are refused (no primary impedance, a positive grid bias), so
// only C37 and C38 have one here, with their grid biased at +250 V: a 12AY7 in C37 gives no
// possible cycle at all, a 300B all 200 cycles, an EL34 in C38 37 before an impossible one.
const std::vector<PowerCase>& powerCases() {
    static const std::vector<PowerCase> cases = {
        {"C37/first_use_12AY7", 37, "12AY7", {}},
        {"C37/first_use_300B", 37, "300B", {}},
        {"C38/first_use_EL34", 38, "EL34", {}},
        {"C37/300B",
         37,
         "300B",
         {{"EdVb", "400"}, {"EdRk", "820"}, {"EdVg", "0"}, {"EdRa", "3k"}, {"EdRp", "100"}}},
        {"C37/2x2A3",
         37,
         "2A3",
         {{"LBparallel", "2"},
          {"EdVb", "300"},
          {"EdRk", "750"},
          {"EdVg", "0"},
          {"EdRa", "2k5"},
          {"EdRp", "80"}}},
        {"C38/EL34",
         38,
         "EL34",
         {{"EdVb", "350"},
          {"EdVg", "0"},
          {"EdRk", "220"},
          {"EdVg2", "300"},
          {"EdRa", "3k"},
          {"EdRp", "100"}}},
        {"C39/300B", 39, "300B", {{"EdVb", "400"}, {"EdRk", "470"}, {"EdZaa", "5k"}}},
        {"C39/2x2A3", 39, "2A3", {{"LBparallel", "2"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}}},
        {"C40/EL34", 40, "EL34", {{"EdVb", "350"}, {"EdVe", "300"}, {"EdRk", "200"}, {"EdZaa", "6k6"}}},
        {"C40/2xKT88",
         40,
         "KT88",
         {{"LBparallel", "2"}, {"EdVb", "450"}, {"EdVe", "350"}, {"EdRk", "150"}, {"EdZaa", "4k"}}},
        {"C41/300B", 41, "300B", {{"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}}},
        {"C41/2A3", 41, "2A3", {{"EdVb", "300"}, {"EdVg", "-60"}, {"EdZaa", "3k"}}},
        {"C42/EL34", 42, "EL34", {{"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}}},
        {"C42/2x6L6-GC",
         42,
         "6L6-GC",
         {{"LBparallel", "2"}, {"EdVb", "450"}, {"EdVg", "-40"}, {"EdVe", "300"}, {"EdZaa", "5k6"}}},
    };
    return cases;
}

// A first opening of the case's circuit with its model and field values.
SolveRequest powerRequest(const PowerCase& c) {
    BenchValues values = {{"LBtube", c.model}};
    values.insert(values.end(), c.values.begin(), c.values.end());
    return sheetOf(c.circuit, values);
}

void runSolve(benchmark::State& state, const PowerCase& c) {
    const SolveRequest rq = powerRequest(c);
    const SolveOutcome first = solveCommand(rq);
    if (!first.solved || !first.result.power) {
        state.SkipWithError("the sheet does not solve");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
    state.counters["cycles"] = static_cast<double>(first.result.power->cycles.size());
}

const int registered = [] {
    for (const PowerCase& c : powerCases())
        benchmark::RegisterBenchmark((std::string("BM_PowerSolve/") + c.name).c_str(),
                                     [&c](benchmark::State& state) { runSolve(state, c); })
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    return 0;
}();

TTube builtinTube(const char* model) {
    for (const auto& p : builtinModels())
        if (p.name == model)
            return TTube(p, "T1");
    return TTube(builtinModels().front(), "T1");
}

} // namespace

// The single-ended swing analysis alone: a 300B at 400 V, -70 V of bias, 70 cycles.
static void BM_CalculSE300B(benchmark::State& state) {
    TTube t = builtinTube("300B");
    double Ia = 0;
    t.CalculerNK(330, -70, Ia, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(calculSE(t, 1, Ia, 1, 0, 3000, 100, -70, 400));
}
BENCHMARK(BM_CalculSE300B)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The push-pull swing analysis alone: a pair of 300B at 400 V and -80 V of fixed bias, 158 cycles.
static void BM_CalculPP300B(benchmark::State& state) {
    TTube t = builtinTube("300B");
    double Ia = 0;
    t.CalculerNK(400, -80, Ia, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(calculPP(t, 1, PushPullBias::FixedGrid, {}, 1, 0, 5000, 0, -80, 400));
}
BENCHMARK(BM_CalculPP300B)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// The bias rating of a push-pull pair alone: EL34 at 400 V, -30 V.
static void BM_BiasModeEL34(benchmark::State& state) {
    TTube t = builtinTube("EL34");
    t.CalculerNKpentode(400, -30, 300, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(biasModePP(t, 1, 6600, t.Ia(), 400));
}
BENCHMARK(BM_BiasModeEL34)->Unit(benchmark::kMillisecond);
