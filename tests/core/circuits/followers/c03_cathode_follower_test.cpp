// C3, the fixed-bias cathode follower: a realistic point, the cathode above its grid, the report
// and trace formats, the bandwidth chain and the failure paths.
#include "followers_checks.h"

#include "util/format.h"

TEST(CircuitC3, RealisticOperatingPointAddsUp) {
    expectRealisticPoint(3, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "100n"}},
                         "Gain", 0.85, 0.99);
}

TEST(CircuitC3, FollowerSitsAboveItsGrid) {
    SolveRequest rq =
        firstOpening(3, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "100n"}});
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    const SolveResult& r = out.result;
    const TTube& t = r.tubes.at(0);
    const double Vk = 22e3 * t.Ia();
    EXPECT_NEAR(Vk, 100 - t.Vgk(), 0.05); // the cathode is the grid voltage plus the bias
    EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("%.2fV", Vk));
    EXPECT_EQ(labelOf(r, "LabelIa"), strFormat("%.2fmA", 1000 * t.Ia()));
    EXPECT_TRUE(contains(r.dcReport, "<br>  Total power supply  <css=vp>250 V</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "*** Quiescent state <b>T1 ECC82 / 12AU7</b>"));
    EXPECT_TRUE(contains(r.acReport, "Voltage gain     <css=µ>0.9")) << r.acReport;
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_EQ(r.traces[0].caption, strFormat("C3 - T1 ECC82 / 12AU7 - Res ±1µA Ia %.2fmA", 1000 * t.Ia()));
    ASSERT_EQ(r.loadLines.size(), 1u);
    EXPECT_DOUBLE_EQ(r.loadLines[0].Imax, 250 / 22e3);

    // The grid row's cells are the values they are named after.
    EXPECT_EQ(gridNumber(r, 3, "Vg (V)"), 100);
    EXPECT_NEAR(gridNumber(r, 3, "Vk (V)"), Vk, 0.005);
    EXPECT_NEAR(gridNumber(r, 3, "Vak (V)"), t.Vak(), 0.05);
    EXPECT_NEAR(gridNumber(r, 3, "PRk (mW)"), 1000 * Vk * t.Ia(), 0.5);

    ASSERT_TRUE(r.bode.has_value());
    EXPECT_EQ(chainKinds(*r.bode), (std::vector<std::string>{"RC-in", "Cat-fol", "RC-out"}));
    EXPECT_GT(r.bode->fH, 20000);
    EXPECT_LT(r.bode->fL, 100);
}

TEST(CircuitC3, FailurePaths) {
    // A null cathode resistor replaces the whole report by one line.
    SolveResult r = solved(3, {{"EdRk", "0"}});
    EXPECT_EQ(r.dcReport, "<css=error>Resistor(s) cannot be null !</css>");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.gridRow.empty());
    EXPECT_TRUE(r.labels.empty());
    EXPECT_FALSE(r.bode.has_value());

    // Grid at the supply (the first-use sheet): the tube cannot carry Vg/Rk. The dialog text is
    // shown, the report is still written and the point is rejected.
    r = solved(3, {{"LBtube", "ECC82 / 12AU7"}});
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].rfind("The circuit cannot be operated normally:\n\nthe tube cannot provide the "
                                  "minimal current\n  250mA (250V onto 1000Ω)",
                                  0),
              0u)
        << r.messages[0];
    EXPECT_TRUE(contains(r.dcReport, "<br><css=error>Wrong operating point</css>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Quiescent state"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow.at(0), "ERROR");
}
