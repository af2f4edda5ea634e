// Resistor records and the aligned table of their current, voltage and dissipation.
#pragma once

#include <string>
#include <vector>

struct TResistor {
    std::string nom;
    double r = 0; // Ω
    double i = 0; // A, the current through it
    std::string temp;
    std::string display; // the formatted line, filled by dissipationTable
};

TResistor resistorRecord(const std::string& nom, double i, double r);

// One line per resistor: the padded name, then resistance, current (mA), voltage and power (mW)
// columns right-aligned with at least two spaces; lines joined by "<br>". Fills each display.
std::string dissipationTable(std::vector<TResistor>& resistors);
