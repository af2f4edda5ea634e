// Where a window reopens: its saved geometry, or defaults on the primary screen, and the check that
// it still lies on a connected monitor. Plain rectangles in screen pixels, no window toolkit.
#pragma once

#include <optional>
#include <vector>

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

// The geometry keys found in the settings file; an absent key is empty.
struct SavedPlacement {
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> width;
    std::optional<int> height;
};

struct ScreenLayout {
    ScreenRect primary;               // the primary screen: defaults and centring
    std::vector<ScreenRect> monitors; // every connected monitor, the primary included
};

// A window counts as visible when its overlap with some monitor exceeds this in both directions.
constexpr int kVisibleOverlap = 100;

// Intersection of two rectangles; empty (zero width or height) when they do not meet.
ScreenRect intersectRects(const ScreenRect& a, const ScreenRect& b);

// True when some monitor shows more than kVisibleOverlap pixels of the window in width and height.
bool placementVisible(const ScreenRect& window, const std::vector<ScreenRect>& monitors);

// The geometry a window takes when shown. Width and height come from the saved keys, else half the
// primary screen (a fixed-size window keeps currentWidth x currentHeight); left and top from the
// saved keys, else centred on the primary screen. When no monitor shows the result, the window is
// centred on the primary screen with that size.
ScreenRect resolvePlacement(const SavedPlacement& saved, int currentWidth, int currentHeight,
                            const ScreenLayout& screens, bool fixedSize = false);
