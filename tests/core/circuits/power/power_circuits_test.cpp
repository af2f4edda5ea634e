// Power stages C37 .. C42: operating points, reports, labels, stacks, grid rows, the power
// analysis handed to the window, and the failure paths.
#include "approx.h"
#include "solve_fixture.h"

#include "markup/formatters.h"
#include "power/power_analysis.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

#include <cmath>

namespace {

// Solves without the sheet validation, as the solver itself would run on any values.
SolveResult solveDirect(const SolveRequest& rq) {
    SolveResult rs;
    rs.title = circuitInfo(rq.circuit).title;
    circuitSolver(rq.circuit)(rq, rs);
    return rs;
}

// Screen current of one side of n tubes as the report uses it (0 for triodes).
double sideIe(const SolveResult& r) {
    const TTube& t = r.tubes.at(0);
    return t.t35() == 5 ? t.Ie() : 0;
}

} // namespace

// Realistic designs: a consistent operating point and plausible power and efficiency.
TEST(PowerCircuits, RealisticDesignsSolveConsistently) {
    struct Case {
        const char* name;
        int n;
        Values values;
        double Vb;
        double minPower, maxPower; // W at the secondary, last cycle
    } cases[] = {
        {"C37 300B single-ended",
         37,
         {{"LBtube", "300B"},
          {"EdVb", "400"},
          {"EdVg", "0"},
          {"EdRk", "800"},
          {"EdRa", "3k"},
          {"EdRp", "100"}},
         400,
         4,
         12},
        {"C38 EL34 single-ended",
         38,
         {{"LBtube", "EL34"},
          {"EdVb", "350"},
          {"EdVg", "0"},
          {"EdVg2", "300"},
          {"EdRk", "270"},
          {"EdRa", "3k"},
          {"EdRp", "100"}},
         350,
         8,
         35},
        {"C39 2A3 push-pull",
         39,
         {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "780"}, {"EdZaa", "5k"}},
         300,
         4,
         15},
        {"C40 6L6 push-pull",
         40,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdRk", "250"}, {"EdZaa", "6600"}},
         450,
         30,
         90},
        {"C41 300B push-pull",
         41,
         {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}},
         400,
         15,
         40},
        {"C42 6L6 push-pull",
         42,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdVg", "-45"}, {"EdZaa", "6600"}},
         450,
         30,
         100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.n, c.values);
        EXPECT_TRUE(r.ok) << r.dcReport;
        EXPECT_TRUE(r.messages.empty());
        ASSERT_EQ(r.tubes.size(), 1u);
        const TTube& t = r.tubes[0];
        EXPECT_LT(t.Vgk(), 0);
        EXPECT_GT(t.Ia(), 0.01);
        EXPECT_NEAR(sumOf(r.stacks.at(0)), c.Vb, 1.0);
        EXPECT_TRUE(r.acReport.empty());
        EXPECT_FALSE(r.bode.has_value());

        ASSERT_TRUE(r.power.has_value());
        const PowerData& p = *r.power;
        EXPECT_EQ(p.circuit, c.n);
        EXPECT_EQ(p.pushPull, c.n >= 39);
        ASSERT_GE(p.cycles.size(), 10u);
        const TRecCycle& last = p.cycles.back();
        EXPECT_GT(last.Psec, c.minPower);
        EXPECT_LT(last.Psec, c.maxPower);
        const TRecCycle& middle = p.cycles[p.cycles.size() / 2];
        if (c.n <= 38) {
            EXPECT_LT(middle.Y, 0.5); // class A single-ended
            EXPECT_NEAR(p.Ia0, t.Ia(), 1e-12);
        } else {
            EXPECT_GT(last.Y, 0.25); // push-pull at full drive
            EXPECT_LT(last.Y, 0.9);  // a pentode clipped hard at its sharp knee passes class B's 78.5 %
            EXPECT_FALSE(p.className.empty());
            EXPECT_FALSE(p.caption.empty());
        }
        EXPECT_GT(last.PVb, 0);
    }
}

