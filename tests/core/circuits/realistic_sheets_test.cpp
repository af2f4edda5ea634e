// Every circuit on its first-use sheet with each tube of its selectors, then on realistic sheets: the
// first-use values scaled by up to five times either way, a supply of 100 to 500 V, random tubes,
// check boxes and bandwidth options. Each solve returns, with finite figures or a verdict line.
//
// VALVENIX_RANDOM_SHEETS sets the number of realistic sheets per circuit (default 12) and
// VALVENIX_RANDOM_SECONDS a time budget per circuit after which the remaining sheets are skipped
// (default none); the sanitizer run uses a few hundred sheets within a budget. The sheets are seeded
// by circuit, so a failing round can be replayed.
#include "solve_fixture.h"

#include "solver/value_parser.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {
int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::atoi(v) : fallback;
}

bool finiteOrFlagged(const SolveResult& r) {
    if (!r.ok)
        return true;
    for (const auto& t : r.tubes)
        if (!std::isfinite(t.Ia()) || !std::isfinite(t.Vak()) || !std::isfinite(t.Vgk()))
            return false;
    return true;
}

std::string scaled(const std::string& firstUse, double factor) {
    bool ok = false;
    const double v = parseValue(firstUse, NumberLocale{}, &ok);
    if (!ok || firstUse.empty())
        return firstUse;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3g", v * factor);
    return buf;
}

// A realistic variation of the first-use sheet; values that the sheet's validation would refuse by
// design (a positive grid bias on C41/C42, a cathode resistor outside 10 ... 1000 ohm on C39/C40) are
// drawn inside their range.
void vary(SolveRequest& rq, std::mt19937& rng) {
    std::uniform_real_distribution<double> decades(-0.7, 0.7);
    for (auto& c : rq.sheet.controls) {
        if (c.kind == ControlKind::Edit) {
            if (c.name == "EdVb")
                c.text = std::to_string(std::uniform_int_distribution<int>(100, 500)(rng));
            else if (c.name == "EdVg" && rq.circuit >= 41)
                c.text = std::to_string(-std::uniform_int_distribution<int>(1, 80)(rng));
            else if (c.name == "EdRk" && (rq.circuit == 39 || rq.circuit == 40))
                c.text = std::to_string(std::uniform_int_distribution<int>(10, 1000)(rng));
            else
                c.text = scaled(c.text, std::pow(10.0, decades(rng)));
        } else if (c.kind == ControlKind::CheckBox) {
            c.checked = rng() % 2;
        } else if (c.kind == ControlKind::Selector && !c.items.empty()) {
            c.selected = static_cast<int>(rng() % c.items.size());
        }
    }
    rq.bode.freqmin = static_cast<int>(rng() % 4);
    rq.bode.freqmax = static_cast<int>(rng() % 4);
    rq.bode.straycaps = static_cast<int>(rng() % 5);
    rq.bode.feedback = static_cast<int>(rng() % 8);
    rq.bode.ignoreMiller = rng() % 2;
}

void expectSane(const SolveRequest& rq, const std::string& what) {
    const SolveOutcome out = solveCommand(rq);
    if (!out.solved) {
        EXPECT_FALSE(out.messages.empty()) << what;
        return;
    }
    EXPECT_TRUE(finiteOrFlagged(out.result)) << what << "\n" << out.result.dcReport;
}
} // namespace

class RealisticSheets : public ::testing::TestWithParam<int> {};

TEST_P(RealisticSheets, SolveReturnsWithFiniteFiguresOrAVerdict) {
    const int n = GetParam();
    if (!circuitSolver(n))
        GTEST_SKIP() << "no solver for C" << n;
    // First-use values with every tube of the first selector.
    const SolveRequest firstUse = firstOpening(n, {});
    const TubeSelector& first = circuitInfo(n).tubeSelectors.front();
    const std::size_t tubes = firstUse.sheet.find(first.name)->items.size();
    for (std::size_t t = 0; t < tubes; ++t) {
        SolveRequest rq = firstUse;
        rq.sheet.find(first.name)->selected = static_cast<int>(t);
        expectSane(rq, "first-use sheet, tube " + rq.sheet.find(first.name)->selectedText());
    }

    const int sheets = envInt("VALVENIX_RANDOM_SHEETS", 12);
    const int seconds = envInt("VALVENIX_RANDOM_SECONDS", 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::mt19937 rng(20260 + n);
    int round = 0;
    for (; round < sheets; ++round) {
        if (seconds > 0 && std::chrono::steady_clock::now() > deadline)
            break;
        SolveRequest rq = firstUse;
        vary(rq, rng);
        expectSane(rq, "realistic sheet round " + std::to_string(round));
    }
    std::printf("C%d: %zu first-use and %d realistic sheets\n", n, tubes, round);
}

INSTANTIATE_TEST_SUITE_P(EveryCircuit, RealisticSheets, ::testing::Range(1, kCircuitCount + 1),
                         [](const auto& info) { return "C" + std::to_string(info.param); });
