// C27, the Janus cascode shunt regulator: the stacked tubes sharing one current, the yields, the
// unloaded regulator, a supply resistor larger than the divider and the degenerate sheets.
#include "approx.h"
#include "regulator_designs.h"

TEST(RegulatorC27, RealisticDesignSolvesCleanly) {
    expectSolvesCleanly(27, kC27, 300);
}

TEST(RegulatorC27, StackedTubesShareOneCurrent) {
    const SolveResult r = solved(27, kC27);
    const TTube& t1 = r.tubes.at(0);
    const TTube& t2 = r.tubes.at(1);
    EXPECT_REL(t1.Ia(), t2.Ia(), 0.01);
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(labelNumber(r, "LabelVg2"), Vo / 2, 0.01);
    // T2's cathode is T1's anode: its grid voltage minus its bias.
    EXPECT_NEAR(labelNumber(r, "LabelVa1"), Vo / 2 - t2.Vgk(), 0.05);
    // Ra carries the load, the tubes and the divider.
    EXPECT_NEAR(labelNumber(r, "LabelItot"), 1000 * (300 - Vo) / 5e3, 0.02);
    EXPECT_TRUE(contains(r.dcReport, "<br>Yield:<br> - output power Vo.Io  <css=mw>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br> - output current Io  <css=i>20.00 mA</css> (81%)")) << r.dcReport;
    EXPECT_EQ(r.acReport, "No small signal analysis available.");
}

TEST(RegulatorC27, WithoutLoadEverythingGoesThroughTubesAndDivider) {
    const SolveResult r = solved(27, {{"LBtube", "ECC82 / 12AU7"},
                                      {"EdVb", "300"},
                                      {"EdRa", "5k"},
                                      {"EdR1", "470k"},
                                      {"EdR2", "470k"},
                                      {"EdRk", "470"},
                                      {"EdIo", "0"}});
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " - output current Io  <css=i>0.00 mA</css> (0%)")) << r.dcReport;
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(r.tubes.at(0).Ia() + Vo / 940e3, (300 - Vo) / 5e3, 2e-5);
}

TEST(RegulatorC27, SupplyResistorLargerThanTheDividerStillSettles) {
    // The first-opening sheet: Ra (100k) is five times R1 + R2.
    const SolveResult r = solved(27, {{"LBtube", "ECC82 / 12AU7"}});
    EXPECT_FALSE(contains(r.dcReport, "Too many iterations")) << r.dcReport;
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_GT(Vo, 0);
    EXPECT_LT(Vo, 250);
}

TEST(RegulatorC27, NullDividerEndsWithADialogAndNoReport) {
    expectDialogAndNoReport({"null divider", 27, {{"EdR1", "0"}, {"EdR2", "0"}}, "No resistor can be null!"});
}

TEST(RegulatorC27, DegenerateSheetsAreFiniteOrFlagged) {
    expectFiniteOrFlagged("huge load", 27, {{"EdIo", "999M"}, {"EdRk", "999M"}});
    expectFiniteOrFlagged("huge Ra", 27, {{"EdIo", "0"}, {"EdRa", "999M"}});
}