TEST(PowerCircuits, SingleEndedReportLabelsStackAndGridRow) {
    const SolveResult r = solved(37, {{"LBtube", "300B"},
                                      {"EdVb", "400"},
                                      {"EdVg", "0"},
                                      {"EdRk", "800"},
                                      {"EdRa", "3k"},
                                      {"EdRp", "100"},
                                      {"LBparallel", "2"},
                                      {"LBYt", "90"}});
    const TTube& t = r.tubes.at(0);
    const double Ia = 2 * t.Ia(); // the tube holds one of the two
    EXPECT_EQ(r.dcReport.rfind("<b>Single-ended triode power amplifier</b><br>", 0), 0u);
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply "));
    EXPECT_TRUE(contains(r.dcReport, "<br>Total power supply " + fmtVoltage("", 0, 400) + "  " +
                                         fmtCurrent("", 0, 1000 * Ia) + "  " + fmtPowerW("", 1, 400 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "<br><br>" + fmtCurrent("Ia per tube", 1, 1000 * Ia / 2)));
    EXPECT_TRUE(contains(r.dcReport, "<br>" + fmtCurrent("Ia total   ", 1, 1000 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "<br>" + fmtVoltage("Vk", 2, 800 * Ia)));
    EXPECT_TRUE(contains(r.dcReport, "Quiescent state <b>T1 300B</b>"));
    EXPECT_FALSE(contains(r.dcReport, "tubes in parallel per branch")); // one tube's share

    EXPECT_EQ(labelOf(r, "LabelVa"), strFormat("%.1fV", 400 - 100 * Ia));
    EXPECT_EQ(labelOf(r, "LabelVk"), strFormat("%.1fV", 800 * Ia));
    EXPECT_EQ(labelOf(r, "LabelIa"), strFormat("%.1fmA", 1000 * Ia));

    const TItems& items = r.stacks.at(0).Items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].nom, "Rp");
    EXPECT_EQ(items[1].nom, "T1");
    EXPECT_EQ(items[1].color, 0xFFFF7F00u);
    EXPECT_EQ(items[2].nom, "Rk");

    ASSERT_EQ(r.gridRow.size(), circuitInfo(37).gridColumns.size() + 1);
    EXPECT_EQ(r.gridRow[0], "12:34:56");
    EXPECT_EQ(r.gridRow[1], "2x 300B");
    EXPECT_EQ(r.gridRow[7], "90%");
    const TRecCycle& last = r.power->cycles.back();
    EXPECT_EQ(r.gridRow[12], strFormat("%.1f", last.swing));
    EXPECT_EQ(r.gridRow[13], strFormat("%.1f", last.Psec));
    EXPECT_EQ(r.gridRow[15], strFormat("%.2f", last.Y));
    EXPECT_EQ(r.power->n, 2);
    EXPECT_NEAR(r.power->Yt, 0.9, 1e-12);
    EXPECT_NEAR(last.Psec, 0.9 * last.Ppri, 1e-12);
    EXPECT_NEAR(r.power->Rdc, 900, 1e-9);
    EXPECT_NEAR(r.power->load, 3000, 1e-9);
}

