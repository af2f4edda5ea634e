// The DC load-line diagram: mapping, curve point lists and the navy load line in the picture.
#include "builtin_tubes.h"
#include "plot_test_support.h"
#include "plots/load_line_plot.h"

#include <gtest/gtest.h>

namespace {
const QColor kNavy(0, 0, 0x80);

LoadLineData ecc83Stage(bool drawLine) {
    TTube tube = builtinTube("ECC83 / 12AX7");
    tube.basicBiasSuccApprox(250, 100e3, 1e3);
    return LoadLineData{tube, 250 / 101e3, 250, drawLine, 1};
}
} // namespace

TEST(LoadLinePlot, FrameMapsAxesToSixtyPixelMargins) {
    const LoadLineFrame f{600, 300, 0.01, 300};
    EXPECT_DOUBLE_EQ(f.x(0), 60);
    EXPECT_DOUBLE_EQ(f.x(300), 540);
    EXPECT_DOUBLE_EQ(f.y(0), 240);
    EXPECT_DOUBLE_EQ(f.y(0.01), 60);
    const LoadLineFrame zero{600, 300, 0, 0}; // a model with zero limits stays finite
    EXPECT_TRUE(std::isfinite(zero.x(10)) && std::isfinite(zero.y(0.001)));
}

TEST(LoadLinePlot, AnodeCurveStopsAtTheFirstLimit) {
    const TTube tube = builtinTube("ECC83 / 12AX7");
    const auto pts = loadLineAnodeCurve(tube, -1, 0.002, 250);
    ASSERT_GT(pts.size(), 2u);
    EXPECT_DOUBLE_EQ(pts[0].x(), 0);
    for (std::size_t i = 1; i < pts.size(); ++i)
        EXPECT_DOUBLE_EQ(pts[i].x() - pts[i - 1].x(), 2);
    const QPointF last = pts.back();
    // Either the next step would reach Vmax, or the current or the dissipation passed its limit.
    EXPECT_TRUE(last.x() + 2 >= 250 || last.y() >= 0.002 || (last.x() + 2) * last.y() >= tube.Pamax());
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        EXPECT_LT(pts[i].y(), 0.002);

    const auto hyperbola = dissipationHyperbola(1, 0.008, 350);
    ASSERT_FALSE(hyperbola.empty());
    EXPECT_DOUBLE_EQ(hyperbola.front().x(), 125);
    EXPECT_DOUBLE_EQ(hyperbola.back().x(), 349);
    EXPECT_EQ(dissipationHyperbola(1, 0.001, 350).size(), 1u); // Pamax/Iamax beyond Vamax
    EXPECT_TRUE(dissipationHyperbola(1, 0, 350).empty());
}

TEST(LoadLinePlot, NavyLoadLineFromFullCurrentToSupply) {
    ensureGuiApp();
    const QSize size(600, 300);
    const LoadLineFrame f{600, 300, 250 / 101e3, 250};
    const QImage with = drawLoadLine(ecc83Stage(true), size, 1);
    const QImage without = drawLoadLine(ecc83Stage(false), size, 1);
    for (double t : {0.1, 0.15, 0.6, 0.9}) {
        SCOPED_TRACE(t);
        const QPointF p = f.at(t * 250, (1 - t) * 250 / 101e3);
        EXPECT_TRUE(pixelNearAround(with, qRound(p.x()), qRound(p.y()), kNavy, 1, 60));
        EXPECT_FALSE(pixelNearAround(without, qRound(p.x()), qRound(p.y()), kNavy, 0, 60));
    }
}

TEST(LoadLinePlot, ZeroModelAndZeroAxesStillDraw) {
    ensureGuiApp();
    LoadLineData data{TTube(unknownModel("nothing"), "T1"), 0, 0, true, 1};
    const QImage image = drawLoadLine(data, QSize(400, 300), 1);
    EXPECT_EQ(image.size(), QSize(400, 300));
    EXPECT_FALSE(isWhite(image, 60, 200)); // the grey current axis is there
}
