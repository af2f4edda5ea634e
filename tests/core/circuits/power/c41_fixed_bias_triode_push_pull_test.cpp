// C41, the fixed-bias triode push-pull: report counts, a positive grid, the advanced parameters
// read from the sheet and the convergence caption of a one-evaluation solve.
#include "approx.h"
#include "power_test_support.h"

#include "solver/sheet_validation.h"

using namespace power_test;

TEST(C41FixedBiasTriodePushPull, RealisticDesignSolvesConsistently) {
    expectRealisticDesign(
        {41, {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-85"}, {"EdZaa", "5k"}}, 400, 15, 40});
}

TEST(C41FixedBiasTriodePushPull, ReportCountsBothSides) {
    expectPushPullCounts(
        {41,
         {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdVg", "-62"}, {"EdZaa", "3k"}, {"LBparallel", "3"}},
         3,
         " (over 6 tubes)",
         "Ia per tube"});
}

TEST(C41FixedBiasTriodePushPull, PositiveGridGivesTheVerdict) {
    expectPositiveGridVerdict(41);
}

TEST(C41FixedBiasTriodePushPull, AdvancedParametersFromTheSheet) {
    const Values base = {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-85"}, {"EdZaa", "5k"}};
    auto withAdvanced = [&](const char* kza, const char* kzb, int fonction, char separator) {
        SolveRequest rq = firstOpening(41, base);
        rq.locale.decimalSeparator = separator;
        SheetControl a, b, f;
        a.name = "LEDkza", a.text = kza;
        b.name = "LEDkzb", b.text = kzb;
        rq.sheet.controls.push_back(a);
        rq.sheet.controls.push_back(b);
        f.name = "RGfonction", f.kind = ControlKind::Selector;
        f.items = {"f1", "f2", "f3 simple", "f4 Zaa/2"};
        f.selected = fonction;
        rq.sheet.controls.push_back(f);
        return solveDirect(rq);
    };
    const SolveResult reference = solved(41, base);
    const SolveResult same = withAdvanced("8", "0,2", 3, ',');
    ASSERT_TRUE(same.messages.empty());
    EXPECT_EQ(same.power->cycles.back().Psec, reference.power->cycles.back().Psec);

    const SolveResult f1 = withAdvanced("8", "0.2", 0, '.');
    EXPECT_NE(f1.power->cycles.back().Psec, reference.power->cycles.back().Psec);

    const SolveResult bad = withAdvanced("8", "0.2", 3, ','); // "0.2" is no number with a comma locale
    ASSERT_EQ(bad.messages.size(), 1u);
    EXPECT_EQ(bad.messages[0], notANumberMessage("LEDkzb", "0.2"));
    EXPECT_TRUE(bad.dcReport.empty());
    EXPECT_FALSE(bad.power.has_value());
}

TEST(C41FixedBiasTriodePushPull, ConvergenceCaption) {
    SolveRequest fixed =
        firstOpening(41, {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-85"}, {"EdZaa", "5k"}});
    fixed.traceConvergence = true;
    const SolveOutcome pp = solveCommand(fixed);
    ASSERT_EQ(pp.result.traces.size(), 1u);
    EXPECT_EQ(pp.result.traces[0].caption, "C41 - T1 300B");
}

TEST(C41FixedBiasTriodePushPull, DegenerateSheetReturns) {
    expectDegenerateSheetReturns(41, {{"LBtube", "2A3"}, {"EdVg", "-40"}, {"EdZaa", "0"}});
}
