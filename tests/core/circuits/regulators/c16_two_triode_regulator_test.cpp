// C16, the two-triode serial regulator: the error amplifier holding the divider near the
// reference, the report, labels and traces, the dialogs that end a solve and the failed verdicts.
#include "regulator_designs.h"

TEST(RegulatorC16, RealisticDesignSolvesCleanly) {
    expectSolvesCleanly(16, kC16, 400);
}

TEST(RegulatorC16, ErrorAmplifierHoldsTheDividerNearTheReference) {
    const SolveResult r = solved(16, kC16, true);
    const TTube& ballast = r.tubes.at(0);
    const TTube& amplifier = r.tubes.at(1);
    const double Vo = labelNumber(r, "LabelVo");
    // The nominal output (R3 + R4)/R4 · Vref is 272 V; a finite loop gain leaves it a little low.
    EXPECT_GT(Vo, 255);
    EXPECT_LT(Vo, 272);
    EXPECT_NEAR(ballast.Vak(), 400 - Vo, 0.01);
    // The ballast carries the load, the divider and the reference feed.
    EXPECT_NEAR(ballast.Ia(), Vo / 320e3 + 20e-3 + (Vo - 85) / 47e3, 2e-5);
    // Its grid sits where R1 and the amplifier's current put it.
    EXPECT_NEAR(Vo + ballast.Vgk(), 400 - 470e3 * amplifier.Ia(), 0.01);
    EXPECT_NEAR(amplifier.Vgk(), Vo * 100.0 / 320 - 85, 0.01);
    EXPECT_EQ(ballast.Reference(), "T1 Ballast");
    EXPECT_EQ(amplifier.Reference(), "T2 Amplifier");

    EXPECT_TRUE(
        contains(r.dcReport, "<b>Two-triode serial voltage regulator</b><br><color=909090>Valvenix</color> "))
        << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><br>VREF 85V  <css=i>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br>Vg1  <css=vp>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><br>OUTPUT  <css=vp>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Max output current <css=i>")) << r.dcReport;
    EXPECT_EQ(r.acReport, "No small signal analysis available.");
    EXPECT_EQ(labelOf(r, "LabelVo"), strFormat("%.2fV", Vo));
    EXPECT_EQ(labelOf(r, "LabelIa2"), strFormat("%.2fmA", 1000 * amplifier.Ia()));
    EXPECT_EQ(labelOf(r, "LabelIdiv"), strFormat("%.2fmA", 1000 * Vo / 320e3));
    EXPECT_NEAR(gridNumber(r, 16, "Vo (V)"), Vo, 0.01);

    ASSERT_EQ(r.traces.size(), 3u);
    EXPECT_EQ(r.traces[0].caption.rfind("C16 - T1 Ballast ECC99 - ", 0), 0u) << r.traces[0].caption;
    EXPECT_TRUE(contains(r.traces[0].caption, strFormat("Ia %.2fmA", 1000 * ballast.Ia())));
    EXPECT_EQ(r.traces[1].caption.rfind("C16 - T2 Amplifier ECC83 / 12AX7 - ", 0), 0u);
    EXPECT_EQ(r.traces[2].caption.rfind("C16 - ", 0), 0u);
    EXPECT_TRUE(contains(r.traces[2].caption, strFormat(" iter. Vo %.2fV", Vo))) << r.traces[2].caption;
}

TEST(RegulatorC16, ImpossibleDesignsEndWithADialogAndNoReport) {
    TTube ecc99 = builtinTube("ECC99");
    const double ballastAt128 = ecc99.getMaxCurrent(400 - 320e3 * 85 / 100e3);
    const ImpossibleDesign cases[] = {
        {"load beyond the ballast",
         16,
         {{"LBtube1", "ECC99"},
          {"EdVb", "400"},
          {"EdR3", "220k"},
          {"EdR4", "100k"},
          {"EdVref", "85"},
          {"EdIo", "1"}},
         strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = 128V and Vgk=0V",
                   1000 * ballastAt128)},
        {"null R2", 16, {{"EdR2", "0"}}, "No resistor can be null!"},
        // R4 = 0 would put the nominal output at infinity and the bracket's top with it.
        {"null R4", 16, {{"EdR4", "0"}}, "No resistor can be null!"},
    };
    for (const auto& c : cases)
        expectDialogAndNoReport(c);
}

// A reference of 0 V closes the output's bracket: no point satisfies the loop.
TEST(RegulatorC16, NullReferenceWritesEachFailedLineOnce) {
    expectFailedLinesOnce(16, {{"EdVref", "0"}, {"EdIo", "0"}},
                          {"Too many iterations", "Abnormal T2 operating conditions",
                           "Wrong stacked voltages branch 1", "Vgk(s) positive or null"});
}

TEST(RegulatorC16, TinyLoadOnAHugeR1IsFiniteOrFlagged) {
    expectFiniteOrFlagged("tiny load, huge R1", 16,
                          {{"EdVref", "50"}, {"EdR4", "20k"}, {"EdIo", "1p"}, {"EdR1", "999M"}});
}
