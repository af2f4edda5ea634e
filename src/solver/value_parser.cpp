// Value parser: suffix letters, locale decimal separator, strict conversion without the C locale.
#include "solver/value_parser.h"

#include <array>
#include <cmath>
#include <optional>

namespace {

struct Suffix {
    const char* letter; // UTF-8
    double factor;
};

// In this order; a later letter overrides the multiplier of an earlier one.
constexpr std::array<Suffix, 7> kSuffixes = {{
    {"p", 1e-12},
    {"n", 1e-9},
    {"\u00b5", 1e-6},
    {"u", 1e-6},
    {"m", 1e-3},
    {"k", 1e3},
    {"M", 1e6},
}};

bool isTrimmed(unsigned char c) {
    return c <= ' ' || c == 0x7f;
}

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isTrimmed(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && isTrimmed(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

} // namespace

double parseValue(const std::string& text, const NumberLocale& locale, bool* ok) {
    const char sep = locale.decimalSeparator;
    std::string s = trim(text);
    // A separator typed by the user: a suffix letter at the end then only multiplies.
    const bool typedSeparator = s.find(sep) != std::string::npos;
    double multiplier = 1;
    for (const Suffix& suffix : kSuffixes) {
        const std::string letter = suffix.letter;
        const std::size_t pos = s.find(letter);
        if (pos == std::string::npos)
            continue;
        multiplier = suffix.factor;
        if (typedSeparator && pos + letter.size() == s.size())
            s.erase(pos, letter.size());
        else
            s.replace(pos, letter.size(), 1, sep);
    }
    std::optional<double> number = readTypedNumber(trim(s), sep);
    // "1.5e308M" is a finite number until its suffix multiplies it.
    if (number && !std::isfinite(multiplier * *number))
        number.reset();
    if (ok)
        *ok = number.has_value();
    return number ? multiplier * *number : 1.0;
}

bool isValueText(const std::string& text, const NumberLocale& locale) {
    bool ok = false;
    parseValue(text, locale, &ok);
    return ok;
}
