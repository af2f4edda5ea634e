// C40, the self-biased pentode push-pull: the screens in the shared cathode resistor, the analysis
// referred to the cathode, and a bias search that runs out of passes.
#include "approx.h"
#include "power_test_support.h"

using namespace power_test;

TEST(C40SelfBiasedPentodePushPull, RealisticDesignSolvesConsistently) {
    expectRealisticDesign(
        {40,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "290"}, {"EdRk", "250"}, {"EdZaa", "6600"}},
         450,
         30,
         90});
}

TEST(C40SelfBiasedPentodePushPull, CarriesTheScreensInItsCathode) {
    const SolveResult r = solved(
        40, {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "290"}, {"EdRk", "250"}, {"EdZaa", "6600"}});
    const TTube& t = r.tubes.at(0);
    const double Ia = t.Ia(), Ie = t.Ie();
    EXPECT_NEAR(-t.Vgk(), 2 * 250 * (Ia + Ie), 0.2);
    EXPECT_EQ(labelOf(r, "LabelIe"), strFormat("%.0fmA", 2000 * Ie));
    EXPECT_EQ(labelOf(r, "LabelVa"), "<none>"); // not on this sheet
    // The analysis refers the supply to the cathode.
    EXPECT_NEAR(r.power->Vb, 450 + t.Vgk(), 1e-9);
    EXPECT_NEAR(r.power->Vek, 290 + t.Vgk(), 1e-9);
}

// A bias search that runs out of passes: the verdict, and the analysis still runs on the last point.
TEST(C40SelfBiasedPentodePushPull, BiasSearchOutOfPasses) {
    const SolveResult hot =
        solved(40, {{"LBtube", "KT88"}, {"EdVb", "800"}, {"EdVe", "500"}, {"EdRk", "10"}, {"EdZaa", "3k"}});
    EXPECT_FALSE(hot.ok);
    EXPECT_EQ(hot.dcReport.rfind("<b>Self-biased pentode push-pull</b><br>1000 iterations", 0), 0u);
    EXPECT_TRUE(contains(hot.dcReport, "Too many iterations"));
    EXPECT_TRUE(hot.power.has_value());
}

TEST(C40SelfBiasedPentodePushPull, DegenerateSheetReturns) {
    expectDegenerateSheetReturns(40, {{"LBtube", "KT88"}, {"EdZaa", "999M"}, {"EdRk", "10"}, {"EdVe", "0"}});
}
