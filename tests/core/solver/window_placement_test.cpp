// The window placement rule: visibility over monitors and the geometry a window reopens with.
#include "solver/window_placement.h"

#include <gtest/gtest.h>

namespace {

const ScreenRect kPrimary{0, 0, 1920, 1080};
const ScreenRect kRightMonitor{1920, 0, 1280, 1024};

struct VisibilityCase {
    const char* name;
    ScreenRect window;
    std::vector<ScreenRect> monitors;
    bool visible;
};

TEST(WindowPlacement, VisibilityNeedsMoreThan100PixelsBothWays) {
    const VisibilityCase cases[] = {
        {"fully inside", {100, 100, 800, 600}, {kPrimary}, true},
        {"80 px overlap horizontally", {1840, 100, 800, 600}, {kPrimary}, false},
        {"exactly 100 px wide overlap", {1820, 100, 800, 600}, {kPrimary}, false},
        {"101 px wide overlap", {1819, 100, 800, 600}, {kPrimary}, true},
        {"exactly 100 px high overlap", {100, 980, 800, 600}, {kPrimary}, false},
        {"101 px high overlap", {100, 979, 800, 600}, {kPrimary}, true},
        {"left of the screen", {-900, 100, 800, 600}, {kPrimary}, false},
        {"hanging off the top-left", {-600, -400, 800, 600}, {kPrimary}, true},
        {"on the second monitor", {2000, 100, 800, 600}, {kPrimary, kRightMonitor}, true},
        {"second monitor unplugged", {2000, 100, 800, 600}, {kPrimary}, false},
        {"split 80/720 across monitors", {1840, 100, 800, 600}, {kPrimary, kRightMonitor}, true},
        {"no monitors at all", {0, 0, 800, 600}, {}, false},
        {"zero-size window", {100, 100, 0, 0}, {kPrimary}, false},
        {"absurd coordinates", {2147483000, 2147483000, 2000, 2000}, {kPrimary}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placementVisible(c.window, c.monitors), c.visible) << c.name;
}

TEST(WindowPlacement, IntersectionOfDisjointRectanglesIsEmpty) {
    const ScreenRect common = intersectRects({0, 0, 10, 10}, {20, 20, 10, 10});
    EXPECT_EQ(common.width, 0);
    EXPECT_EQ(common.height, 0);
    EXPECT_EQ(intersectRects({0, 0, 100, 50}, {60, 10, 100, 100}), (ScreenRect{60, 10, 40, 40}));
}

struct PlacementCase {
    const char* name;
    SavedPlacement saved;
    int currentWidth, currentHeight;
    std::vector<ScreenRect> monitors;
    bool fixedSize;
    ScreenRect expected;
};

TEST(WindowPlacement, ResolvesSavedOrDefaultGeometry) {
    const PlacementCase cases[] = {
        {"first start: half the screen, centred", {}, 640, 480, {kPrimary}, false, {480, 270, 960, 540}},
        {"saved geometry on screen stands",
         {100, 50, 700, 500},
         640,
         480,
         {kPrimary},
         false,
         {100, 50, 700, 500}},
        {"saved on an unplugged monitor: centred with its saved size",
         {2100, 100, 800, 600},
         640,
         480,
         {kPrimary},
         false,
         {560, 240, 800, 600}},
        {"saved on the second monitor that is still there",
         {2100, 100, 800, 600},
         640,
         480,
         {kPrimary, kRightMonitor},
         false,
         {2100, 100, 800, 600}},
        {"80 px on screen is off screen",
         {1840, 100, 800, 600},
         640,
         480,
         {kPrimary},
         false,
         {560, 240, 800, 600}},
        {"only the size saved: centred at that size",
         {{}, {}, 1001, 601},
         640,
         480,
         {kPrimary},
         false,
         {459, 239, 1001, 601}},
        {"fixed-size window keeps its own size",
         {100, 50, 300, 200},
         900,
         700,
         {kPrimary},
         true,
         {100, 50, 900, 700}},
        {"damaged size keys fall back to half the screen",
         {100, 50, 0, -5},
         640,
         480,
         {kPrimary},
         false,
         {100, 50, 960, 540}},
        {"window larger than the screen centres at a negative start",
         {5000, 5000, 2400, 1200},
         640,
         480,
         {kPrimary},
         false,
         {-240, -60, 2400, 1200}},
    };
    for (const auto& c : cases) {
        const ScreenLayout screens{kPrimary, c.monitors};
        EXPECT_EQ(resolvePlacement(c.saved, c.currentWidth, c.currentHeight, screens, c.fixedSize),
                  c.expected)
            << c.name;
    }
}

TEST(WindowPlacement, CentresOnAPrimaryScreenThatIsNotAtTheOrigin) {
    const ScreenRect primary{1280, 0, 1920, 1080};
    const ScreenLayout screens{primary, {{0, 0, 1280, 1024}, primary}};
    EXPECT_EQ(resolvePlacement({}, 100, 100, screens), (ScreenRect{1280 + 480, 270, 960, 540}));
}

} // namespace
