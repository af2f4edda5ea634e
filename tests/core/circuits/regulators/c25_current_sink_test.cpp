// C25, the basic current sink: its current and internal resistance, the damped search's start and
// its bisection fallback, the failed verdicts and degenerate sheets.
#include "regulator_designs.h"

#include "markup/formatters.h"

TEST(RegulatorC25, RealisticDesignSolvesCleanly) {
    expectSolvesCleanly(25, kC25, 250);
}

TEST(RegulatorC25, SinkCurrentAndItsInternalResistance) {
    const SolveResult r = solved(25, kC25);
    const TTube& t = r.tubes.at(0);
    const double Vk = labelNumber(r, "LabelVk");
    EXPECT_NEAR(Vk, 30 - t.Vgk(), 0.01); // the cathode sits its bias above the grid
    EXPECT_NEAR(labelNumber(r, "LabelIa"), 1000 * Vk / 22e3, 0.01);
    const double Ri = t.ρ() + (t.µ() + 1) * 22e3;
    EXPECT_TRUE(contains(r.acReport, strFormat("<br>Output impedance <css=r>%s</css>  [ ρ +(µ+1)Rk ]  .",
                                               scaleResistance(0, Ri).c_str())))
        << r.acReport;
    EXPECT_NEAR(gridNumber(r, 25, "Ri (kΩ)"), Ri / 1000, 0.05);
    EXPECT_TRUE(contains(r.dcReport, "<br><br>Va  <css=vp>250.0 V</css><br>Vg ")) << r.dcReport;
}

TEST(RegulatorC25, StartsFromATenthOfAMilliampereBelowHalfAVolt) {
    const SolveResult r = solved(25, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0.3"}, {"EdRk", "1k"}}, true);
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_TRUE(contains(r.traces[0].caption, "Ia 0.10=>")) << r.traces[0].caption;
    EXPECT_TRUE(r.ok) << r.dcReport;
}

TEST(RegulatorC25, SteepTubeOnALargeCathodeResistorStillSettles) {
    // gm·Rk is well above 100: the damped step alone would swing wider every pass.
    const SolveResult r = solved(25, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "100"}, {"EdRk", "100k"}}, true);
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_GT(r.traces[0].count(), 1000u); // the damped passes ran out before the bisection
    EXPECT_TRUE(r.ok) << r.dcReport;
    const TTube& t = r.tubes.at(0);
    EXPECT_NEAR(labelNumber(r, "LabelVk"), 100 - t.Vgk(), 0.01);
    EXPECT_LT(t.Vgk(), 0);
}

TEST(RegulatorC25, GridFarAboveTheCathodeWritesEachFailedLineOnce) {
    expectFailedLinesOnce(25, {{"EdVg", "250"}}, {"Vgk > 0", "Vgk positive"});
}

TEST(RegulatorC25, DegenerateSheetsAreFiniteOrFlagged) {
    expectFiniteOrFlagged("no cathode resistor", 25, {{"EdRk", "0"}, {"EdVg", "0"}});
    expectFiniteOrFlagged("huge everything", 25, {{"EdRk", "999M"}, {"EdVg", "999M"}, {"EdVa", "0"}});
}
