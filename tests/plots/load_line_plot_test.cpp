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
