// Numbers as the user's locale writes them: the separators the host hands to the core (the core never
// asks), thousands grouping of printed figures, and the strict reading of a typed number.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct NumberLocale {
    char decimalSeparator = '.';
    std::string thousandsSeparator = ","; // may be empty, or a multi-byte character
};

// A printf figure ("-1234567.25", "%.nf" style: optional minus, digits, optional '.' and decimals) with
// its integer digits grouped by thousands and the locale's decimal separator: "-1,234,567.25". Any other
// text (an "inf" or "nan") comes back unchanged.
std::string groupedFigure(const std::string& plain, const NumberLocale& locale);

// The '.' of a printf text replaced by the decimal separator.
std::string withDecimalSeparator(std::string text, char decimalSeparator);

// A typed number, strictly: [sign] digits [separator digits] [e [sign] digits], at least one mantissa
// digit, nothing else (no blank, no other separator, no thousands grouping), read without the C
// library's locale and finite. exponentAllowed false refuses the exponent part.
std::optional<double> readTypedNumber(std::string_view text, char decimalSeparator,
                                      bool exponentAllowed = true);
