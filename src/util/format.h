// printf-style formatting into std::string, used for every report and message text.
#pragma once

#include <cstdio>
#include <string>

template <typename... Args> std::string strFormat(const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), fmt, args...);
    out.resize(static_cast<std::size_t>(n));
    return out;
}
