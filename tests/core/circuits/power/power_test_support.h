// Checks every output stage's tests share: a realistic design that solves consistently, and a
// degenerate sheet that still returns finite figures and a bounded analysis.
#pragma once

#include "solve_fixture.h"

#include "markup/formatters.h"
#include "power/power_analysis.h"
#include "util/format.h"

#include <cmath>

namespace power_test {

// Solves without the sheet validation, as the solver itself would run on any values.
inline SolveResult solveDirect(const SolveRequest& rq) {
    SolveResult rs;
    rs.title = circuitInfo(rq.circuit).title;
    circuitSolver(rq.circuit)(rq, rs);
    return rs;
}

// Screen current of one side of n tubes as the report uses it (0 for triodes).
inline double sideIe(const SolveResult& r) {
    const TTube& t = r.tubes.at(0);
    return t.t35() == 5 ? t.Ie() : 0;
}

// A realistic design: a consistent operating point and plausible power and efficiency.
struct RealisticDesign {
    int circuit;
    Values values;
    double Vb;
    double minPower, maxPower; // W at the secondary, last cycle
};

inline void expectRealisticDesign(const RealisticDesign& c) {
    const SolveResult r = solved(c.circuit, c.values);
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_TRUE(r.messages.empty());
    ASSERT_EQ(r.tubes.size(), 1u);
    const TTube& t = r.tubes[0];
    EXPECT_LT(t.Vgk(), 0);
    EXPECT_GT(t.Ia(), 0.01);
    EXPECT_NEAR(sumOf(r.stacks.at(0)), c.Vb, 1.0);
    EXPECT_TRUE(r.acReport.empty());
    EXPECT_FALSE(r.bode.has_value());

    ASSERT_TRUE(r.power.has_value());
    const PowerData& p = *r.power;
    EXPECT_EQ(p.circuit, c.circuit);
    EXPECT_EQ(p.pushPull, c.circuit >= 39);
    EXPECT_EQ(p.pushPull, circuitInfo(c.circuit).power->pushPull); // the analysis follows the entry
    ASSERT_GE(p.cycles.size(), 10u);
    const TRecCycle& last = p.cycles.back();
    EXPECT_GT(last.Psec, c.minPower);
    EXPECT_LT(last.Psec, c.maxPower);
    const TRecCycle& middle = p.cycles[p.cycles.size() / 2];
    if (c.circuit <= 38) {
        EXPECT_LT(middle.Y, 0.5); // class A single-ended
        EXPECT_NEAR(p.Ia0, t.Ia(), 1e-12);
    } else {
        EXPECT_GT(last.Y, 0.25); // push-pull at full drive
        EXPECT_LT(last.Y, 0.9);  // a pentode clipped hard at its sharp knee passes class B's 78.5 %
        EXPECT_FALSE(p.className.empty());
        EXPECT_FALSE(p.caption.empty());
    }
    EXPECT_GT(last.PVb, 0);
}

// A degenerate sheet still returns, with finite figures or a verdict, and a bounded analysis.
inline void expectDegenerateSheetReturns(int circuit, Values values) {
    const SolveResult r = solved(circuit, values);
    ASSERT_TRUE(r.power.has_value());
    EXPECT_LE(r.power->cycles.size(), static_cast<std::size_t>(kMaxPushPullCycles));
    for (const TRecCycle& cycle : r.power->cycles) {
        EXPECT_TRUE(std::isfinite(cycle.Psec));
        EXPECT_TRUE(std::isfinite(cycle.Y));
    }
    EXPECT_TRUE(std::isfinite(r.power->biasMode));
    EXPECT_TRUE(std::isfinite(r.power->PA));
    if (r.ok) {
        EXPECT_TRUE(std::isfinite(r.tubes.at(0).Ia()));
        EXPECT_TRUE(std::isfinite(r.tubes.at(0).Vak()));
    }
}

// A push-pull report counts both sides: per-tube and total currents, the tube count of the supply
// line, the supply current label, and the grid row that logs the pair as the supply line counts it.
struct PushPullCount {
    int circuit;
    Values values;
    int parallel;
    const char* supplyTail;
    const char* perTubeLabel;
};

inline void expectPushPullCounts(const PushPullCount& c) {
    const SolveResult r = solved(c.circuit, c.values);
    const double Ia = r.tubes.at(0).Ia(); // the side's total
    EXPECT_TRUE(contains(r.dcReport, fmtCurrent(c.perTubeLabel, 1, 1000 * Ia / c.parallel)));
    EXPECT_TRUE(contains(r.dcReport, fmtCurrent("Ia total   ", 1, 2000 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, c.supplyTail));
    EXPECT_EQ(labelOf(r, "LabelIb"), strFormat("%.0fmA", 2000 * Ia));
    if (c.parallel > 1) {
        EXPECT_TRUE(contains(r.dcReport, strFormat("%d tubes in parallel per branch", c.parallel)));
    }
    ASSERT_EQ(r.gridRow.size(), circuitInfo(c.circuit).gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[1], strFormat("%dx %s", 2 * c.parallel, r.tubes[0].ModelName().c_str()));
    EXPECT_NEAR(gridNumber(r, c.circuit, "Ia (mA)"), 2000 * Ia, 0.051);
    EXPECT_NEAR(gridNumber(r, c.circuit, "Vgk (V)"), r.tubes[0].Vgk(), 0.0051);
    const TRecCycle& last = r.power->cycles.back();
    EXPECT_NEAR(gridNumber(r, c.circuit, "Vg swing (V)"), -last.swing, 0.051); // grid to grid
    EXPECT_NEAR(gridNumber(r, c.circuit, "Pout (W)"), last.Psec, 0.051);
}

// A fixed-bias push-pull with a positive grid: the window refuses the sheet; the solver itself
// gives the verdict and still runs the analysis (without cycles).
inline void expectPositiveGridVerdict(int circuit) {
    SolveRequest rq = firstOpening(circuit, {{"EdVb", "300"}, {"EdVg", "2"}, {"EdZaa", "5k"}});
    ASSERT_FALSE(validateSheet(rq.sheet, rq.locale).empty());
    const SolveResult r = solveDirect(rq);
    EXPECT_TRUE(contains(r.dcReport, "Vgk > 0"));
    EXPECT_FALSE(r.ok);
    ASSERT_TRUE(r.power.has_value());
    EXPECT_TRUE(r.power->cycles.empty());
}

} // namespace power_test
