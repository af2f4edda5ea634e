// printf-style formatting into std::string, used for every report and message text. Every
// floating-point figure that is NaN or infinite is counted (per thread), so that a solve can tell
// that one of its texts carries "nan" or "inf" and refuse to show it (see finiteFigures()).
// strFormat is checked by the compiler: its format must be a literal (or a choice of literals) whose
// conversions match the arguments, and the build treats a mismatch as an error.
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

// Never defined and never called: strFormat names it in an unevaluated operand so that the
// compiler checks the format against the arguments as it checks printf's.
[[gnu::format(printf, 1, 2)]] int checkedFormat(const char* fmt, ...);

// The formatting itself; reached through strFormat only, once the call has been checked.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <typename... Args> std::string format(const char* fmt, Args... args) {
    (noteFigure(args), ...);
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}
#pragma GCC diagnostic pop
} // namespace format_detail

// The number of NaN or infinite figures strFormat has written on this thread so far.
inline long nonFiniteFiguresFormatted() {
    return format_detail::nonFiniteFigures;
}

// strFormat(fmt, args...) -> std::string, as snprintf would write it.
#define strFormat(...)                                                                                       \
    (static_cast<void>(sizeof(::format_detail::checkedFormat(__VA_ARGS__))),                                 \
     ::format_detail::format(__VA_ARGS__))
