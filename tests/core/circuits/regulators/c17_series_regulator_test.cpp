// C17, the single-triode serial regulator: the ballast carrying the load, the report and its
// follower's output impedance, and the dialogs that end a solve.
#include "regulator_designs.h"

#include "markup/formatters.h"

TEST(RegulatorC17, RealisticDesignSolvesCleanly) {
    expectSolvesCleanly(17, kC17, 350);
}

TEST(RegulatorC17, BallastCarriesTheLoadAboveItsGrid) {
    const SolveResult r = solved(17, kC17, true);
    const TTube& t = r.tubes.at(0);
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(t.Ia(), 10e-3, 1e-6);
    EXPECT_NEAR(Vo - 250, -t.Vgk(), 0.01); // the cathode follows the reference
    EXPECT_TRUE(contains(r.dcReport, "<br>VREF 250V  <css=i>1.00 mA</css> P <css=mw>250 mW</css>"))
        << r.dcReport;
    EXPECT_TRUE(contains(r.acReport, "<b>Small signal analysis</b><br>")) << r.acReport;
    // A follower's output: about 1/gm.
    EXPECT_TRUE(contains(r.acReport, "Output impedance <css=r>")) << r.acReport;
    const double zout = 1 / (t.gm() + 1 / t.ρ());
    EXPECT_TRUE(contains(r.acReport, scaleResistance(0, zout))) << r.acReport;
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_EQ(r.traces[0].caption.rfind("C17 - T1 ECC82 / 12AU7 - ", 0), 0u);
}

TEST(RegulatorC17, ImpossibleDesignsEndWithADialogAndNoReport) {
    TTube ecc82 = builtinTube("ECC82 / 12AU7");
    const double ballastAt100 = ecc82.getMaxCurrent(100);
    const ImpossibleDesign cases[] = {
        {"supply 49 V above the reference",
         17,
         {{"EdVb", "299"}, {"EdVref", "250"}},
         "Vb and Vref are too close!"},
        {"null R", 17, {{"EdR", "0"}}, "Resistor \"R\" cannot be null!"},
        {"load beyond the ballast",
         17,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdVref", "250"}, {"EdIo", "1"}},
         strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = 100V and Vgk=0V",
                   1000 * ballastAt100)},
    };
    for (const auto& c : cases)
        expectDialogAndNoReport(c);
    // Fifty volts above the reference is enough.
    const SolveResult justEnough =
        solved(17, {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "300"}, {"EdVref", "250"}});
    EXPECT_TRUE(justEnough.messages.empty());
    EXPECT_FALSE(justEnough.dcReport.empty());
}

TEST(RegulatorC17, NoLoadIsFiniteOrFlagged) {
    expectFiniteOrFlagged("no load", 17, {{"EdVref", "0"}, {"EdIo", "0"}});
}
