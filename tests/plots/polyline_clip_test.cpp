// Cutting curves to the plot area before they are stroked, and a pentode chart whose curves run far
// off the canvas (a screen voltage of 100 kV).
#include "builtin_tubes.h"
#include "plot_test_support.h"
#include "plots/anode_plots.h"
#include "plots/polyline_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {
using Part = std::vector<QPointF>;

std::vector<Part> parts(const QPolygonF& line) {
    std::vector<Part> out;
    for (const QPolygonF& p : clipPolyline(line, QRectF(0, 0, 100, 100)))
        out.emplace_back(p.begin(), p.end());
    return out;
}
} // namespace

TEST(PolylineClip, KeepsWhatIsInsideAndCutsAtTheEdges) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        QPolygonF line;
        std::vector<Part> expected;
    } cases[] = {
        {"inside", {{10, 10}, {20, 20}, {30, 10}}, {{{10, 10}, {20, 20}, {30, 10}}}},
        {"out and back in",
         {{10, 50}, {200, 50}, {50, 60}},
         {{{10, 50}, {100, 50}}, {{100, 50 + 10.0 * 2 / 3}, {50, 60}}}},
        {"a billion pixels up", {{50, 50}, {50, -1e9}}, {{{50, 50}, {50, 0}}}},
        {"across with both ends far out", {{-1e9, 50}, {1e9, 50}}, {{{0, 50}, {100, 50}}}},
        {"outside", {{-10, -10}, {-20, 50}, {-5, 200}}, {}},
        {"a point that is not a number", {{10, 10}, {nan, 0}, {20, 20}, {30, 30}}, {{{20, 20}, {30, 30}}}},
        {"a single point", {{10, 10}}, {}},
    };
    for (const auto& c : cases) {
        const std::vector<Part> got = parts(c.line);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(got[i].size(), c.expected[i].size()) << c.name << " part " << i;
            for (std::size_t k = 0; k < got[i].size(); ++k) {
                EXPECT_NEAR(got[i][k].x(), c.expected[i][k].x(), 1e-9)
                    << c.name << " part " << i << " point " << k;
                EXPECT_NEAR(got[i][k].y(), c.expected[i][k].y(), 1e-9)
                    << c.name << " part " << i << " point " << k;
            }
        }
    }
}

TEST(PolylineClip, PentodeChartAtAHugeScreenVoltageStaysInsideThePlot) {
    ensureGuiApp();
    TTube tube = builtinTube("EL34");
    const AnodeChart chart = computeAnodeCharacteristics(tube, 1e5);
    const QImage image = drawAnodeChart(chart, QSize(1000, 700), 1);
    const QColor maroon(0x80, 0x00, 0x00);
    int inside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixelNear(image, x, y, maroon, 30)) {
                EXPECT_TRUE(x >= 44 && x <= 956 && y >= 44 && y <= 656) << x << "," << y;
                ++inside;
            }
    EXPECT_GT(inside, 0) << "the curves rise along the current axis";
}
