// Whole solves (the reference C1 case with its bandwidth sweep, the C28 totem pole, the C23
// push-pull with its nested balances) and the bias solvers alone.
#include "bench_support.h"
#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "model/builtin_models.h"
#include "solver/value_parser.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

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

// Realistic variations of circuit n's first-use sheet (with the given values first), seeded: every
// value scaled by up to five times either way, a supply of 100 to 500 V, the double triodes of the
// usual audio designs.
std::vector<SolveRequest> realisticSheets(int n, int count, const BenchValues& base = {}) {
    static const char* const kTriodes[] = {"ECC81 / 12AT7", "ECC82 / 12AU7", "ECC83 / 12AX7",
                                           "ECC88 / 6DJ8",  "12AY7",         "ECC99"};
    std::mt19937 rng(static_cast<unsigned>(1000 + n));
    std::uniform_real_distribution<double> decades(-0.7, 0.7);
    std::vector<SolveRequest> sheets;
    for (int i = 0; i < count; ++i) {
        SolveRequest rq = sheetOf(n, base);
        for (SheetControl& c : rq.sheet.controls) {
            if (c.kind == ControlKind::Selector && c.name.rfind("LBtube", 0) == 0) {
                c.items = {kTriodes[rng() % std::size(kTriodes)]};
                c.selected = 0;
            } else if (c.kind == ControlKind::Edit && c.name == "EdVb") {
                c.text = std::to_string(std::uniform_int_distribution<int>(100, 500)(rng));
            } else if (c.kind == ControlKind::Edit) {
                bool ok = false;
                const double v = parseValue(c.text, NumberLocale{}, &ok);
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.3g", v * std::pow(10.0, decades(rng)));
                if (ok)
                    c.text = buf;
            }
        }
        sheets.push_back(rq);
    }
    return sheets;
}

// Solves the sheets one after the other, one a benchmark iteration.
void solveInTurn(benchmark::State& state, const std::vector<SolveRequest>& sheets) {
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(sheets[i++ % sheets.size()]));
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

// The push-pull with DC feedback: an outer loop on the output voltage around a bisection on the
// input pair's cathodes, itself around a bisection per branch; no Bode sweep. A realistic design
// (ECC83 input pair, ECC82 output pair) that balances, and the first-use sheet, which does not.
static void BM_SolveC23(benchmark::State& state) {
    const SolveRequest rq = sheetOf(23, {{"LBtube1", "ECC83 / 12AX7"},
                                         {"LBtube2", "ECC82 / 12AU7"},
                                         {"EdVb", "300"},
                                         {"EdVg1", "75"},
                                         {"EdRa1", "150k"},
                                         {"EdRa2", "150k"},
                                         {"EdRk12", "39k"},
                                         {"EdRk3", "1k"},
                                         {"EdRf1", "100k"},
                                         {"EdRf2", "100k"}});
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveC23)->Unit(benchmark::kMicrosecond);

static void BM_SolveC23FirstUse(benchmark::State& state) {
    const SolveRequest rq = sheetOf(23, {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}});
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveC23FirstUse)->Unit(benchmark::kMicrosecond);

// Sixteen realistic C23 sheets in turn; most need two hundred passes of the outer loop or more.
static void BM_SolveC23Realistic(benchmark::State& state) {
    solveInTurn(state, realisticSheets(23, 16));
}
BENCHMARK(BM_SolveC23Realistic)->Unit(benchmark::kMicrosecond);

// The other differential stages and the regulators: each circuit's first-use sheet with an
// ECC83 in every selector (the regulators C16 and C17 refuse theirs at once), and sixteen
// variations of it in turn. C7's first-use sheet puts the grids at the supply, so its variations
// are mostly impossible sheets whose searches run to their limits; BM_SolveC7Designed varies a
// working design instead.
static void familyCircuits(benchmark::internal::Benchmark* b) {
    b->ArgName("C");
    for (int n : {7, 10, 15, 16, 17, 18, 25, 27})
        b->Arg(n);
}

static void BM_SolveFamilyFirstUse(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    SolveRequest rq = sheetOf(n, {});
    for (SheetControl& c : rq.sheet.controls)
        if (c.kind == ControlKind::Selector && c.name.rfind("LBtube", 0) == 0) {
            c.items = {"ECC83 / 12AX7"};
            c.selected = 0;
        }
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveFamilyFirstUse)->Apply(familyCircuits)->Unit(benchmark::kMicrosecond);

static void BM_SolveFamilyRealistic(benchmark::State& state) {
    solveInTurn(state, realisticSheets(static_cast<int>(state.range(0)), 16));
}
BENCHMARK(BM_SolveFamilyRealistic)->Apply(familyCircuits)->Unit(benchmark::kMicrosecond);

static void BM_SolveC7Designed(benchmark::State& state) {
    solveInTurn(
        state, realisticSheets(7, 16, {{"EdVg", "0"}, {"EdRa1", "100k"}, {"EdRa2", "120k"}, {"EdRk", "1k"}}));
}
BENCHMARK(BM_SolveC7Designed)->Unit(benchmark::kMicrosecond);

// The same sixteen C7 designs one at a time: the average above hides single sheets whose load-line
// searches swing for all their passes.
static void BM_SolveC7DesignedSheet(benchmark::State& state) {
    static const std::vector<SolveRequest> sheets =
        realisticSheets(7, 16, {{"EdVg", "0"}, {"EdRa1", "100k"}, {"EdRa2", "120k"}, {"EdRk", "1k"}});
    const SolveRequest& rq = sheets[static_cast<std::size_t>(state.range(0))];
    for (auto _ : state)
        benchmark::DoNotOptimize(solveCommand(rq));
}
BENCHMARK(BM_SolveC7DesignedSheet)->ArgName("sheet")->DenseRange(0, 15)->Unit(benchmark::kMicrosecond);

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
