// The value syntax of edit fields: a number in the user's locale with an optional SI suffix letter
// ("p" "n" "µ" "m" "k" "M") that also stands for the decimal separator ("4k7" = 4700).
#pragma once

#include "util/number_locale.h"

#include <string>

// Parses an engineering value. A text that is not a number returns 1 and sets *ok to false.
// A suffix letter after a number that already holds a decimal separator only multiplies ("2.2k" =
// 2200). "u" is read as micro, like "µ" (U+00B5).
double parseValue(const std::string& text, const NumberLocale& locale, bool* ok = nullptr);

// True when the text reads as a number under the value syntax.
bool isValueText(const std::string& text, const NumberLocale& locale);
