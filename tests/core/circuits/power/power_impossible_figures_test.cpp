// Every output stage over random sheets: no figure of the swing analysis is impossible (not finite,
// an efficiency above 1, more power at the secondary than the supply delivers) and no report,
// label or grid cell carries "nan" or "inf"; an analysis that had to drop cycles says so.
#include "power_test_support.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace {

std::string randomValue(std::mt19937& rng) {
    static const char* odd[] = {"0", "1", "0.001", "999M", "1p"};
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0)
        return odd[std::uniform_int_distribution<int>(0, 4)(rng)];
    static const char* suffix[] = {"p", "n", "µ", "m", "", "", "k", "M"};
    const int mantissa = std::uniform_int_distribution<int>(1, 999)(rng);
    return std::to_string(mantissa) + suffix[std::uniform_int_distribution<int>(0, 7)(rng)];
}

bool carriesNonFinite(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

void expectPossibleFigures(const SolveResult& r, const std::string& what) {
    EXPECT_FALSE(carriesNonFinite(r.dcReport)) << what << "\n" << r.dcReport;
    for (const auto& [name, text] : r.labels)
        EXPECT_FALSE(carriesNonFinite(text)) << what << ": " << name << " " << text;
    for (const std::string& cell : r.gridRow)
        EXPECT_FALSE(carriesNonFinite(cell)) << what << ": grid cell " << cell;
    ASSERT_TRUE(r.power.has_value()) << what;
    EXPECT_FALSE(carriesNonFinite(r.power->caption)) << what << ": " << r.power->caption;
    for (double x : {r.power->biasMode, r.power->PA, r.power->PB})
        EXPECT_TRUE(std::isfinite(x)) << what;
    for (const TRecCycle& c : r.power->cycles) {
        for (double x : {c.Ppri, c.Psec, c.Imoy, c.Iem, c.PVb, c.Y, c.swing})
            ASSERT_TRUE(std::isfinite(x)) << what << ": cycle at swing " << c.swing;
        EXPECT_LE(c.Y, 1) << what << ": cycle at swing " << c.swing;
        EXPECT_LE(c.Psec, c.PVb) << what << ": cycle at swing " << c.swing;
    }
    if (r.power->cut) {
        EXPECT_FALSE(r.ok) << what;
        EXPECT_TRUE(contains(r.dcReport, "output power figures") ||
                    contains(r.dcReport, "Output power figures"))
            << what << "\n"
            << r.dcReport;
    }
}

} // namespace

// The sheet of the report: an EF86 in C38 with its grid at the first-use +250 V does not reproduce
// its operating point in the analysis, whose sums gave 19 408 W at an efficiency of 10^300.
TEST(PowerImpossibleFigures, PentodeDrivenOutsideItsModelGivesAVerdictAndNoFigure) {
    const SolveResult r = power_test::solveDirect(firstOpening(38, {{"LBtube", "EF86"}, {"EdRp", "186"}}));
    expectPossibleFigures(r, "C38 EF86");
    ASSERT_TRUE(r.power->cut.has_value());
    EXPECT_TRUE(r.power->cycles.empty());
    EXPECT_TRUE(
        contains(r.dcReport, "No output power figures: the model gives more power than the supply delivers"))
        << r.dcReport;
    EXPECT_EQ(r.gridRow.at(0), "ERROR");
    const std::vector<std::string>& legends = circuitInfo(38).gridColumns;
    for (const char* legend : {"Vg swing (V)", "Pout (W)", "Ia max (mA)", "Yield (%)"}) {
        const auto column = std::find(legends.begin(), legends.end(), legend) - legends.begin();
        EXPECT_EQ(r.gridRow.at(static_cast<std::size_t>(column) + 1), "") << legend;
    }
}

TEST(PowerImpossibleFigures, RandomSheetsOfEveryStage) {
    std::mt19937 rng(20260412);
    for (int n = 37; n <= 42; ++n) {
        for (int round = 0; round < 30; ++round) {
            SolveRequest rq = firstOpening(n, {});
            for (SheetControl& c : rq.sheet.controls) {
                if (c.kind == ControlKind::Edit)
                    c.text = c.name == "EdVb"
                                 ? std::to_string(std::uniform_int_distribution<int>(20, 800)(rng))
                             : c.name == "EdVg" && n >= 41
                                 ? std::to_string(-std::uniform_int_distribution<int>(0, 300)(rng))
                                 : randomValue(rng);
                else if (c.kind == ControlKind::Selector && !c.items.empty())
                    c.selected = static_cast<int>(rng() % c.items.size());
            }
            const SolveOutcome out = solveCommand(rq);
            if (!out.solved)
                continue;
            expectPossibleFigures(out.result, "C" + std::to_string(n) + " round " + std::to_string(round));
        }
    }
}
