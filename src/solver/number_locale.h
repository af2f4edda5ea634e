// The separators of the user's locale, handed to the core by the host (the core never asks).
#pragma once

#include <string>

struct NumberLocale {
    char decimalSeparator = '.';
    std::string thousandsSeparator = ","; // may be empty, or a multi-byte character
};
