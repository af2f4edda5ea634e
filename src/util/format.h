// printf-style formatting into std::string, used for every report and message text. Every
// floating-point figure that is NaN or infinite is counted (per thread), so that a solve can tell
// that one of its texts carries "nan" or "inf" and refuse to show it (see finiteFigures()).
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <type_traits>

namespace format_detail {
inline thread_local long nonFiniteFigures = 0;

template <typename T> void noteFigure(const T& value) {
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value))
            ++nonFiniteFigures;
}
} // namespace format_detail

// The number of NaN or infinite figures strFormat has written on this thread so far.
inline long nonFiniteFiguresFormatted() {
    return format_detail::nonFiniteFigures;
}

template <typename... Args> std::string strFormat(const char* fmt, Args... args) {
    (format_detail::noteFigure(args), ...);
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}
