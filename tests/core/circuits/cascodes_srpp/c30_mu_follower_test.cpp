// C30, the µ-follower: a realistic design, its gains, the floor of the lower anode and an all-zero
// sheet.
#include "cascodes_srpp_checks.h"

TEST(CascodeC30, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly({30, {{"LBtube", "ECC83 / 12AX7"}}, 2, 3, 1});
}

TEST(CascodeC30, MuFollowerGains) {
    const SolveResult r = solved(30, {{"LBtube", "ECC83 / 12AX7"}});
    const double mu1 = gridNumber(r, 30, "µ1"), k = gridNumber(r, 30, "Gain T2"),
                 gain = gridNumber(r, 30, "Gain");
    EXPECT_GT(mu1, 80);
    EXPECT_GT(k, 0.95);
    EXPECT_LT(k, 1);
    EXPECT_NEAR(gain, mu1 * k, 0.2);
    for (const char* part :
         {"<b>Small signal estimations:</b><br>", "Gain of T2 ~ ", "<br>AC load seen by T1 ~ ",
          "<br>Input impedance of T1 ~ ", "Output impedance on T2 cathode ~ "})
        EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", t1.Vak() + 1000 * t1.Ia()));
    EXPECT_NEAR(t2.Vgk(), -1000 * t2.Ia(), 1e-3);
}

TEST(CascodeC30, KeepsTheLowerAnodeAboveTenVolts) {
    // A huge lower cathode resistor would push T1's anode voltage below zero.
    const SolveResult r = solved(30, {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "10M"}});
    EXPECT_GE(r.tubes[0].Vak(), 10);
    for (double x : {r.tubes[0].Ia(), r.tubes[1].Ia(), r.tubes[1].Vak()})
        EXPECT_TRUE(std::isfinite(x));
}

TEST(CascodeC30, AllZeroStaysFinite) {
    expectFiniteSolve(30, {{"EdRa", "0"}, {"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRg2", "0"}});
}
