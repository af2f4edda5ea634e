// The Bode plot: logarithmic mapping, the decibel grid, labels and degenerate runs.
#include "plot_test_support.h"
#include "plots/bode_plot.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// A chain with a flat gain of 20 from 1 Hz to 100 kHz, two stage curves and the overall curve.
BodeData flatRun(double gain) {
    BodeData d;
    d.title = "test";
    d.tag = "C1";
    for (double dec = 1; dec < 1e5; dec *= 10)
        for (int i = 1; i <= 9; ++i)
            d.freqs.push_back(i * dec);
    d.freqs.push_back(1e5);
    d.curves = {std::vector<double>(d.freqs.size(), 1.0), std::vector<double>(d.freqs.size(), gain)};
    d.overall = std::vector<double>(d.freqs.size(), gain);
    d.overallDrawn = true;
    d.legends = {
        {"RC input", true, 0xFF8A2BE2}, {"T1", true, 0xFFFF7F50}, {"Overall gain", true, 0xFF000080}};
    d.fpk = 1000;
    d.Apk = gain;
    d.summary = "Max gain x20 26.0dB @ ~1000Hz BW -3dB 1Hz-100kHz";
    return d;
}
} // namespace

TEST(BodePlot, FrameSpansSweepAndGainRange) {
    const BodeData d = flatRun(20);
    ASSERT_EQ(d.freqs.size(), 46u);
    const BodeFrame f = bodeFrame(d, QSize(1000, 700));
    EXPECT_DOUBLE_EQ(f.x(1), 60);
    EXPECT_DOUBLE_EQ(f.x(1e5), 970);
    EXPECT_DOUBLE_EQ(f.y(20), 30);
    EXPECT_DOUBLE_EQ(f.y(0.1), 670);
}

TEST(BodePlot, DecibelGridEveryTenDecibelsFromMinusTwenty) {
    struct Case {
        double Gtop;
        int lines; // -20 dB, then up to below round(Gtop) raised to a multiple of 10
    } cases[] = {{20, 5}, {100, 6}, {5, 4}, {12, 5}, {0.5, 1} /* round 0: the -20 dB line alone */};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Gtop);
        const auto grid = bodeDecibelGrid(c.Gtop);
        ASSERT_EQ(static_cast<int>(grid.size()), c.lines);
        for (std::size_t i = 0; i < grid.size(); ++i)
            EXPECT_NEAR(20 * std::log10(grid[i]), -20.0 + 10.0 * i, 1e-9);
    }
}

TEST(BodePlot, FrequencyLabelsUseTheLocaleSeparators) {
    const NumberLocale en{'.', ","}, fr{',', " "}, bare{'.', ""};
    EXPECT_EQ(bodeFrequencyLabel(0.1, en), "0.1");
    EXPECT_EQ(bodeFrequencyLabel(0.1, fr), "0,1");
    EXPECT_EQ(bodeFrequencyLabel(1, en), "1");
    EXPECT_EQ(bodeFrequencyLabel(1000, en), "1,000");
    EXPECT_EQ(bodeFrequencyLabel(100000, fr), "100 000");
    EXPECT_EQ(bodeFrequencyLabel(1000000, bare), "1000000");
    EXPECT_TRUE(isBodeDecade(1e4));
    EXPECT_FALSE(isBodeDecade(2e4));
}

TEST(BodePlot, CurvesPairWithLegendsAndOverallComesLast) {
    BodeData d = flatRun(20);
    d.legends[1].display = false;
    const auto views = bodeCurveViews(d);
    ASSERT_EQ(views.size(), 3u);
    EXPECT_FALSE(views[1].display);
    EXPECT_TRUE(views[2].overall);
    EXPECT_EQ(views[2].width, 2);
    EXPECT_EQ(views[2].values, &d.overall);
    d.overallDrawn = false;
    EXPECT_EQ(bodeCurveViews(d).size(), 2u);
}

TEST(BodePlot, GridLinesAndOverallCurveInThePicture) {
    ensureGuiApp();
    const BodeData d = flatRun(20);
    const QImage image = drawBode(d, QSize(1000, 700), 1, NumberLocale{});
    const BodeFrame f = bodeFrame(d, image.size());
    // Light grey decibel lines at -20 (the axis), -10, 0 and +10 dB, sampled between frequency lines.
    const int xs = qRound((f.x(30) + f.x(40)) / 2);
    for (double g : {0.316227766, 1.0, 3.16227766}) {
        SCOPED_TRACE(g);
        const int y = qRound(f.y(g));
        EXPECT_FALSE(isWhite(image, xs, y) && isWhite(image, xs, y - 1) && isWhite(image, xs, y + 1));
    }
    EXPECT_TRUE(isWhite(image, xs, qRound(f.y(0.56))));
    // The overall curve at the top, 2 px navy (it hides the stage curve of the same gain).
    EXPECT_TRUE(pixelNearAround(image, xs, qRound(f.y(20)), QColor(0, 0, 0x80), 1, 60));
    // The grey frequency axis at -20 dB.
    EXPECT_TRUE(pixelNearAround(image, xs, qRound(f.y(0.1)), QColor(128, 128, 128), 1, 30));
}