TEST(PowerCircuits, PentodeSingleEndedReportsTheScreen) {
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

TEST(PowerCircuits, PushPullReportsCountBothSides) {
    struct Case {
        const char* name;
        int n;
        Values values;
        int parallel;
        const char* supplyTail;
        const char* perTubeLabel;
    } cases[] = {
        {"C39 two per branch",
         39,
         {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}, {"LBparallel", "2"}},
         2,
         " (over 4 tubes)",
         "Ia per tube"},
        {"C41 three per branch",
         41,
         {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdVg", "-62"}, {"EdZaa", "3k"}, {"LBparallel", "3"}},
         3,
         " (over 6 tubes)",
         "Ia per tube"},
        {"C42 bold count",
         42,
         {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVe", "350"}, {"EdVg", "-35"}, {"EdZaa", "3400"}},
         1,
         " (over <b>2</b> tubes)",
         "Ia per single tube"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.n, c.values);
        const double Ia = r.tubes.at(0).Ia(); // the side's total
        EXPECT_TRUE(contains(r.dcReport, fmtCurrent(c.perTubeLabel, 1, 1000 * Ia / c.parallel)));
        EXPECT_TRUE(contains(r.dcReport, fmtCurrent("Ia total   ", 1, 2000 * Ia)));
        EXPECT_TRUE(
            contains(r.dcReport, fmtPowerW("", 1, r.power->Vb > 0 ? 0 : 0).substr(0, 0) + c.supplyTail));
        EXPECT_EQ(labelOf(r, "LabelIb"), strFormat("%.0fmA", 2000 * Ia));
        if (c.parallel > 1) {
            EXPECT_TRUE(contains(r.dcReport, strFormat("%d tubes in parallel per branch", c.parallel)));
        }
        EXPECT_TRUE(r.gridRow.empty()); // push-pull stages add no grid row
    }
    const SolveResult r39 = solved(
        39, {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}, {"LBparallel", "2"}});
    const double Ia = r39.tubes[0].Ia();
    EXPECT_TRUE(contains(r39.dcReport, "<br>" + fmtCurrent("Ia per tube", 1, 500 * Ia) + "<br><br>" +
                                           fmtCurrent("Ia per branch", 1, 1000 * Ia)));
    EXPECT_EQ(labelOf(r39, "LabelVa"), "300V");
    EXPECT_EQ(labelOf(r39, "LabelVk"), strFormat("%.1fV", 2 * 390 * Ia));
}

TEST(PowerCircuits, SelfBiasedPentodePushPullCarriesTheScreensInItsCathode) {
    const SolveResult r = solved(
        40, {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdRk", "250"}, {"EdZaa", "6600"}});
    const TTube& t = r.tubes.at(0);
    const double Ia = t.Ia(), Ie = t.Ie();
    EXPECT_NEAR(-t.Vgk(), 2 * 250 * (Ia + Ie), 0.2);
    EXPECT_EQ(labelOf(r, "LabelIe"), strFormat("%.0fmA", 2000 * Ie));
    EXPECT_EQ(labelOf(r, "LabelVa"), "<none>"); // not on this sheet
    // The analysis refers the supply to the cathode.
    EXPECT_NEAR(r.power->Vb, 450 + t.Vgk(), 1e-9);
    EXPECT_NEAR(r.power->Vek, 400 + t.Vgk(), 1e-9);
}

TEST(PowerCircuits, EdgeCasesOfTheDescription) {
    // C37 without Rp and Rk: the anode sits at the supply and the grid at its bias.
    const SolveResult plain = solved(37, {{"LBtube", "2A3"},
                                          {"EdVb", "250"},
                                          {"EdVg", "-45"},
                                          {"EdRk", "0"},
                                          {"EdRa", "2500"},
                                          {"EdRp", "0"}});
    EXPECT_DOUBLE_EQ(plain.tubes.at(0).Vak(), 250);
    EXPECT_DOUBLE_EQ(plain.tubes.at(0).Vgk(), -45);
    EXPECT_EQ(plain.power->cycles.size(), 45u);

    // C38 with a screen supply below 10 V: the screen is held at 10 V.
    const SolveResult low = solved(38, {{"LBtube", "EL34"},
                                        {"EdVb", "300"},
                                        {"EdVg", "0"},
                                        {"EdVg2", "5"},
                                        {"EdRk", "100"},
                                        {"EdRa", "3k"},
                                        {"EdRp", "100"}});
    EXPECT_DOUBLE_EQ(low.tubes.at(0).Vek(), 10);

    // C41 and C42 with a positive grid: the verdict, and the analysis still runs (without cycles).
    for (int n : {41, 42}) {
        SolveRequest rq = firstOpening(n, {{"EdVb", "300"}, {"EdVg", "2"}, {"EdZaa", "5k"}});
        ASSERT_FALSE(validateSheet(rq.sheet, rq.locale).empty()); // the window refuses it first
        const SolveResult r = solveDirect(rq);
        EXPECT_TRUE(contains(r.dcReport, "Vgk > 0")) << n;
        EXPECT_FALSE(r.ok);
        ASSERT_TRUE(r.power.has_value());
        EXPECT_TRUE(r.power->cycles.empty());
    }
}

TEST(PowerCircuits, FailurePaths) {
    // A bias search that runs out of passes.
    const SolveResult hot =
        solved(40, {{"LBtube", "KT88"}, {"EdVb", "800"}, {"EdVe", "500"}, {"EdRk", "10"}, {"EdZaa", "3k"}});
    EXPECT_FALSE(hot.ok);
    EXPECT_EQ(hot.dcReport.rfind("<b>Self-biased pentode push-pull</b><br>1000 iterations", 0), 0u);
    EXPECT_TRUE(contains(hot.dcReport, "Too many iterations"));
    EXPECT_TRUE(hot.power.has_value()); // the analysis still runs on the last point

    // A grid row marked ERROR on a failed verdict (grid at 0 V, no cathode resistor).
    const SolveResult zero = solved(
        37,
        {{"LBtube", "2A3"}, {"EdVb", "250"}, {"EdVg", "0"}, {"EdRk", "0"}, {"EdRa", "2500"}, {"EdRp", "0"}});
    EXPECT_EQ(zero.gridRow.at(0), "ERROR");
    EXPECT_TRUE(zero.power->cycles.empty());
    EXPECT_EQ(zero.gridRow.at(13), ""); // no cycle to report
}

TEST(PowerCircuits, AdvancedParametersFromTheSheet) {
    const Values base = {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}};
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

TEST(PowerCircuits, ConvergenceCaptions) {
    SolveRequest rq = firstOpening(37, {{"LBtube", "300B"},
                                        {"EdVb", "400"},
                                        {"EdVg", "0"},
                                        {"EdRk", "800"},
                                        {"EdRa", "3k"},
                                        {"EdRp", "100"}});
    rq.traceConvergence = true;
    const SolveOutcome se = solveCommand(rq);
    ASSERT_EQ(se.result.traces.size(), 1u);
    EXPECT_EQ(se.result.traces[0].caption.rfind("C37 - T1 300B - ", 0), 0u) << se.result.traces[0].caption;
    EXPECT_TRUE(contains(se.result.traces[0].caption, " iter. Res ±100µA Ia "));
    EXPECT_GT(se.result.traces[0].count(), 2u);

    SolveRequest fixed =
        firstOpening(41, {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}});
    fixed.traceConvergence = true;
    const SolveOutcome pp = solveCommand(fixed);
    ASSERT_EQ(pp.result.traces.size(), 1u);
    EXPECT_EQ(pp.result.traces[0].caption, "C41 - T1 300B");
}

// Degenerate sheets still return, with finite figures or a verdict, and bounded analyses.
TEST(PowerCircuits, DegenerateSheetsReturn) {
    struct Case {
        const char* name;
        int n;
        Values values;
    } cases[] = {
        {"C37 no load",
         37,
         {{"LBtube", "300B"}, {"EdVg", "-50"}, {"EdRa", "0"}, {"EdRp", "0"}, {"EdRk", "0"}}},
        {"C37 huge bias", 37, {{"LBtube", "300B"}, {"EdVg", "-999M"}, {"EdRk", "1"}, {"EdRa", "3k"}}},
        {"C38 no screen", 38, {{"LBtube", "EL34"}, {"EdVg2", "0"}, {"EdVg", "-10"}, {"EdRa", "3k"}}},
        {"C39 tiny supply", 39, {{"LBtube", "2A3"}, {"EdVb", "20"}, {"EdRk", "1000"}, {"EdZaa", "1p"}}},
        {"C40 huge load", 40, {{"LBtube", "KT88"}, {"EdZaa", "999M"}, {"EdRk", "10"}, {"EdVe", "0"}}},
        {"C41 no load", 41, {{"LBtube", "2A3"}, {"EdVg", "-40"}, {"EdZaa", "0"}}},
        {"C42 huge bias", 42, {{"LBtube", "KT88"}, {"EdVg", "-999M"}, {"EdZaa", "3k"}, {"EdVe", "300"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.n, c.values);
        ASSERT_TRUE(r.power.has_value());
        EXPECT_LE(r.power->cycles.size(), static_cast<std::size_t>(kMaxPushPullCycles));
        for (const TRecCycle& cycle : r.power->cycles) {
            EXPECT_TRUE(std::isfinite(cycle.Psec));
            EXPECT_TRUE(std::isfinite(cycle.Y));
        }
        EXPECT_TRUE(std::isfinite(r.power->biasMode));
        EXPECT_TRUE(std::isfinite(r.power->PA));
        if (r.ok) {
            EXPECT_TRUE(std::isfinite(r.tubes.at(0).Ia()));
            EXPECT_TRUE(std::isfinite(r.tubes.at(0).Vak()));
        }
    }
}
