// C39, the self-biased triode push-pull: both sides counted in the report and labels.
#include "approx.h"
#include "power_test_support.h"

using namespace power_test;

TEST(C39SelfBiasedTriodePushPull, RealisticDesignSolvesConsistently) {
    expectRealisticDesign(
        {39, {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "780"}, {"EdZaa", "5k"}}, 300, 4, 15});
}

TEST(C39SelfBiasedTriodePushPull, ReportCountsBothSides) {
    expectPushPullCounts(
        {39,
         {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}, {"LBparallel", "2"}},
         2,
         " (over 4 tubes)",
         "Ia per tube"});
    const SolveResult r39 = solved(
        39, {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}, {"LBparallel", "2"}});
    const double Ia = r39.tubes[0].Ia();
    EXPECT_TRUE(contains(r39.dcReport, "<br>" + fmtCurrent("Ia per tube", 1, 500 * Ia) + "<br><br>" +
                                           fmtCurrent("Ia per branch", 1, 1000 * Ia)));
    EXPECT_EQ(labelOf(r39, "LabelVa"), "300V");
    EXPECT_EQ(labelOf(r39, "LabelVk"), strFormat("%.1fV", 2 * 390 * Ia));
}

TEST(C39SelfBiasedTriodePushPull, DegenerateSheetReturns) {
    expectDegenerateSheetReturns(39, {{"LBtube", "2A3"}, {"EdVb", "20"}, {"EdRk", "1000"}, {"EdZaa", "1p"}});
}
