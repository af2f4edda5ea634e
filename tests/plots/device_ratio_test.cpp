// Pictures for a HiDPI screen: under a device ratio the canvas holds that many pixels per logical
// pixel and the picture keeps the layout it has at 96 dpi.
#include "plot_test_support.h"
#include "plots/convergence_plot.h"
#include "plots/plot_style.h"
#include "plots/stack_bars.h"

#include <gtest/gtest.h>

TEST(PlotDeviceRatio, CanvasHoldsRatioTimesItsLogicalSize) {
    ensureGuiApp();
    struct Case {
        double ratio;
        QSize pixels;
    } cases[] = {{1, {300, 120}}, {2, {600, 240}}, {1.5, {450, 180}}};
    for (const Case& c : cases) {
        const PlotDeviceRatio ratio(c.ratio);
        const QImage image = plotCanvas(QSize(300, 120));
        EXPECT_EQ(image.size(), c.pixels) << c.ratio;
        EXPECT_DOUBLE_EQ(image.devicePixelRatio(), c.ratio);
        EXPECT_EQ(canvasSize(image), QSize(300, 120));
    }
    EXPECT_DOUBLE_EQ(PlotDeviceRatio::current(), 1.0);
}

TEST(PlotDeviceRatio, PictureKeepsItsLayoutAtTwiceTheDensity) {
    ensureGuiApp();
    TFormConvergence trace;
    for (int i = 0; i < 10; ++i)
        trace.AddPoint(i, 1e-3 * (2 - i / 10.0));
    const QImage normal = drawConvergence(trace, QSize(400, 100), 1);
    QImage dense;
    {
        const PlotDeviceRatio ratio(2);
        dense = drawConvergence(trace, QSize(400, 100), 1);
    }
    ASSERT_EQ(dense.size(), QSize(800, 200));
    // The green trace passes through the same logical points.
    // Iteration 9 of 9 at the right edge, 45 % down; iteration 5 at 5/9 of the width, 25 % down.
    for (const QPoint at : {QPoint(398, 45), QPoint(222, 25)}) {
        EXPECT_TRUE(pixelNearAround(normal, at.x(), at.y(), QColor(0, 128, 0), 2, 80))
            << at.x() << "," << at.y();
        EXPECT_TRUE(pixelNearAround(dense, 2 * at.x(), 2 * at.y(), QColor(0, 128, 0), 4, 80))
            << at.x() << "," << at.y();
    }

    TVoltageStacks stack;
    stack.Add("Ra", 100, kStackRed);
    stack.Add("T1", 150, kStackYellow);
    const QImage bars = drawStackBars({stack}, 300, 250, 1);
    const PlotDeviceRatio ratio(2);
    const QImage denseBars = drawStackBars({stack}, 300, 250, 1);
    EXPECT_EQ(canvasSize(denseBars), bars.size());
}