TEST(BodePlot, DegenerateRunsDrawAFrame) {
    struct Case {
        const char* name;
        BodeData data;
    } cases[] = {
        {"all gains zero", flatRun(0)},
        {"no frequencies", BodeData{}},
        {"one frequency",
         [] {
             BodeData d = flatRun(20);
             d.freqs.resize(1);
             return d;
         }()},
        {"curve shorter than the sweep",
         [] {
             BodeData d = flatRun(20);
             d.curves[0].resize(3);
             return d;
         }()},
    };
    ensureGuiApp();
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BodeFrame f = bodeFrame(c.data, QSize(600, 400));
        EXPECT_TRUE(std::isfinite(f.x(1)) && std::isfinite(f.y(0.1)) && std::isfinite(f.y(0)));
        const QImage image = drawBode(c.data, QSize(600, 400), 1, NumberLocale{});
        EXPECT_EQ(image.size(), QSize(600, 400));
    }
    // With gains all zero the frame spans 0 .. 20 dB and the axis is still drawn.
    const QImage zero = drawBode(flatRun(0), QSize(600, 400), 1, NumberLocale{});
    EXPECT_FALSE(isWhite(zero, 300, 370));
}

namespace {
// flatRun as a phase-exact run: the phase falls from +90 to -90 degrees across the sweep.
BodeData exactRun(std::size_t phaseLength) {
    BodeData d = flatRun(20);
    d.exact = true;
    for (std::size_t i = 0; i < phaseLength; ++i)
        d.phase.push_back(90 - 180.0 * static_cast<double>(i) / static_cast<double>(d.freqs.size() - 1));
    return d;
}
} // namespace

TEST(BodePlot, PhaseAxisCoversThePhaseInSteps) {
    struct Case {
        const char* name;
        std::vector<double> phase;
        double bottom, top, step;
    } cases[] = {
        {"lead to lag", {89, 0, -89}, -90, 90, 45},
        {"inverting stage", {265, 180, 95}, 90, 270, 45},
        {"two stages of lag", {10, -170, -300}, -315, 45, 45},
        {"three turns", {0, -1000}, -1035, 0, 135},
        {"flat", {180, 180}, 135, 225, 45},
        {"no finite value", {NAN}, -90, 90, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PhaseAxis axis = bodePhaseAxis(c.phase);
        EXPECT_EQ(axis.bottom, c.bottom);
        EXPECT_EQ(axis.top, c.top);
        EXPECT_EQ(axis.step, c.step);
    }
}

TEST(BodePlot, PhaseCurveOnARightAxisOnlyInExactRuns) {
    ensureGuiApp();
    const QSize size(1000, 700);
    // A classic run keeps its frame; an exact run makes room on the right for the degrees.
    EXPECT_DOUBLE_EQ(bodeFrame(flatRun(20), size).x(1e5), 970);
    const BodeData exact = exactRun(46);
    ASSERT_TRUE(bodeShowsPhase(exact));
    const BodeFrame f = bodeFrame(exact, size);
    EXPECT_LT(f.x(1e5), 945);
    const QImage image = drawBode(exact, size, 1, NumberLocale{});
    // The right axis, and the dashed phase curve crossing 0 degrees in the middle of the plot.
    const int yMid = qRound((f.y(0.1) + f.y(f.Gtop)) / 2);
    EXPECT_FALSE(isWhite(image, qRound(f.x(1e5)), yMid));
    EXPECT_TRUE(pixelNearAround(image, qRound(f.x(547.7)), yMid, QColor(64, 64, 64), 3, 60));

    struct Case {
        const char* name;
        BodeData data;
    } hidden[] = {
        {"classic run", flatRun(20)},
        {"no phase", exactRun(0)},
        {"overall curve hidden",
         [] {
             BodeData d = exactRun(46);
             d.legends.back().display = false;
             return d;
         }()},
        {"no overall curve",
         [] {
             BodeData d = exactRun(46);
             d.overallDrawn = false;
             return d;
         }()},
    };
    for (auto& c : hidden) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(bodeShowsPhase(c.data));
    }
    // A phase shorter than the sweep is drawn as far as it goes.
    EXPECT_EQ(drawBode(exactRun(5), size, 1, NumberLocale{}).size(), size);
}
