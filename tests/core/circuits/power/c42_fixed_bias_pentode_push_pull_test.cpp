// C42, the fixed-bias pentode push-pull: report counts (the bold tube count) and a positive grid.
#include "approx.h"
#include "power_test_support.h"

using namespace power_test;

TEST(C42FixedBiasPentodePushPull, RealisticDesignSolvesConsistently) {
    expectRealisticDesign(
        {42,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "290"}, {"EdVg", "-32"}, {"EdZaa", "6600"}},
         450,
         30,
         100});
}

TEST(C42FixedBiasPentodePushPull, ReportCountsBothSides) {
    expectPushPullCounts(
        {42,
         {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVe", "350"}, {"EdVg", "-35"}, {"EdZaa", "3400"}},
         1,
         " (over <b>2</b> tubes)",
         "Ia per single tube"});
}

TEST(C42FixedBiasPentodePushPull, PositiveGridGivesTheVerdict) {
    expectPositiveGridVerdict(42);
}

TEST(C42FixedBiasPentodePushPull, DegenerateSheetReturns) {
    expectDegenerateSheetReturns(42,
                                 {{"LBtube", "KT88"}, {"EdVg", "-999M"}, {"EdZaa", "3k"}, {"EdVe", "300"}});
}
