// C34, the half-µ stage: a realistic design, its report and a missing R1.
#include "cascodes_srpp_checks.h"

TEST(CascodeC34, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly(
        {34, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "1k"}}, 2, 2, 2});
}

TEST(CascodeC34, Report) {
    const SolveResult r = solved(34, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "1k"}});
    EXPECT_TRUE(contains(r.dcReport, "<b>Half-mu stage</b><br><color=909090>Valvenix</color><br>"))
        << r.dcReport;
    EXPECT_TRUE(contains(r.acReport, "<i>Condition: output supposedly loaded by infinite load"))
        << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "Stage (half-µ follower) T1 (ECC82 / 12AU7) T2 (ECC82 / 12AU7)"))
        << r.acReport;
    // Half-µ: about −µ/2 bypassed.
    const double Ab = gridNumber(r, 34, "Ab");
    EXPECT_LT(Ab, -7);
    EXPECT_GT(Ab, -14);
}

TEST(CascodeC34, WithoutR1Fails) {
    expectFailureVerdict(34, {{"LBtube", "ECC83 / 12AX7"}, {"EdR1", "0"}},
                         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>");
}
