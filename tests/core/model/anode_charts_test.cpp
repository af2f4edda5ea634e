// The anode-curves charts as values: grid range and steps, curves and table rows, the gm / rho / mu
// chart, the click read-out, the typed-voltages panel and the table's clipboard text.
#include "model/anode_charts.h"

#include "approx.h"
#include "builtin_tubes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const char* kEcc83 = "ECC83 / 12AX7";
}

TEST(AnodeChartSteps, CurrentAndGridStepsFollowTheScale) {
    struct {
        double Iamax, step;
    } currents[] = {{0.008, 0.001},          {0.15, 0.008} /* 7.5 ties to even */,
                    {0.05, 0.002} /* 2.5 */, {0.025, 0.001},
                    {0.0003, 0.001},         {0, 0.001}};
    for (const auto& c : currents)
        EXPECT_DOUBLE_EQ(anodeCurrentStep(c.Iamax), c.step) << "Iamax " << c.Iamax;

    struct {
        double Vgmin, anode, transfer;
    } grids[] = {{-4, -0.25, -0.5},
                 {-5, -0.5, -0.5},
                 {-8, -0.5, -1},
                 {-10, -1, -1},
                 {-25, -2, -2} /* -2.5 ties to even */,
                 {-29, -2, -3},
                 {-60, -5, -6}};
    for (const auto& g : grids) {
        EXPECT_DOUBLE_EQ(anodeGridStep(g.Vgmin), g.anode) << "Vgmin " << g.Vgmin;
        EXPECT_DOUBLE_EQ(transferGridStep(g.Vgmin), g.transfer) << "Vgmin " << g.Vgmin;
    }
}

TEST(AnodeChartSteps, Ecc83HasEightCurrentLinesAndGridRangeToMinusFour) {
    TTube tube = builtinTube(kEcc83);
    EXPECT_EQ(anodeVgmin(tube, 100), -4);
    const auto ticks = anodeCurrentTicks(tube.Iamax());
    ASSERT_EQ(ticks.size(), 8u);
    for (int k = 0; k < 8; ++k)
        EXPECT_REL(ticks[k], (k + 1) * 1e-3, 1e-9);
}

TEST(AnodeCharacteristics, Ecc83CurvesRowsAndLabels) {
    TTube tube = builtinTube(kEcc83);
    const AnodeChart chart = computeAnodeCharacteristics(tube, 100);
    EXPECT_FALSE(chart.transfer);
    EXPECT_EQ(chart.title, "Anode characteristics Ia(Vak,Vgk) of \"ECC83 / 12AX7\" after NK's equation");
    ASSERT_EQ(chart.curves.size(), 17u); // 0 V down to -4 V by -0.25 V
    EXPECT_EQ(chart.curves.front().label.text, "0.00");
    EXPECT_EQ(chart.curves.back().label.text, "-4.00");

    std::size_t points = 0;
    for (const auto& curve : chart.curves) {
        SCOPED_TRACE(curve.label.text);
        points += curve.points.size();
        const ChartPoint last = curve.points.back();
        // Each curve ends at Vamax, at Iamax or at the dissipation limit, and not before.
        EXPECT_TRUE(last.x >= 350 || last.y >= 0.008 || (last.x + 2) * last.y >= 1);
        for (std::size_t i = 0; i + 1 < curve.points.size(); ++i)
            EXPECT_LT((curve.points[i].x + 2) * curve.points[i].y, 1);
        EXPECT_DOUBLE_EQ(curve.label.x, last.x + 2);
        EXPECT_EQ(curve.label.anchor, TextAnchor::Right);
    }
    // The 0 V curve meets the 1 W hyperbola near 200 V.
    EXPECT_DOUBLE_EQ(chart.curves.front().points.back().x, 200);

    // Every point is a table row and every curve is followed by a separator.
    ASSERT_EQ(chart.rows.size(), points + chart.curves.size());
    EXPECT_TRUE(chart.rows.back().separator());
    EXPECT_DOUBLE_EQ(chart.rows.back().Va, kAnodeSeparatorVa);
    EXPECT_FALSE(chart.rows.front().separator());

    ASSERT_EQ(chart.xTicks.size(), 36u); // 0, 10, ... 350 V
    int labelled = 0;
    for (const auto& t : chart.xTicks)
        labelled += t.major;
    EXPECT_EQ(labelled, 8); // every 50 V
    EXPECT_EQ(chart.xTicks[5].label, "50");
}

