// Value formatters of the reports. Each format is head + decimal count + tail, applied to
// (label, value), so the decimal count is part of the printf format as in every report.
#include "markup/formatters.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

std::string makeFormat(const char* head, int n, const char* tail) {
    return std::string(head) + std::to_string(n < 0 ? 0 : n) + tail;
}

// A value that prints as zero at n decimals prints as "0", never "-0" (a cut-off tube's -0.0 mW).
double shown(double x, int n) {
    return std::fabs(x) < 0.5 * std::pow(10.0, -std::max(n, 0)) ? 0.0 : x;
}

bool isWhole(double x) {
    return std::isfinite(x) && x == std::floor(x);
}

} // namespace

std::string fmtTransconductance(const std::string& label, int n, double gm) {
    return strFormat(makeFormat("%s<css=gm>%.", n, "fmA/V</css>").c_str(), label.c_str(),
                     shown(gm * 1000, n));
}

std::string fmtAmplification(const std::string& label, int n, double mu) {
    return strFormat(makeFormat("%s<css=µ>%.", n, "f</css>").c_str(), label.c_str(), shown(mu, n));
}

std::string fmtVoltage(const std::string& label, int n, double volts) {
    return strFormat(makeFormat("%s <css=%s>%.", n, "f V</css>").c_str(), label.c_str(),
                     volts < 0 ? "vn" : "vp", shown(volts, n));
}

std::string fmtCurrent(const std::string& label, int n, double mA) {
    return strFormat(makeFormat("%s <css=i>%.", n, "f mA</css>").c_str(), label.c_str(), shown(mA, n));
}

std::string fmtPowerMW(const std::string& label, int n, double mW) {
    return strFormat(makeFormat("%s <css=mw>%.", n, "f mW</css>").c_str(), label.c_str(), shown(mW, n));
}

std::string fmtPowerW(const std::string& label, int n, double watts) {
    return strFormat(makeFormat("%s <css=w>%.", n, "f W</css>").c_str(), label.c_str(), shown(watts, n));
}

std::string scaleResistance(int n, double ohms) {
    if (isWhole(ohms) && isWhole(ohms / 1e6))
        return strFormat(makeFormat("%.", n, "fMΩ").c_str(), ohms / 1e6);
    if (isWhole(ohms) && isWhole(ohms / 1000))
        return strFormat(makeFormat("%.", n, "fkΩ").c_str(), ohms / 1000);
    return strFormat(makeFormat("%.", n, "fΩ").c_str(), ohms);
}

std::string fmtResistance(const std::string& label, int n, double ohms) {
    return label + "<css=r>" + scaleResistance(n, ohms) + "</css>";
}
