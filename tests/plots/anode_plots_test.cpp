// The anode-curves charts: frames and sampled pixels of ECC83's anode chart, the transfer and
// gm / rho / mu charts, and a model with zero limits.
#include "builtin_tubes.h"
#include "plot_test_support.h"
#include "plots/anode_plots.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// Share of the columns of the plot area where a horizontal line at y (antialiased over the two
// pixel rows it straddles) is a neutral grey.
double greyShare(const QImage& image, double y) {
    int grey = 0, total = 0;
    for (int x = 55; x < image.width() - 55; x += 3, ++total) {
        for (int row : {int(std::floor(y - 0.5)), int(std::floor(y))}) {
            const QColor c = image.pixelColor(x, row);
            if (c.lightness() < 235 && c.lightness() > 150 && std::abs(c.red() - c.blue()) < 8) {
                ++grey;
                break;
            }
        }
    }
    return double(grey) / total;
}
} // namespace

TEST(AnodePlots, FramesPutTheLimitsOnTheMargins) {
    AnodeChart chart;
    chart.Iamax = 0.008;
    chart.Vamax = 350;
    chart.Vgmin = -8;
    AnodeFrame f = anodeFrame(chart, QSize(1000, 700));
    EXPECT_DOUBLE_EQ(f.x(0), 50);
    EXPECT_DOUBLE_EQ(f.x(350), 950);
    EXPECT_DOUBLE_EQ(f.y(0.008), 50);
    EXPECT_DOUBLE_EQ(f.y(0), 650);
    f.transfer = true;
    EXPECT_DOUBLE_EQ(f.x(-8), 50);
    EXPECT_DOUBLE_EQ(f.x(0), 950);
    const MultiFrame m{1000, 700, 0.008};
    EXPECT_DOUBLE_EQ(m.x(0.004), 500);
    EXPECT_DOUBLE_EQ(m.y(50, 100), 350);
}

TEST(AnodePlots, Ecc83AnodeChartHasGridLinesAtEachMilliampere) {
    ensureGuiApp();
    TTube tube = builtinTube("ECC83 / 12AX7");
    const AnodeChart chart = computeAnodeCharacteristics(tube, 100);
    const QImage image = drawAnodeChart(chart, QSize(1000, 700), 1);
    const AnodeFrame f = anodeFrame(chart, image.size());
    for (int mA = 1; mA <= 8; ++mA) {
        SCOPED_TRACE(mA);
        EXPECT_GT(greyShare(image, (f.y(mA * 1e-3))), 0.5);
    }
    EXPECT_LT(greyShare(image, (f.y(1.5e-3))), 0.05);
    EXPECT_LT(greyShare(image, (f.y(0.5e-3))), 0.05);
    // The navy current axis at x = 50 and a maroon curve: Vg = 0 at 100 V.
    const QColor axis = image.pixelColor(50, 300), left = image.pixelColor(49, 300);
    EXPECT_TRUE(axis.blue() - axis.red() > 40 && left.blue() - left.red() > 40); // 1 px straddling x = 50
    double ia;
    tube.CalculerNK(100, 0, ia);
    EXPECT_TRUE(pixelNearAround(image, qRound(f.x(100)), qRound(f.y(ia)), QColor(0x80, 0, 0), 1, 60));
}

TEST(AnodePlots, TransferAndMultiChartsDrawCurves) {
    ensureGuiApp();
    TTube tube = builtinTube("ECC83 / 12AX7");
    const AnodeChart transfer = computeTransferCharacteristics(tube, 100);
    const QImage image = drawAnodeChart(transfer, QSize(800, 600), 1);
    const AnodeFrame f = anodeFrame(transfer, image.size());
    const auto& curve = transfer.curves.back();
    const auto& pt = curve.points[curve.points.size() / 2];
    EXPECT_TRUE(pixelNearAround(image, qRound(f.x(pt.x)), qRound(f.y(pt.y)), QColor(0x80, 0, 0), 1, 60));

    const MultiChart multi = computeMultiChart(tube, 100);
    const QImage m = drawMultiChart(multi, QSize(800, 600), 1);
    const MultiFrame mf{800, 600, multi.Iamax};
    const auto& gm = multi.series.back().gm;
    ASSERT_FALSE(gm.empty());
    const auto& g = gm[gm.size() / 2];
    EXPECT_TRUE(
        pixelNearAround(m, qRound(mf.x(g.x)), qRound(mf.y(g.y, multi.gmFull)), QColor(0x7F, 0, 0xFF), 1, 60));
}

TEST(AnodePlots, ModelWithZeroLimitsDrawsAxesAndTitle) {
    ensureGuiApp();
    struct Case {
        const char* name;
        TubeParams params;
    } cases[] = {
        {"unknown model", unknownModel("none")},
        {"zero current limit",
         [] {
             TubeParams p = builtinParams("ECC83 / 12AX7");
             p.imax = 0;
             return p;
         }()},
        {"zero voltage limit",
         [] {
             TubeParams p = builtinParams("ECC83 / 12AX7");
             p.vmax = 0;
             return p;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTube tube(c.params, "T1");
        for (const QImage& image :
             {drawAnodeChart(computeAnodeCharacteristics(tube, 100), QSize(600, 400), 1),
              drawAnodeChart(computeTransferCharacteristics(tube, 100), QSize(600, 400), 1),
              drawMultiChart(computeMultiChart(tube, 100), QSize(600, 400), 1)}) {
            EXPECT_EQ(image.size(), QSize(600, 400));
            int dark = 0; // the title is written
            for (int x = 50; x < 300; ++x)
                for (int y = 2; y < 30; ++y)
                    dark += image.pixelColor(x, y).lightness() < 128;
            EXPECT_GT(dark, 20);
        }
    }
}
