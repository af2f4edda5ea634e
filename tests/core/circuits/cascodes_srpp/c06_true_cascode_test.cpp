// C6, the true cascode: a realistic design, its figures and formats, an upper grid held at the
// supply, and degenerate sheets.
#include "cascodes_srpp_checks.h"

TEST(CascodeC6, RealisticDesignSolvesCleanlyAndAddsUp) {
    expectRealisticDesignSolvesCleanly({6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRa", "47k"}}, 2, 2, 3});
}

TEST(CascodeC6, FiguresAndFormats) {
    const SolveResult r = solved(6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRa", "47k"}});
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    // Divider: Vg = 125 V; T2's cathode (the middle node) sits a little above it.
    EXPECT_EQ(labelOf(r, "LabelVg"), "125.00V");
    const double Vm = 250 - t2.Vak() - 47e3 * t2.Ia();
    EXPECT_NEAR(Vm - 125, -t2.Vgk(), 0.1);
    EXPECT_NEAR(Vm, t1.Vak() + 1000 * t1.Ia(), 0.5);
    EXPECT_EQ(labelOf(r, "LabelVm"), strFormat("%.2fV", Vm));
    EXPECT_EQ(labelOf(r, "LabelIt"), strFormat("%.2fmA", 1000 * (t1.Ia() + 250 / 2e6)));
    EXPECT_TRUE(
        contains(r.dcReport, "<b>True cascode</b><br><color=909090>Valvenix</color><br>Total power supply"))
        << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Irg <css=i>0.125 mA</css>")) << r.dcReport;
    // The lower tube sees a low anode load: the cascode's gain is about −gm1·(Ra ∥ Ro).
    const double gain = gridNumber(r, 6, "Gain");
    EXPECT_REL(gain, -t1.gm() * 47e3 * 500e3 / 547e3, 0.1);
    EXPECT_TRUE(contains(r.acReport, "Voltage gain on anode ")) << r.acReport;
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_EQ(r.stacks[0].Items[0].nom, "Rg2");
}

TEST(CascodeC6, UpperGridAtSupplyFails) {
    const SolveResult r = solved(6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRg2", "0"}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_EQ(r.tubes[1].Vgk(), 0);
    EXPECT_TRUE(contains(r.dcReport, "<css=error>No convergence !</css>")) << r.dcReport;
}

TEST(CascodeC6, DefaultEcc83WouldNeedAConductingUpperGrid) {
    expectFailureVerdict(6, {{"LBtube", "ECC83 / 12AX7"}},
                         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>");
}

TEST(CascodeC6, NoDividerStaysFinite) {
    expectFiniteSolve(6, {{"EdRg1", "0"}, {"EdRg2", "0"}, {"EdCa", "0"}, {"EdCs", "0"}, {"EdCk", "0"}});
}
