// C10, the differential pair on a constant current: the source's current split between the tubes,
// the report formats, a missing source and the traces.
#include "differential_designs.h"

TEST(DifferentialC10, RealisticDesignIsPhysicallyConsistent) {
    expectPhysicallyConsistent(kC10Design);
}

TEST(DifferentialC10, PairGainsHaveOppositeSignsAndAddUp) {
    expectPairGainsOppositeAndAddingUp(kC10Design);
}

TEST(DifferentialC10, MatchedPairSplitsTheSourceCurrentEvenly) {
    const SolveResult r = solved(10, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "2m"}});
    ASSERT_EQ(r.tubes.size(), 2u);
    EXPECT_NEAR(r.tubes[0].Ia(), 1e-3, 1e-6);
    EXPECT_NEAR(r.tubes[1].Ia(), 1e-3, 1e-6);
    EXPECT_EQ(r.dcReport.rfind("<br><color=909090>Valvenix</color> ", 0), 0u) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>"));
    for (const char* part :
         {"Total power supply  <css=vp>250 V</css>   <css=i>2.0 mA</css>   <css=mw>500 mW</css>",
          "ΔVa <css=vp>0.00 V</css>", "Vg <css=vp>0.00 V</css>", "*** Quiescent state <b>T1 ",
          "*** Quiescent state <b>T2 "})
        EXPECT_TRUE(contains(r.dcReport, part)) << part << "\n" << r.dcReport;
    EXPECT_EQ(labelOf(r, "LabelIa1"), "1.0mA");
    EXPECT_EQ(labelOf(r, "LabelIt"), "2.0mA");
    EXPECT_EQ(labelOf(r, "LabelVa1"), labelOf(r, "LabelVa2"));
    EXPECT_EQ(r.gridRow[10], "2.000"); // "Ic (mA)"
}

TEST(DifferentialC10, ZeroSourceCurrentRunsOnATrickle) {
    const SolveResult r = solved(10, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0"}, {"EdIcs", "0"}});
    EXPECT_TRUE(contains(r.dcReport, "Total power supply  <css=vp>250 V</css>   <css=i>0.1 mA</css>"))
        << r.dcReport;
    EXPECT_NEAR(r.tubes[0].Ia() + r.tubes[1].Ia(), 1e-4, 2e-6);
}

TEST(DifferentialC10, TracesNameEveryTubeAndChangeNothing) {
    expectTracesNameEveryTube(kC10Design, 2, "Res ±1µA");
}