TEST(TransferCharacteristics, Ecc83CurvesEvery25Volts) {
    TTube tube = builtinTube(kEcc83);
    const AnodeChart chart = computeTransferCharacteristics(tube, 100);
    EXPECT_TRUE(chart.transfer);
    ASSERT_EQ(chart.curves.size(), 14u); // 25 .. 350 V
    EXPECT_EQ(chart.curves.front().label.text, "25V");
    EXPECT_EQ(chart.curves.back().label.text, "350V");
    const auto& low = chart.curves.front().points;
    EXPECT_DOUBLE_EQ(low.front().x, -4);
    EXPECT_DOUBLE_EQ(low.back().x, 0); // 25 V never reaches a limit: the curve runs to 0 V
    EXPECT_EQ(low.size(), 81u);
    ASSERT_EQ(chart.xTicks.size(), 9u); // 0 to -4 V by -0.5 V
    EXPECT_EQ(chart.xTicks.front().label, "0.0");
    EXPECT_EQ(chart.xTicks.back().label, "-4.0");
}

TEST(MultiChart, ScalesAndSeries) {
    struct Case {
        const char* model;
        double Vg2;
        double muFull;
    } cases[] = {{kEcc83, 100, 100}, {"EL34", 250, 10000}, {"EF86", 100, 10000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        TTube tube = builtinTube(c.model);
        const MultiChart chart = computeMultiChart(tube, c.Vg2);
        EXPECT_GT(chart.gmFull, 0);
        EXPECT_GT(chart.rhoFull, 0);
        EXPECT_EQ(chart.muFull, c.muFull);
        EXPECT_EQ(chart.gmTicks.size(), 10u);
        EXPECT_EQ(chart.rhoTicks.size(), 9u);
        ASSERT_EQ(chart.series.size(), 3u);
        EXPECT_EQ(chart.series[2].muLabel, "  µ @ Va=300V");
        for (const auto& s : chart.series) {
            SCOPED_TRACE(s.Va);
            ASSERT_FALSE(s.gm.empty());
            ASSERT_EQ(s.gm.size(), s.rho.size());
            for (std::size_t i = 0; i < s.gm.size(); ++i) {
                EXPECT_GT(s.gm[i].y, 0);
                EXPECT_NEAR(s.mu[i].y, s.gm[i].y * s.rho[i].y, 1e-9 * std::fabs(s.mu[i].y));
                if (i > 0) {
                    EXPECT_LT(s.gm[i].x, s.gm[i - 1].x); // current falls along the sweep
                }
            }
        }
    }
}

TEST(AnodeCharts, ModelsWithZeroLimitsEndTheirSweeps) {
    TubeParams noCurrent = builtinParams(kEcc83);
    noCurrent.imax = 0;
    TubeParams noVoltage = builtinParams(kEcc83);
    noVoltage.vmax = 0;
    struct Case {
        const char* name;
        TubeParams params;
    } cases[] = {{"unknown model", unknownModel("none")}, {"Iamax 0", noCurrent}, {"Vamax 0", noVoltage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTube tube(c.params, "T1");
        const AnodeChart anode = computeAnodeCharacteristics(tube, 100);
        const AnodeChart transfer = computeTransferCharacteristics(tube, 100);
        const MultiChart multi = computeMultiChart(tube, 100);
        EXPECT_TRUE(std::isfinite(anode.Vgmin));
        EXPECT_LT(anode.rows.size(), 100000u);
        EXPECT_LT(transfer.rows.size(), 100000u);
        for (const auto& s : multi.series)
            for (const auto& p : s.gm)
                EXPECT_TRUE(std::isfinite(p.y));
    }
}

TEST(AnodeTable, CellsAndClipboardText) {
    const std::vector<AnodeRow> rows = {
        {0, -0.5, 0}, {2, -0.5, 1.23456e-3}, {kAnodeSeparatorVa, 0, 0}, {25, -4, 2e-4}};
    EXPECT_EQ(anodeTableCell(rows[1], 0), "2");
    EXPECT_EQ(anodeTableCell(rows[1], 1), "-0.500");
    EXPECT_EQ(anodeTableCell(rows[1], 2), "1.235");
    for (int col = 0; col < 3; ++col)
        EXPECT_EQ(anodeTableCell(rows[2], col), "÷÷÷÷");
    EXPECT_EQ(anodeTableColour(0), 0xFF0000u);
    EXPECT_EQ(anodeTableColour(1), 0x008080u);
    EXPECT_EQ(anodeTableColour(2), 0x000080u);
    EXPECT_EQ(anodeTableText(rows), "Vak (V)\tVgk (V)\tIa (mA)\r\n"
                                    "0\t-0.500\t0.000\r\n"
                                    "2\t-0.500\t1.235\r\n"
                                    "\r\n"
                                    "25\t-4.000\t0.200\r\n");
}

TEST(AnodeTable, CopiedCurrentsEqualTheGridColumn) {
    TTube tube = builtinTube(kEcc83);
    const AnodeChart chart = computeAnodeCharacteristics(tube, 100);
    const std::string text = anodeTableText(chart.rows);
    std::size_t pos = text.find("\r\n") + 2;
    for (const auto& row : chart.rows) {
        const std::size_t end = text.find("\r\n", pos);
        const std::string line = text.substr(pos, end - pos);
        if (row.separator())
            EXPECT_EQ(line, "");
        else
            EXPECT_EQ(line.substr(line.rfind('\t') + 1), anodeTableCell(row, 2));
        pos = end + 2;
    }
    EXPECT_EQ(pos, text.size());
}

TEST(AnodeChartClick, PlotAreaToValues) {
    struct Case {
        const char* name;
        double X, Y;
        bool transfer;
        bool inside;
        double Ia, value;
    } cases[] = {
        {"bottom left of anode chart", 50, 650, false, true, 0, 0},
        {"top right of anode chart", 950, 50, false, true, 0.008, 350},
        {"middle of anode chart", 500, 350, false, true, 0.004, 175},
        {"left edge of transfer chart", 50, 350, true, true, 0.004, -4},
        {"right edge of transfer chart", 950, 350, true, true, 0.004, 0},
        {"left margin", 49, 350, false, false, 0, 0},
        {"above the current scale", 500, 49, false, false, 0, 0},
        {"below the axis", 500, 651, true, false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto click = anodeChartClick(c.X, c.Y, 1000, 700, c.transfer, 0.008, 350, -4);
        ASSERT_EQ(click.has_value(), c.inside);
        if (click) {
            EXPECT_NEAR(click->Ia, c.Ia, 1e-12);
            EXPECT_NEAR(click->value, c.value, 1e-9);
        }
    }
    EXPECT_FALSE(anodeChartClick(60, 60, 100, 100, false, 0.008, 350, -4)); // no plot area at all
}

TEST(DisplayInstant, ReadOutTextsAndPanelColours) {
    TTube tube = builtinTube(kEcc83);
    struct Case {
        const char* name;
        bool transfer;
        double Ia, value;
        std::uint32_t colour;
        const char* starts;
    } cases[] = {
        {"inside the limits", false, 1e-3, 200, 0xAAFFAA,
         " Va <b>200</b> V<br> Vg <b>-1.4</b> V<br> Ia <b>1.0</b> mA"},
        {"above the dissipation limit", false, 4e-3, 300, 0xFF0000, " Va <b>300</b> V"},
        {"positive grid needed", false, 6e-3, 100, 0x808080, "No solution"},
        {"transfer chart", true, 1e-3, -1, 0xAAFFAA, " Va <b>160</b> V<br> Vg <b>-1.0</b> V"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const InstantReadout r = displayInstant(tube, c.transfer, c.Ia, c.value, 100);
        EXPECT_EQ(r.colour, c.colour);
        EXPECT_EQ(r.text.rfind(c.starts, 0), 0u) << r.text;
        EXPECT_EQ(r.solved, c.colour != 0x808080);
    }
    const InstantReadout ok = displayInstant(tube, false, 1e-3, 200, 100);
    EXPECT_NE(ok.text.find("<br><br> Pa <b>0.2</b> W<br><br> ρ  <b>"), std::string::npos);
    EXPECT_EQ(ok.text.find(" Is "), std::string::npos);

    TTube pentode = builtinTube("EL34");
    const InstantReadout p = displayInstant(pentode, false, 0.05, 250, 250);
    EXPECT_NE(p.text.find("<br> Is <b>"), std::string::npos);

    // A pentode saturates: at -20 V on the grid (Vg2 100 V) no anode voltage gives 140 mA, where the
    // anode-voltage search would run off to a thousand megavolts.
    const InstantReadout saturated = displayInstant(pentode, true, 0.14, -20, 100);
    EXPECT_EQ(saturated.text, "No solution");
    EXPECT_EQ(saturated.colour, 0x808080u);
    EXPECT_FALSE(saturated.solved);
    EXPECT_TRUE(displayInstant(pentode, true, 0.02, -5, 100).solved);
}

TEST(TypedVoltages, ErrorsAndResults) {
    TTube triode = builtinTube(kEcc83);
    TTube pentode = builtinTube("EL34");
    struct Case {
        const char* name;
        TTube* tube;
        const char *vak, *vgk, *vg2;
        char sep;
        const char* expected; // whole text, or a prefix when it ends with the result's first field
    } cases[] = {
        {"Vak not a number", &triode, "abc", "-2", "", '.', "Invalid Vak"},
        {"Vak empty", &triode, "", "-2", "", '.', "Invalid Vak"},
        {"Vgk empty", &triode, "250", "", "", '.', "Invalid Vgk"},
        {"Vgk positive", &triode, "250", "1", "", '.', "Vgk must be null or negative"},
        {"Vgk with the other separator", &triode, "250", "-2.0", "", ',', "Invalid Vgk"},
        {"Vg2 not a number (pentode)", &pentode, "250", "-20", "x", '.', "Invalid Vg2"},
        {"Vg2 zero (pentode)", &pentode, "250", "0", "0", '.', "Invalid Vg2"},
        {"Vg2 negative (pentode)", &pentode, "250", "-20", "-5", '.', "Invalid Vg2"},
        {"Vg2 ignored for a triode", &triode, "250", "-2", "x", '.', "Ia=0.952mA     P=238mW\n\nRi~54kΩ"},
        {"decimal comma", &triode, "250", "-2,0", "", ',', "Ia=0.952mA     P=238mW"},
        {"pentode result", &pentode, "250", "-20", "250", '.', "Ia=34.382mA  Ie="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = typedVoltagesText(*c.tube, c.vak, c.vgk, c.vg2, c.sep);
        EXPECT_EQ(text.rfind(c.expected, 0), 0u) << text;
    }
    EXPECT_DOUBLE_EQ(screenVoltageOr100("250", '.'), 250);
    EXPECT_DOUBLE_EQ(screenVoltageOr100("abc", '.'), 100);
    EXPECT_DOUBLE_EQ(screenVoltageOr100("", '.'), 100);
}

TEST(ScreenVoltageBox, DrawingVoltageAndRedraws) {
    struct {
        const char* text;
        char sep;
        double drawn; // the voltage a drawing uses
        bool redraws; // typing it redraws the charts
    } rows[] = {
        {"250", '.', 250, true},     {"10", '.', 10, true},      {"9.5", '.', 10, false},
        {"5", '.', 10, false},       {"800", '.', 800, true},    {"5000", '.', 800, false},
        {"abc", '.', 100, false},    {"", '.', 100, false},      {"-300", '.', 10, false},
        {"250,5", ',', 250.5, true}, {"250.5", ',', 100, false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_DOUBLE_EQ(drawingScreenVoltage(r.text, r.sep), r.drawn);
        EXPECT_EQ(screenVoltageRedraws(r.text, r.sep), r.redraws);
    }
}

TEST(AnodeCaptions, TriodeAndPentodeTexts) {
    const TTube triode = builtinTube(kEcc83);
    const TTube pentode = builtinTube("EL34");
    EXPECT_EQ(anodeWindowCaption("EL34"), "Curves of \"EL34\" after NK's equation");
    EXPECT_EQ(computePanelCaption(triode, 250), "Compute Ia(Va,Vg) for \"ECC83 / 12AX7\"");
    EXPECT_EQ(computePanelCaption(pentode, 250), "Compute Ia(Va,Vg) @Vg2=250V for \"EL34\"");
    EXPECT_EQ(anodeChartTitle(pentode, 250),
              "Anode characteristics Ia(Vak,Vgk) @Vg2=250V of \"EL34\" after NK's equation");
}
