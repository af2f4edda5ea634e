// Every built solver, over random sheets: each solve returns, with finite figures or a verdict line.
#include "solve_fixture.h"

#include <cmath>
#include <random>

namespace {
// An engineering value between 1 p and 100 M, sometimes zero or degenerate.
std::string randomValue(std::mt19937& rng) {
    static const char* odd[] = {"0", "1", "0.001", "999M", "1p"};
    std::uniform_int_distribution<int> pick(0, 9);
    if (pick(rng) == 0)
        return odd[std::uniform_int_distribution<int>(0, 4)(rng)];
    static const char* suffix[] = {"p", "n", "µ", "m", "", "k", "M"};
    const int mantissa = std::uniform_int_distribution<int>(1, 999)(rng);
    return std::to_string(mantissa) + suffix[std::uniform_int_distribution<int>(0, 6)(rng)];
}

bool finiteOrFlagged(const SolveResult& r) {
    if (!r.ok)
        return true;
    for (const auto& t : r.tubes)
        if (!std::isfinite(t.Ia()) || !std::isfinite(t.Vak()) || !std::isfinite(t.Vgk()))
            return false;
    return true;
}
} // namespace

TEST(RandomSheets, EverySolverReturnsOnRandomSheets) {
    std::mt19937 rng(20261209);
    for (int n = 1; n <= kCircuitCount; ++n) {
        for (int round = 0; round < 60; ++round) {
            SolveRequest rq = firstOpening(n, {});
            for (auto& c : rq.sheet.controls) {
                if (c.kind == ControlKind::Edit)
                    c.text = c.name == "EdVb"
                                 ? std::to_string(std::uniform_int_distribution<int>(20, 800)(rng))
                                 : randomValue(rng);
                else if (c.kind == ControlKind::CheckBox)
                    c.checked = rng() % 2;
                else if (c.kind == ControlKind::Selector && !c.items.empty())
                    c.selected = static_cast<int>(rng() % c.items.size());
            }
            rq.bode.freqmin = static_cast<int>(rng() % 4);
            rq.bode.freqmax = static_cast<int>(rng() % 4);
            rq.bode.feedback = static_cast<int>(rng() % 8);
            const SolveOutcome out = solveCommand(rq);
            if (!out.solved) { // refused by validation (e.g. a positive grid bias on C41): it says why
                EXPECT_FALSE(out.messages.empty()) << "C" << n << " round " << round;
                continue;
            }
            EXPECT_TRUE(finiteOrFlagged(out.result)) << "C" << n << " round " << round << "\n"
                                                     << out.result.dcReport;
            expectCircuitInvariants(rq, out.result,
                                    "C" + std::to_string(n) + " round " + std::to_string(round));
        }
    }
}
