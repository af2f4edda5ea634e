// C31, the cascode SRPP+: a realistic design, its report, huge resistors and a shorted output.
#include "cascodes_srpp_checks.h"

TEST(CascodeC31, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly(
        {31, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "470"}, {"EdR2", "470"}}, 2, 2, 2});
}

TEST(CascodeC31, Report) {
    const SolveResult r = solved(31, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "470"}, {"EdR2", "470"}});
    EXPECT_TRUE(contains(r.acReport, "<br>T1: ")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "<br>Average for calculating: ")) << r.acReport;
    const double byp = gridNumber(r, 31, "Gain byp"), unbyp = gridNumber(r, 31, "Gain unbyp");
    EXPECT_GT(byp, unbyp);
    EXPECT_GT(unbyp, 0);
}

TEST(CascodeC31, HugeResistorsStayFinite) {
    expectFiniteSolve(31, {{"EdRk", "1000M"}, {"EdR1", "1000M"}});
}

TEST(CascodeC31, NullGainsHaveNoDecibelFigure) {
    expectNullGainWithoutDecibels(
        31, {{"LBtube", "ECC82 / 12AU7"}, {"EdRo", "0"}, {"EdR2", "0"}},
        "<br><br>Gain, Rk bypassed   <css=µ>0.0</css><br>Gain, Rk UNbypassed <css=µ>0.0</css>");
}

TEST(CascodeC31, StarvedUpperTubeLeavesTheLowerOneBottomedOut) {
    // R1 = R2 = 1 MΩ bias T2 almost to cut-off: a few µA flow and T1, at that current, needs well
    // under 2 V (ngspice finds 0.77 V for ECC83s, 0.49 V for ECC82s). That point is the circuit's own;
    // both tubes carry the one current within 1 %.
    for (const char* model : {"ECC83 / 12AX7", "ECC82 / 12AU7"}) {
        SCOPED_TRACE(model);
        const SolveResult r = solved(31, {{"LBtube", model}, {"EdR1", "1M"}, {"EdR2", "1M"}});
        ASSERT_EQ(r.tubes.size(), 2u);
        EXPECT_LT(r.tubes[0].Vak(), 2);
        EXPECT_NEAR(r.tubes[0].Ia(), r.tubes[1].Ia(), 0.01 * r.tubes[1].Ia());
    }
}
