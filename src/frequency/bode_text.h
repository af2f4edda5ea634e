// Texts of a bandwidth run: the per-stage table's columns and cells and the summary line, with
// the user's decimal and thousands separators.
#pragma once

#include "frequency/bode_data.h"
#include "util/number_locale.h"

#include <string>
#include <vector>

// "%.<decimals>f" with the locale's decimal separator.
std::string bodeFixed(double value, int decimals, const NumberLocale& locale);
// "%.<decimals>n": as bodeFixed, with thousands separators in the integer part.
std::string bodeThousands(double value, int decimals, const NumberLocale& locale);

// Column captions of the per-stage table: "Stage", "Type", "Frequ.", "Gain x", "Gain dB", "Zin".
const std::vector<std::string>& tableColumns();

// The six cell texts of a table row, in column order; a separator row gives six empty texts.
std::vector<std::string> tableCells(const TDataQP& row, const NumberLocale& locale = {});

// "Max gain x.. ..dB @ ..Hz BW ..." for the largest overall gain G, the peak frequency and the
// corners (a corner counts as found when it is > 0).
std::string bodeSummary(double G, double fpk, double fL, double fH, const NumberLocale& locale = {});
