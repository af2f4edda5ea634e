// The parameter sweep: refused ranges, the values stepped, rows identical to single solves, steps
// that do not solve, cancelling, and the series a picture plots.
#include "solve_fixture.h"

#include "circuits/sweep.h"

#include <cmath>

namespace {
SolveRequest c1() {
    return firstOpening(1, {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "300"}, {"EdRa", "100k"}, {"EdRo", "1M"}});
}
} // namespace

TEST(Sweep, RefusedRanges) {
    const Sheet sheet = c1().sheet;
    const struct {
        const char* name;
        SweepPlan plan;
        const char* message;
    } cases[] = {
        {"field the circuit lacks", {"EdVg", 1, 2, 10, false}, "C1 has no field EdVg"},
        {"a check box", {"CheckBoxCkconnected", 0, 1, 1, false}, "not an edit field"},
        {"equal ends", {"EdRk", 1000, 1000, 10, false}, "two different ends"},
        {"no steps", {"EdRk", 500, 5000, 0, false}, "from 1 to 10000, not 0"},
        {"too many steps", {"EdRk", 500, 5000, 100000, false}, "not 100000"},
        {"log through zero", {"EdRk", -10, 10, 10, true}, "logarithmic"},
        {"log from zero", {"EdRk", 0, 10, 10, true}, "logarithmic"},
        {"not finite", {"EdRk", 1, INFINITY, 10, false}, "finite"},
    };
    for (const auto& c : cases) {
        const std::string problem = sweepProblem(sheet, c.plan);
        EXPECT_NE(problem.find(c.message), std::string::npos) << c.name << ": " << problem;
        // Nothing is solved for a refused range.
        EXPECT_TRUE(runSweep(c1(), c.plan).rows.empty()) << c.name;
    }
    EXPECT_EQ(sweepProblem(sheet, {"EdRk", 500, 5000, 9, true}), "");
    EXPECT_EQ(sweepProblem(sheet, {"EdRk", -5, -1, 4, true}), "");
}

TEST(Sweep, ValuesAsTyped) {
    const struct {
        SweepPlan plan;
        std::vector<std::string> texts;
    } cases[] = {
        {{"EdRk", 500, 5000, 9, false},
         {"500", "1000", "1500", "2000", "2500", "3000", "3500", "4000", "4500", "5000"}},
        {{"EdRk", 10, 1000, 2, true}, {"10", "100", "1000"}},
        {{"EdRk", 1, 0, 4, false}, {"1", "0.75", "0.5", "0.25", "0"}},
        {{"EdCk", 1e-7, 1e-6, 1, false}, {"0.0000001", "0.000001"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sweepTexts(c.plan), c.texts) << c.plan.field << " " << c.plan.from;
}

TEST(Sweep, RowsReproduceSingleSolves) {
    const SolveRequest base = c1();
    const SweepResult sweep = runSweep(base, {"EdRk", 500, 5000, 9, false});
    ASSERT_EQ(sweep.rows.size(), 10u);
    ASSERT_EQ(sweep.columns.size(), circuitInfo(1).gridColumns.size() + 1);
    for (const SweepRow& row : sweep.rows) {
        SolveRequest single = base;
        single.sheet.find("EdRk")->text = row.text;
        const SolveOutcome one = solveCommand(single);
        ASSERT_TRUE(row.solved) << row.text << ": " << row.error;
        EXPECT_EQ(row.gridRow, one.result.gridRow) << row.text;
    }
    // The cathode resistor shows in its column, and the current falls as it grows.
    const SweepSeries rk = sweepSeries(sweep, 4);
    ASSERT_EQ(rk.points.size(), 10u);
    EXPECT_EQ(rk.points.front().second, 500);
    EXPECT_EQ(rk.yLabel, "Rk (Ω)");
}

TEST(Sweep, StepsThatDoNotSolveGoOn) {
    // The supply's range ends at 800 V: the last two steps are refused, the others solve.
    const SweepResult sweep = runSweep(c1(), {"EdVb", 600, 1000, 4, false});
    ASSERT_EQ(sweep.rows.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(sweep.rows[static_cast<std::size_t>(i)].solved, i < 3) << i;
        if (i >= 3) {
            EXPECT_FALSE(sweep.rows[static_cast<std::size_t>(i)].error.empty());
            EXPECT_TRUE(sweep.rows[static_cast<std::size_t>(i)].gridRow.empty());
        }
    }
    EXPECT_EQ(sweepSeries(sweep, 2).points.size(), 3u);
}

TEST(Sweep, CancelStopsAfterTheStep) {
    int calls = 0;
    const SweepResult sweep = runSweep(c1(), {"EdRk", 500, 5000, 99, false}, [&](int done, int total) {
        ++calls;
        EXPECT_EQ(total, 100);
        return done < 3;
    });
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(sweep.rows.size(), 3u);
    EXPECT_TRUE(sweep.cancelled);
}

TEST(Sweep, CellsReadInTheLocale) {
    SolveRequest rq = c1();
    rq.locale = {',', "."};
    const SweepResult sweep = runSweep(rq, {"EdRa", 100000, 200000, 1, false});
    ASSERT_EQ(sweep.rows.size(), 2u);
    EXPECT_EQ(sweep.rows[1].text, "200000");
    // Ra is written "200.000" with a full stop grouping the thousands.
    EXPECT_EQ(sweepCell(sweep, sweep.rows[1], 3), 200000);
}
