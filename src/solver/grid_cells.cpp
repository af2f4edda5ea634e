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

    return groupedFigure(plain, locale);
}
