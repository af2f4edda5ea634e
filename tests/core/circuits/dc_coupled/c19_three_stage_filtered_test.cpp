// C19, three stages on a filtered supply: a realistic point, the report, filters without
// resistance, and stages without cathode resistors.
#include "dc_coupled_checks.h"

TEST(CircuitC19, RealisticOperatingPointIsConsistent) {
    const SolveResult r = expectConsistentPoint(19, {{"LBtube", "ECC83 / 12AX7"}}, 3, "", 0);
    // Each bar runs down from the supply through the filters to its stage's tube.
    ASSERT_EQ(r.stacks.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const auto& items = r.stacks[k].Items;
        ASSERT_EQ(items.size(), k + 4) << k;
        EXPECT_EQ(items[k + 2].nom, "T" + std::to_string(k + 1)) << k;
    }
    // The first filter resistor carries every stage's current.
    EXPECT_NEAR(gridNumber(r, 19, "IR1 (mA)"),
                gridNumber(r, 19, "Ia1 (mA)") + gridNumber(r, 19, "Ia2 (mA)") + gridNumber(r, 19, "Ia3 (mA)"),
                0.002);
}

TEST(CircuitC19, ReportFormats) {
    expectReportParts(
        19, {{"LBtube", "ECC83 / 12AX7"}},
        {"<br><br>V1  <css=vp>", "<br>V3  <css=vp>", "*** Quiescent state <b>T3 ECC83 / 12AX7</b>"},
        {"<i>Theoretical because the probability of oscillation is close to 1", "<b>T3 ECC83 / 12AX7</b>"},
        {});
}

// Without filter resistors every stage runs at the supply, and the loop ends after two passes.
TEST(CircuitC19, FiltersWithoutResistance) {
    SolveRequest rq = firstOpening(19, {{"EdR1", "0"}, {"EdR2", "0"}, {"EdR3", "0"}});
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    ASSERT_TRUE(out.solved);
    for (const char* label : {"LabelVb1", "LabelVb2", "LabelVb3"})
        EXPECT_EQ(labelOf(out.result, label), "250.0V") << label;
    ASSERT_EQ(out.result.traces.size(), 3u);
    EXPECT_EQ(out.result.traces[2].count(), 2u);
    EXPECT_TRUE(contains(out.result.traces[2].caption, "- 2 iter.")) << out.result.traces[2].caption;
}

TEST(CircuitC19, StagesWithoutCathodeResistorsFail) {
    expectFailure(19, {{"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRk3", "0"}}, "", true,
                  {"<br><css=error>Vgk > 0</css>", "<br><css=error>Vgk(s) positive or null</css>"});
}
