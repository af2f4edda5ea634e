// Value formatters of the reports: a label, a number of decimals and a value become one
// marked-up fragment with its text class ("gm", "µ", "vn"/"vp", "i", "mw", "w", "r").
#pragma once

#include <string>

// "%s<css=gm>%.nfmA/V</css>": gm given in A/V, printed in mA/V.
std::string fmtTransconductance(const std::string& label, int n, double gm);
// "%s<css=µ>%.nf</css>": amplification factor or gain, as is.
std::string fmtAmplification(const std::string& label, int n, double mu);
// "%s <css=vn|vp>%.nf V</css>": class "vn" below 0, else "vp".
std::string fmtVoltage(const std::string& label, int n, double volts);
// "%s <css=i>%.nf mA</css>": the value is already in mA.
std::string fmtCurrent(const std::string& label, int n, double mA);
// "%s <css=mw>%.nf mW</css>": the value is already in mW.
std::string fmtPowerMW(const std::string& label, int n, double mW);
// "%s <css=w>%.nf W</css>".
std::string fmtPowerW(const std::string& label, int n, double watts);
// "%s<css=r>...</css>" with the value scaled by scaleResistance.
std::string fmtResistance(const std::string& label, int n, double ohms);

// Resistance scaling: a whole number of megohms prints as "MΩ", else a whole number of kilohms
// as "kΩ", else ohms as "Ω"; n decimals. 100000 -> "100kΩ", 4700 -> "4700Ω", 1e6 -> "1MΩ".
std::string scaleResistance(int n, double ohms);
