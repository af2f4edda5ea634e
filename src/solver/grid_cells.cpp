// Grid cells: fixed-point numbers grouped by thousands with the host's locale separators.
#include "solver/grid_cells.h"

#include "util/format.h"

#include <algorithm>
#include <cctype>
#include <cmath>

std::string gridCell(int n, double factor, double value, const NumberLocale& locale) {
    double x = value * factor;
    // A value that shows as zero at n decimals shows without a minus sign, as the report figures do.
    if (std::fabs(x) < 0.5 * std::pow(10.0, -std::max(n, 0)))
        x = 0.0;
    const std::string plain = strFormat("%.*f", n < 0 ? 0 : n, x);
    if (!std::isfinite(x))
        return plain;

    std::size_t start = (plain[0] == '-') ? 1 : 0;
    std::size_t point = plain.find('.');
    if (point == std::string::npos)
        point = plain.size();

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
