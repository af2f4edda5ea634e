// C15, the long-tailed pair: the grids return to the tail, the report formats, a missing bias
// resistor and the traces.
#include "differential_designs.h"

TEST(DifferentialC15, RealisticDesignIsPhysicallyConsistent) {
    expectPhysicallyConsistent(kC15Design);
}

TEST(DifferentialC15, PairGainsHaveOppositeSignsAndAddUp) {
    expectPairGainsOppositeAndAddingUp(kC15Design);
}

TEST(DifferentialC15, GridReturnSitsOnTheTail) {
    const SolveResult r = solved(15, kC15Design.values);
    const double It = r.tubes[0].Ia() + r.tubes[1].Ia();
    EXPECT_NEAR(labelNumber(r, "LabelVg"), 47e3 * It, 0.15);
    EXPECT_NEAR(labelNumber(r, "LabelVk"), 48e3 * It, 0.15);
    EXPECT_NEAR(r.tubes[0].Vgk(), -1e3 * It, 3e-3);
    EXPECT_EQ(
        r.dcReport.rfind("<p><b>" + circuitInfo(15).title + "</b></p><br><color=909090>Valvenix</color> ", 0),
        0u)
        << r.dcReport;
    for (const char* part : {"<br>Rkg<css=r>", "<br>Rk <css=r>", "ΔVa <css=vp>0.00 V</css>"})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
}

TEST(DifferentialC15, NoBiasResistorLeavesTheGridsAtTheCathodes) {
    const SolveResult r = solved(15, {{"LBtube", "ECC83 / 12AX7"}, {"EdRkg", "0"}, {"EdRk", "47k"}});
    EXPECT_EQ(r.tubes[0].Vgk(), 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Vgk > 0</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Vgk(s) positive or null</css>")) << r.dcReport;
    EXPECT_LE(occurrences(r.dcReport, "Too many iterations"), 1u);
}

TEST(DifferentialC15, TracesNameEveryTubeAndChangeNothing) {
    expectTracesNameEveryTube(kC15Design, 2, "Res ±1µA");
}
