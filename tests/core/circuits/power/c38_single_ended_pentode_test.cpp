// C38, the single-ended pentode stage: the screen in the report, labels and operating point.
#include "approx.h"
#include "power_test_support.h"

using namespace power_test;

TEST(C38SingleEndedPentode, RealisticDesignSolvesConsistently) {
    expectRealisticDesign({38,
                           {{"LBtube", "EL34"},
                            {"EdVb", "350"},
                            {"EdVg", "0"},
                            {"EdVg2", "300"},
                            {"EdRk", "270"},
                            {"EdRa", "3k"},
                            {"EdRp", "100"}},
                           350,
                           8,
                           35});
}

TEST(C38SingleEndedPentode, ReportsTheScreen) {
    const SolveResult r = solved(38, {{"LBtube", "EL34"},
                                      {"EdVb", "350"},
                                      {"EdVg", "0"},
                                      {"EdVg2", "300"},
                                      {"EdRk", "270"},
                                      {"EdRa", "3k"},
                                      {"EdRp", "100"}});
    const double Ia = r.tubes.at(0).Ia(), Ie = sideIe(r);
    EXPECT_GT(Ie, 0);
    // The current and voltage lines in their order; Vk includes the screen current, as the label,
    // the stack and the dissipation table do.
    EXPECT_TRUE(contains(r.dcReport, "<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia) + "<br>" +
                                         fmtCurrent("Ia total   ", 1, 1000 * Ia) + "<br><br>" +
                                         fmtCurrent("Ig2 per tube", 1, 1000 * Ie) + "<br>" +
                                         fmtCurrent("Ig2 total   ", 1, 1000 * Ie) + "<br><br>" +
                                         fmtVoltage("Va", 1, 350 - 100 * Ia) + "<br>" +
                                         fmtVoltage("Vk", 2, 270 * (Ia + Ie)) + "<br>"))
        << r.dcReport;
    EXPECT_EQ(labelOf(r, "LabelIk"), strFormat("%.1fmA", 1000 * (Ia + Ie)));
    EXPECT_EQ(labelOf(r, "LabelIg2"), strFormat("%.1fmA", 1000 * Ie));
    // The screen sits below its supply by the cathode voltage.
    EXPECT_NEAR(r.tubes[0].Vek(), 300 - 270 * (Ia + Ie), 0.1);
    EXPECT_NEAR(r.tubes[0].Vgk(), -270 * (Ia + Ie), 0.1);
}

// A screen supply below 10 V: the screen is held at 10 V.
TEST(C38SingleEndedPentode, ScreenHeldAtTenVolts) {
    const SolveResult low = solved(38, {{"LBtube", "EL34"},
                                        {"EdVb", "300"},
                                        {"EdVg", "0"},
                                        {"EdVg2", "5"},
                                        {"EdRk", "100"},
                                        {"EdRa", "3k"},
                                        {"EdRp", "100"}});
    EXPECT_DOUBLE_EQ(low.tubes.at(0).Vek(), 10);
}

TEST(C38SingleEndedPentode, DegenerateSheetReturns) {
    expectDegenerateSheetReturns(38, {{"LBtube", "EL34"}, {"EdVg2", "0"}, {"EdVg", "-10"}, {"EdRa", "3k"}});
}
