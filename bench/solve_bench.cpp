// Whole solves (the reference C1 case with its bandwidth sweep, the C28 totem pole) and the bias
// solvers alone.
#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "model/builtin_models.h"

#include <benchmark/benchmark.h>

namespace {

// A first opening of circuit n with the model given in its tube selector.
SolveRequest firstOpening(int n, const char* model) {
    SolveRequest rq;
    rq.circuit = n;
    rq.sheet = newSheet(n);
    SheetControl* tube = rq.sheet.find("LBtube");
    tube->items = {model};
    tube->selected = 0;
    rq.tubes = builtinTubeFactory();
    return rq;
}

SolveRequest c1Request() {
    return firstOpening(1, "ECC83 / 12AX7");
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

// The totem pole: a bisection on the output node around a damped fixed point, no Bode sweep.
static void BM_SolveC28(benchmark::State& state) {
    const SolveRequest rq = firstOpening(28, "ECC82 / 12AU7");
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveC28)->Unit(benchmark::kMicrosecond);

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
