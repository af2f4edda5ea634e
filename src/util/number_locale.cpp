// Locale numbers: grouping printed figures and reading typed ones, independent of the C locale.
#include "util/number_locale.h"

#include <charconv>
#include <cmath>

namespace {
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

std::string groupedFigure(const std::string& plain, const NumberLocale& locale) {
    const std::size_t start = (!plain.empty() && plain[0] == '-') ? 1 : 0;
    std::size_t point = plain.find('.');
    if (point == std::string::npos)
        point = plain.size();
    for (std::size_t k = start; k < point; ++k)
        if (!isDigit(plain[k]))
            return plain;

    std::string out = plain.substr(0, start);
    const std::size_t digits = point - start;
    for (std::size_t k = 0; k < digits; ++k) {
        if (k > 0 && (digits - k) % 3 == 0)
            out += locale.thousandsSeparator;
        out += plain[start + k];
    }
    if (point < plain.size()) {
        out += locale.decimalSeparator;
        out += plain.substr(point + 1);
    }
    return out;
}

std::string withDecimalSeparator(std::string text, char decimalSeparator) {
    for (char& c : text)
        if (c == '.')
            c = decimalSeparator;
    return text;
}

std::optional<double> readTypedNumber(std::string_view s, char sep, bool exponentAllowed) {
    std::size_t i = 0;
    std::string plain;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        if (s[i] == '-')
            plain += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        plain += s[i++];
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == sep) {
        plain += '.';
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (exponentAllowed && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            plain += s[i++];
        int expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            plain += s[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    double value = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
