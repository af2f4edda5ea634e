// Window placement rule: restore the saved rectangle unless it would fall off every monitor.
#include "solver/window_placement.h"

#include <algorithm>

ScreenRect intersectRects(const ScreenRect& a, const ScreenRect& b) {
    // 64-bit sums so that absurd saved coordinates cannot overflow.
    const long long left = std::max<long long>(a.left, b.left);
    const long long top = std::max<long long>(a.top, b.top);
    const long long right = std::min<long long>(static_cast<long long>(a.left) + a.width,
                                                static_cast<long long>(b.left) + b.width);
    const long long bottom = std::min<long long>(static_cast<long long>(a.top) + a.height,
                                                 static_cast<long long>(b.top) + b.height);
    if (right <= left || bottom <= top)
        return ScreenRect{static_cast<int>(left), static_cast<int>(top), 0, 0};
    return ScreenRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                      static_cast<int>(bottom - top)};
}

bool placementVisible(const ScreenRect& window, const std::vector<ScreenRect>& monitors) {
    for (const ScreenRect& monitor : monitors) {
        const ScreenRect common = intersectRects(window, monitor);
        if (common.width > kVisibleOverlap && common.height > kVisibleOverlap)
            return true;
    }
    return false;
}

namespace {
// Start that centres a span of `size` on a screen span starting at `origin` of length `extent`
// (truncating division, as the integer geometry of the window system).
int centred(int origin, int extent, int size) {
    return origin + (extent - size) / 2;
}

// A stored size of zero or less (a damaged file) is treated as absent.
std::optional<int> positive(const std::optional<int>& value) {
    return value && *value > 0 ? value : std::nullopt;
}
} // namespace

ScreenRect resolvePlacement(const SavedPlacement& saved, int currentWidth, int currentHeight,
                            const ScreenLayout& screens, bool fixedSize) {
    const ScreenRect& primary = screens.primary;
    ScreenRect result;
    if (fixedSize) {
        result.width = currentWidth;
        result.height = currentHeight;
    } else {
        result.width = positive(saved.width).value_or(primary.width / 2);
        result.height = positive(saved.height).value_or(primary.height / 2);
    }
    // Defaults centre the window at its resolved size, so a first start is really centred.
    result.left = saved.left.value_or(centred(primary.left, primary.width, result.width));
    result.top = saved.top.value_or(centred(primary.top, primary.height, result.height));
    if (!placementVisible(result, screens.monitors)) {
        result.left = centred(primary.left, primary.width, result.width);
        result.top = centred(primary.top, primary.height, result.height);
    }
    return result;
}
