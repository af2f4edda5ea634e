// Cell texts of the per-stage table and the summary line of the Bode plot.
#include "frequency/bode_text.h"

#include "util/decibels.h"
#include "util/format.h"

#include <cmath>

std::string bodeFixed(double value, int decimals, const NumberLocale& locale) {
    std::string s = strFormat("%.*f", decimals, value);
    if (locale.decimalSeparator != '.')
        for (char& c : s)
            if (c == '.')
                c = locale.decimalSeparator;
    return s;
}

std::string bodeThousands(double value, int decimals, const NumberLocale& locale) {
    const std::string s = strFormat("%.*f", decimals, value);
    std::size_t begin = (!s.empty() && s[0] == '-') ? 1 : 0;
    std::size_t end = begin;
    while (end < s.size() && s[end] >= '0' && s[end] <= '9')
        ++end;
    if (end == begin) // inf, nan
        return s;
    std::string out = s.substr(0, begin);
    for (std::size_t i = begin; i < end; ++i) {
        out += s[i];
        const std::size_t left = end - i - 1;
        if (left > 0 && left % 3 == 0)
            out += locale.thousandsSeparator;
    }
    if (end < s.size()) { // the decimal point and the decimals
        out += locale.decimalSeparator;
        out += s.substr(end + 1);
    }
    return out;
}

const std::vector<std::string>& tableColumns() {
    static const std::vector<std::string> columns{"Stage", "Type", "Frequ.", "Gain x", "Gain dB", "Zin"};
    return columns;
}

std::vector<std::string> tableCells(const TDataQP& row, const NumberLocale& locale) {
    if (row.separator)
        return std::vector<std::string>(6);
    std::vector<std::string> cells{row.titre, row.nature};

    const double f = row.freq;
    if (f < 1000)
        cells.push_back(bodeFixed(f, 0, locale) + "Hz");
    else if (f < 1e6)
        cells.push_back(bodeFixed(f / 1000, 0, locale) + "kHz");
    else
        cells.push_back(bodeFixed(f, 0, locale) + "Hz");

    cells.push_back(bodeFixed(row.av, 2, locale));
    const std::optional<double> dB = row.av > 0 ? decibels(row.av) : std::nullopt;
    cells.push_back(dB ? bodeFixed(*dB, 1, locale) + "dB" : "");

    const double z = row.zin;
    if (z == 0)
        cells.push_back("");
    else if (z < 1e3)
        cells.push_back(bodeFixed(z, 0, locale) + " Ω");
    else if (z < 1e6)
        cells.push_back(bodeFixed(z / 1e3, 1, locale) + " kΩ");
    else
        cells.push_back(bodeFixed(z / 1e6, 1, locale) + " MΩ");
    return cells;
}

std::string bodeSummary(double G, double fpk, double fL, double fH, const NumberLocale& locale) {
    // A chain that passes nothing (a peak gain of 0) has no decibel figure.
    const std::optional<double> dB = G > 0 ? decibels(G) : std::nullopt;
    const std::string head = "Max gain x" + bodeFixed(G, G > 10 ? 0 : 1, locale) + " " +
                             (dB ? bodeFixed(*dB, 1, locale) + "dB " : std::string()) + "@ ";
    const bool low = fL > 0, high = fH > 0;
    if (low && high)
        return head + "~" + bodeFixed(fpk, 0, locale) + "Hz BW -3dB " + bodeFixed(fL, 0, locale) + "Hz-" +
               bodeFixed(fH / 1000, 0, locale) + "kHz";
    const std::string peak = bodeThousands(fpk, 0, locale) + "Hz BW ";
    if (low)
        return head + peak + "-3dB LO " + bodeFixed(fL, 0, locale) + "Hz";
    if (high)
        return head + peak + "-3dB HI " + bodeThousands(fH, 0, locale) + "Hz";
    return head + peak + "not calculable";
}
