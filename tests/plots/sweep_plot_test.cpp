// The sweep picture: axis ticks, the curve through its points, a series without points, and the
// THD curve of the output-power plot. VALVENIX_PLOT_SAMPLES=DIR writes the pictures to look at.
#include "plot_test_support.h"
#include "solve_fixture.h"

#include "plots/power_plots.h"
#include "plots/sweep_plot.h"

namespace {
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 140, 140);
} // namespace

TEST(SweepPlot, AxisTicks) {
    const struct {
        double lo, hi;
        bool log;
        std::vector<double> ticks;
    } cases[] = {
        {500, 5000, false, {1000, 2000, 3000, 4000, 5000}},
        {0, 1, false, {0, 0.2, 0.4, 0.6, 0.8, 1}},
        {-3, 3, false, {-3, -2, -1, 0, 1, 2, 3}},
        {10, 100000, true, {10, 100, 1000, 10000, 100000}},
        {50, 2000, true, {50, 100, 200, 500, 1000, 2000}},
        {5, 5, false, {}},
    };
    for (const auto& c : cases) {
        const std::vector<double> t = sweepAxisTicks(c.lo, c.hi, c.log);
        ASSERT_EQ(t.size(), c.ticks.size()) << c.lo << " " << c.hi;
        for (std::size_t i = 0; i < t.size(); ++i)
            EXPECT_NEAR(t[i], c.ticks[i], 1e-9 * std::max(1.0, std::fabs(c.ticks[i]))) << c.lo << " " << c.hi;
    }
}

TEST(SweepPlot, CurveAndEmptySeries) {
    ensureGuiApp();
    SweepSeries s{"EdRk", "Ia (mA)", false, {{500, 1.2}, {1000, 1.0}, {2000, 0.8}, {5000, 0.5}}};
    const QImage image = drawSweep(s, "C1", QSize(640, 400), 1);
    save(image, "C1-sweep");
    int navy = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            navy += pixelNear(image, x, y, kNavy, 30) ? 1 : 0;
    EXPECT_GT(navy, 300);
    const QImage empty = drawSweep(SweepSeries{"EdRk", "Ia (mA)", false, {}}, "C1", QSize(640, 400), 1);
    EXPECT_FALSE(empty.isNull());
    // One point, and a logarithmic series: nothing divides by zero.
    EXPECT_FALSE(drawSweep(SweepSeries{"EdRk", "Ia", true, {{1000, 1}}}, "C1", QSize(300, 200), 2).isNull());
}

TEST(SweepPlot, OutputPowerPlotCarriesTheThdCurve) {
    ensureGuiApp();
    const SolveOutcome out = solveCommand(firstOpening(37, {{"LBtube", "300B"},
                                                            {"EdVb", "360"},
                                                            {"EdRp", "100"},
                                                            {"EdRa", "3500"},
                                                            {"EdVg", "-72"},
                                                            {"EdRk", "0"}}));
    ASSERT_TRUE(out.result.power);
    const QImage image = drawPower(*out.result.power, QSize(900, 600), 1);
    save(image, "C37-300B-power-thd");
    int teal = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            teal += pixelNear(image, x, y, kTeal, 30) ? 1 : 0;
    EXPECT_GT(teal, 200);
}
