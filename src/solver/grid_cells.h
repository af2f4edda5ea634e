// Cells of the logged-results grid: a number with n decimals and the locale's separators.
#pragma once

#include "util/number_locale.h"

#include <string>

// value × factor with n decimals, the locale's decimal separator and its thousands separator
// between groups of three digits of the integer part: (2, 1000, 1.2345) -> "1,234.50".
std::string gridCell(int n, double factor, double value, const NumberLocale& locale);
