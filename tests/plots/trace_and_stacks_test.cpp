// The convergence trace and the voltage-stack bars: geometry and sampled pixels.
#include "plot_test_support.h"
#include "plots/convergence_plot.h"
#include "plots/stack_bars.h"

#include <gtest/gtest.h>

namespace {
const QColor kTraceGreen(0, 128, 0);

TFormConvergence trace(std::vector<double> points) {
    TFormConvergence t;
    t.Points = std::move(points);
    return t;
}
} // namespace

TEST(ConvergencePlot, LastIterationOnRightEdgeAndLargestValueOnTop) {
    const QPolygonF line = convergencePolyline({0, 1e-3, 1, 2e-3, 2, 1.5e-3, 4, 1e-3}, QSize(400, 100));
    ASSERT_EQ(line.size(), 4);
    EXPECT_DOUBLE_EQ(line[0].x(), 0);
    EXPECT_DOUBLE_EQ(line[3].x(), 400);
    EXPECT_DOUBLE_EQ(line[1].y(), 0);  // the largest value
    EXPECT_DOUBLE_EQ(line[0].y(), 50); // half of it
    EXPECT_DOUBLE_EQ(line[2].x(), 200);
}

TEST(ConvergencePlot, DegenerateTracesStayFinite) {
    struct Case {
        const char* name;
        std::vector<double> points;
    } cases[] = {
        {"single point (x_last = 0)", {0, 1.2e-3}},
        {"all values zero", {0, 0, 1, 0, 2, 0}},
        {"negative values", {0, -1, 1, -2}},
        {"empty", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QPointF& p : convergencePolyline(c.points, QSize(384, 111))) {
            EXPECT_TRUE(std::isfinite(p.x()) && std::isfinite(p.y()));
            EXPECT_GE(p.x(), 0);
            EXPECT_LE(p.x(), 384);
        }
        ensureGuiApp();
        const QImage image = drawConvergence(trace(c.points), QSize(384, 111), 1.0);
        EXPECT_EQ(image.size(), QSize(384, 111));
        EXPECT_EQ(image.depth(), 32); // a 32-bit canvas, opaque: nothing to blend, RGB in the PNG files
        EXPECT_FALSE(image.hasAlphaChannel());
    }
}

TEST(ConvergencePlot, GreenPolylineEndsAtRightEdge) {
    ensureGuiApp();
    // Converges to 1 mA from 2 mA: the last point sits at the right edge, half-way down.
    const QImage image =
        drawConvergence(trace({0, 2e-3, 1, 1.5e-3, 2, 1.2e-3, 3, 1e-3, 4, 1e-3}), QSize(400, 100), 1);
    EXPECT_TRUE(pixelNear(image, 399, 50, kTraceGreen, 60));
    EXPECT_TRUE(pixelNear(image, 350, 50, kTraceGreen, 60));
    EXPECT_TRUE(isWhite(image, 350, 10));
    EXPECT_TRUE(isWhite(image, 350, 90));
}

TEST(StackBars, FullSupplyFillsColumnBetweenMargins) {
    TVoltageStacks s;
    s.Add("Ra", 100, kStackRed);
    s.Add("T1", 148, kStackYellow);
    s.Add("Rk", 2, kStackGreen);
    const int T = 300;
    const auto bars = stackBarGeometry(s, 2, T, 250);
    ASSERT_EQ(bars.size(), 3u);
    EXPECT_DOUBLE_EQ(bars[0].rect.top(), 35);
    EXPECT_DOUBLE_EQ(bars[0].rect.left(), 70);
    EXPECT_DOUBLE_EQ(bars[0].rect.width(), 12);
    EXPECT_DOUBLE_EQ(bars[0].rect.height(), 92); // 230 * 100 / 250
    EXPECT_DOUBLE_EQ(bars[2].rect.bottom(), T - 35);
    EXPECT_EQ(bars[1].text, "T1 148V");
    EXPECT_DOUBLE_EQ(bars[1].textAt.x(), 83.2);

    ensureGuiApp();
    const QImage image = drawStackBars({TVoltageStacks{}, s}, T, 250, 1);
    ASSERT_EQ(image.height(), T);
    ASSERT_GE(image.width(), 140);
    EXPECT_TRUE(pixelNear(image, 76, 36, Qt::red, 5));
    EXPECT_TRUE(pixelNear(image, 76, 200, Qt::yellow, 5));
    EXPECT_TRUE(pixelNear(image, 76, T - 36, QColor(0, 128, 0), 5));
    EXPECT_TRUE(isWhite(image, 76, 33));
    EXPECT_TRUE(isWhite(image, 76, T - 33));
    EXPECT_TRUE(isWhite(image, 6, 150)); // the empty first column
}

TEST(StackBars, UnusualStacksDrawWithoutFailing) {
    struct Case {
        const char* name;
        std::vector<TItem> items;
        double Vb;
        double lastBottom;
    } cases[] = {
        {"adds up to less than the supply", {{"Ra", 50, kStackRed}}, 250, 35 + 46},
        {"exceeds the supply", {{"Ra", 200, kStackRed}, {"T1", 200, kStackYellow}}, 250, 35 + 368},
        {"no supply", {{"Ra", 50, kStackRed}}, 0, 35},
        {"negative voltage goes up", {{"Ra", -50, kStackRed}}, 250, 35 - 46},
        {"negative element in a full stack",
         {{"Ra", 300, kStackRed}, {"T1", -50, kStackYellow}},
         250,
         300 - 35},
        {"unnamed element", {{"", 250, kStackRed}}, 250, 265},
    };
    ensureGuiApp();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TVoltageStacks s;
        s.Items = c.items;
        const auto bars = stackBarGeometry(s, 1, 300, c.Vb);
        ASSERT_FALSE(bars.empty());
        EXPECT_DOUBLE_EQ(bars.back().rect.bottom(), c.lastBottom);
        const QImage image = drawStackBars({s}, 300, c.Vb, 1);
        EXPECT_EQ(image.height(), 300);
        EXPECT_GE(image.width(), 70);
    }
}
