// Whole solves and the bandwidth sweep of the reference C1 case, and the bias solvers alone.
#include "circuits/catalogue.h"
#include "model/builtin_models.h"
#include "solver/solve_command.h"

#include <benchmark/benchmark.h>

namespace {

SolveRequest c1Request() {
    SolveRequest rq;
    rq.circuit = 1;
    rq.sheet = newSheet(1);
    SheetControl* tube = rq.sheet.find("LBtube");
    tube->items = {"ECC83 / 12AX7"};
    tube->selected = 0;
    rq.tubes = builtinTubeFactory();
    return rq;
}

const TubeParams& ecc83() {
    for (const auto& p : builtinModels())
        if (p.name == "ECC83 / 12AX7")
            return p;
    return builtinModels().front();
}
} // namespace

static void BM_SolveC1WithBode(benchmark::State& state) {
    const SolveRequest rq = c1Request();
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveC1WithBode)->Unit(benchmark::kMillisecond);

static void BM_BasicBiasSuccApprox(benchmark::State& state) {
    TTube t(ecc83(), "T1");
    for (auto _ : state)
        benchmark::DoNotOptimize(t.basicBiasSuccApprox(250, 100e3, 1e3));
}
BENCHMARK(BM_BasicBiasSuccApprox);

static void BM_WhichVg(benchmark::State& state) {
    TTube t(ecc83(), "T1");
    for (auto _ : state)
        benchmark::DoNotOptimize(t.whichVg(0.5e-3, 250, 0));
}
BENCHMARK(BM_WhichVg);
