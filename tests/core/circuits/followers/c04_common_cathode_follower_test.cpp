// C4, a common-cathode stage DC-coupled to a cathode follower: a realistic point, the warning of a
// follower that cannot carry its current, the total gain, and the verdict lines written once.
#include "followers_checks.h"

#include "circuits/solver_common.h"
#include "util/format.h"

#include <cmath>

TEST(CircuitC4, RealisticOperatingPointAddsUp) {
    const SolveResult r = expectRealisticPoint(
        4, {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRk2", "47k"}}, "A1.A2", -70, -20);
    // Each tube's cells hold that tube's point.
    ASSERT_EQ(r.tubes.size(), 2u);
    for (int i : {1, 2}) {
        const TTube& t = r.tubes[i - 1];
        EXPECT_NEAR(gridNumber(r, 4, strFormat("Vak%d (V)", i)), t.Vak(), 0.05) << i;
        EXPECT_NEAR(gridNumber(r, 4, strFormat("Ia%d (mA)", i)), 1000 * t.Ia(), 0.0005) << i;
    }
    EXPECT_NEAR(gridNumber(r, 4, "Vk2 (V)"), 47e3 * r.tubes[1].Ia(), 0.005);
}

TEST(CircuitC4, WarningWhenTheFollowerCannotCarryItsCurrent) {
    struct Case {
        const char* name;
        Values values;
        bool warned;
    } cases[] = {
        {"large Ra, large Rk2",
         {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRa", "220k"}, {"EdRk2", "47k"}},
         false},
        {"small Rk2", {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdRk2", "1k"}}, true},
    };
    const std::string warning =
        "<br><br><css=error>Warning: the tube T2 cannot deliver the current<br>which is "
        "imposed by its (high) grid voltage and (low) cathode resistor.</css>";
    for (const auto& c : cases) {
        const SolveResult r = solved(4, c.values);
        EXPECT_EQ(contains(r.dcReport, warning), c.warned) << c.name << "\n" << r.dcReport;
        EXPECT_EQ(r.ok, !c.warned) << c.name;
        EXPECT_EQ(r.messages.empty(), !c.warned) << c.name;
        EXPECT_EQ(r.gridRow.at(0), c.warned ? "ERROR" : "12:34:56") << c.name;
        EXPECT_LE(occurrences(r.dcReport, "No convergence !"), 1) << c.name;
        const TTube& t1 = r.tubes.at(0);
        // T2's grid is T1's anode.
        EXPECT_EQ(labelOf(r, "LabelVg"), strFormat("%.2fV", 250 - gridNumber(r, 4, "Ra (Ω)") * t1.Ia()));
    }
}

TEST(CircuitC4, TotalGainIsTheProductOfTheStages) {
    SolveRequest rq = firstOpening(4, {{"LBtube1", "ECC83 / 12AX7"},
                                       {"LBtube2", "ECC82 / 12AU7"},
                                       {"EdRk2", "47k"},
                                       {"CheckBoxConnected", "1"}});
    rq.traceConvergence = true;
    const SolveResult r = solveCommand(rq).result;
    ASSERT_EQ(r.traces.size(), 2u);
    EXPECT_EQ(r.traces[0].caption.rfind("C4 - T1 ECC83 / 12AX7 - ", 0), 0u) << r.traces[0].caption;
    EXPECT_EQ(r.traces[1].caption,
              strFormat("C4 - T2 ECC82 / 12AU7 - Res ±1µA Ia %.2fmA", 1000 * r.tubes.at(1).Ia()));
    const double A1 = gridNumber(r, 4, "A1"), A2 = gridNumber(r, 4, "A2");
    EXPECT_LT(A1, -50);
    EXPECT_NEAR(gridNumber(r, 4, "A1.A2"), A1 * A2, 0.1);
    const std::string bypassed = strFormat("<br><br>Total gain (Rk1 BYpassed)   <css=µ>%.1f</css> or %.1fdB",
                                           A1 * A2, 20 * std::log10(std::fabs(A1 * A2)));
    EXPECT_TRUE(contains(r.acReport, bypassed)) << bypassed << "\n" << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "<br><br>Total gain (Rk1 UNbypassed) <css=µ>-3")) << r.acReport;
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_NEAR(sumOf(r.stacks[0]), 250, 1);
    EXPECT_NEAR(sumOf(r.stacks[1]), 250, 1);
    ASSERT_EQ(r.loadLines.size(), 2u);
    EXPECT_EQ(r.loadLines[1].image, 2);
    EXPECT_DOUBLE_EQ(r.loadLines[1].Imax, 250 / 47e3);

    // A null follower resistor cannot bias T2.
    const SolveResult nullRk2 = solved(4, {{"EdRk2", "0"}});
    EXPECT_EQ(nullRk2.dcReport, "<css=error>Resistor(s) cannot be null !</css>");
}

// C4 writes the verdicts of each tube; a line the report already holds is not written again.
TEST(CircuitC4, VerdictLinesAreWrittenOnce) {
    std::string report = "<b>title</b>";
    EXPECT_FALSE(addVerdictsOnce(report, true, false, true, true, true));
    EXPECT_TRUE(addVerdictsOnce(report, true, true, true, true, true));
    EXPECT_FALSE(addVerdictsOnce(report, true, false, false, true, true));
    EXPECT_EQ(report,
              "<b>title</b><br><css=error>No convergence !</css><br><css=error>Wrong operating point</css>"
              "<br><css=error>Vgk > 0</css>");
}
