// SPICE number syntax: formatting with scale suffixes and reading it back.
#include "spice/spice_values.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
struct Scale {
    const char* suffix;
    int exponent;
};
// Longest suffix first where one is a prefix of another ("meg" before "m"). "mil" (a thousandth of
// an inch) is no scale: it reads as a unit.
constexpr Scale kScales[] = {{"meg", 6}, {"t", 12}, {"g", 9},   {"k", 3},  {"m", -3},
                             {"u", -6},  {"n", -9}, {"p", -12}, {"f", -15}};

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
} // namespace

std::string spiceNumber(double value) {
    if (value == 0 || !std::isfinite(value))
        return "0";
    struct Decade {
        double factor;
        const char* suffix;
    };
    constexpr Decade kDecades[] = {{1e12, "t"}, {1e9, "g"},  {1e6, "meg"}, {1e3, "k"},   {1, ""},
                                   {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"},  {1e-12, "p"}, {1e-15, "f"}};
    const double a = std::fabs(value);
    const Decade* pick = &kDecades[std::size(kDecades) - 1];
    for (const Decade& d : kDecades)
        if (a >= d.factor * (1 - 1e-12)) {
            pick = &d;
            break;
        }
    // Six significant digits, or as many more as it takes to read the same double back.
    char buf[64];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g%s", digits, value / pick->factor, pick->suffix);
        const auto back = parseSpiceNumber(buf);
        if (back && *back == value)
            return buf;
    }
    // Scaling by the suffix rounds this value: the plain exponent form reads back exactly.
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

std::optional<double> parseSpiceNumber(const std::string& text) {
    const std::string s = lower(text);
    if (s.empty() || s.size() > 64)
        return std::nullopt;
    const char first = s[0];
    if (!(std::isdigit(static_cast<unsigned char>(first)) || first == '.' || first == '-' || first == '+'))
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str() || !std::isfinite(v))
        return std::nullopt;
    // strtod also reads "inf", "nan" and hexadecimal numbers: none of them is a SPICE number.
    for (const char* p = s.c_str(); p < end; ++p)
        if (!(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.' || *p == 'e' || *p == '-' ||
              *p == '+'))
            return std::nullopt;
    const std::string mantissa(s.c_str(), static_cast<std::size_t>(end - s.c_str()));
    std::string rest(end);
    int exponent = 0;
    if (rest.compare(0, 3, "mil") != 0)
        for (const Scale& sc : kScales) {
            const std::string suffix = sc.suffix;
            if (rest.compare(0, suffix.size(), suffix) == 0) {
                exponent = sc.exponent;
                rest.erase(0, suffix.size());
                break;
            }
        }
    // What follows is a unit ("F", "Ohm", "V"): letters only.
    for (char c : rest)
        if (!std::isalpha(static_cast<unsigned char>(c)))
            return std::nullopt;
    if (exponent == 0)
        return v;
    // The suffix as a decimal exponent, so that "47n" reads the double nearest 4.7e-8.
    if (mantissa.find('e') == std::string::npos)
        return std::strtod((mantissa + "e" + std::to_string(exponent)).c_str(), nullptr);
    return v * std::pow(10.0, exponent);
}
