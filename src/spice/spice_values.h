// Numbers as SPICE reads and writes them: scale suffixes (f p n u m k meg g t), where "m" is milli
// and "meg" is mega, so a megohm is written "1meg" and never "1M".
#pragma once

#include <optional>
#include <string>

// A value with the suffix of its decade and up to six significant digits: 100000 -> "100k",
// 1e6 -> "1meg", 4.7e-8 -> "47n", 0 -> "0".
std::string spiceNumber(double value);

// A SPICE number: digits with an optional exponent, then an optional scale suffix (case ignored) and
// any unit letters after it ("2.3pF", "1Meg", "10u", "4.7k"). None when the text is not one.
std::optional<double> parseSpiceNumber(const std::string& text);
