// The resistor dissipation table of the DC reports.
#include "solver/dissipation.h"

#include "markup/formatters.h"
#include "util/format.h"

#include <algorithm>
#include <functional>

namespace {

// Width in characters of a UTF-8 text ("Ω" counts one).
std::size_t width(const std::string& s) {
    return static_cast<std::size_t>(std::count_if(
        s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Appends one right-aligned column, each entry padded to the longest entry + 2, in a text class.
void addColumn(std::vector<TResistor>& rs, const char* cssClass,
               const std::function<std::string(const TResistor&)>& cell) {
    std::size_t longest = 0;
    for (TResistor& r : rs) {
        r.temp = cell(r);
        longest = std::max(longest, width(r.temp));
    }
    for (TResistor& r : rs)
        r.display += std::string("<css=") + cssClass + ">" + std::string(longest + 2 - width(r.temp), ' ') +
                     r.temp + "</css>";
}

} // namespace

TResistor resistorRecord(const std::string& nom, double i, double r) {
    TResistor rec;
    rec.nom = nom;
    rec.i = i;
    rec.r = r;
    return rec;
}

std::string dissipationTable(std::vector<TResistor>& rs) {
    std::size_t longestName = 0;
    for (const TResistor& r : rs)
        longestName = std::max(longestName, width(r.nom));
    for (TResistor& r : rs)
        r.display = r.nom + std::string(longestName - width(r.nom), ' ');

    addColumn(rs, "r", [](const TResistor& r) { return scaleResistance(0, r.r); });
    addColumn(rs, "i", [](const TResistor& r) { return strFormat("%.3fmA", r.i * 1000); });
    addColumn(rs, "vp", [](const TResistor& r) { return strFormat("%.2fV", r.i * r.r); });
    addColumn(rs, "mw", [](const TResistor& r) { return strFormat("%.0fmW", r.i * r.i * r.r * 1000); });

    std::string text;
    for (std::size_t k = 0; k < rs.size(); ++k) {
        if (k > 0)
            text += "<br>";
        text += rs[k].display;
    }
    return text;
}
