// C24, the SRPP headphone amplifier: a realistic design, the node its three tubes share, a cut-off
// upper tube, the floor of the lower anode, a grid above its cathode and an all-zero sheet.
#include "cascodes_srpp_checks.h"

TEST(CascodeC24, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly(
        {24,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "10k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}},
         3,
         4,
         1});
}

TEST(CascodeC24, ThreeTubesShareTheOutputNode) {
    const SolveResult r = solved(
        24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "10k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}});
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1], &t3 = r.tubes[2];
    const double Vo = 250 - t3.Vak();
    // Node equations: T2's branch and T1's branch both reach Vo, R2 carries I1 + I2 − I3.
    EXPECT_NEAR(t2.Vak() + 1000 * t2.Ia(), Vo, 1);
    EXPECT_NEAR(t1.Vak() + 2000 * t1.Ia(), Vo, 1);
    EXPECT_NEAR(10000 * (t1.Ia() + t2.Ia() - t3.Ia()), 250 - Vo, 1);
    EXPECT_EQ(labelOf(r, "LabelVo"), strFormat("%.2fV", Vo));
    EXPECT_TRUE(contains(r.dcReport, "<br><br>Vo  <css=vp>")) << r.dcReport;
}

TEST(CascodeC24, CutOffUpperTubeWhenOutputReachesSupply) {
    // Without R2 the output node rises to the supply: T3 has no anode voltage left.
    const SolveResult r = solved(24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR2", "0"}});
    EXPECT_EQ(r.tubes[2].Ia(), 0);
    EXPECT_EQ(labelOf(r, "LabelI3"), "0.00mA");
    // Then R2's current is the sum of the two lower tubes'.
    EXPECT_EQ(labelOf(r, "LabelI9"), labelOf(r, "LabelItot"));
}

TEST(CascodeC24, KeepsTheLowerAnodeAboveThirtyVolts) {
    // A 10 MΩ anode resistor would leave T1 almost no anode voltage.
    const SolveResult r = solved(24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "10M"}});
    EXPECT_GE(r.tubes[0].Vak(), 30);
    for (const TTube& t : r.tubes)
        EXPECT_TRUE(std::isfinite(t.Ia()));
}

TEST(CascodeC24, GridAboveItsCathodeFails) {
    expectFailureVerdict(24, {{"LBtube", "ECC82 / 12AU7"}, {"EdRk1", "10k"}, {"EdRk2", "100"}},
                         "<br><css=error>Vgk(s) positive</css>");
}

TEST(CascodeC24, AllZeroStaysFinite) {
    expectFiniteSolve(24, {{"EdR1", "0"}, {"EdR2", "0"}, {"EdRk1", "0"}, {"EdRk2", "0"}});
}
