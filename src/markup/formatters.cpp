// Value formatters of the reports. Each prints (label, value) with its decimal count given as the
// precision of a "%.*f" (a negative count prints no decimals).
#include "markup/formatters.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>

namespace {

int decimals(int n) {
    return std::max(n, 0);
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
    return strFormat("%s<css=gm>%.*fmA/V</css>", label.c_str(), decimals(n), shown(gm * 1000, n));
}

std::string fmtAmplification(const std::string& label, int n, double mu) {
    return strFormat("%s<css=µ>%.*f</css>", label.c_str(), decimals(n), shown(mu, n));
}

std::string fmtVoltage(const std::string& label, int n, double volts) {
    return strFormat("%s <css=%s>%.*f V</css>", label.c_str(), volts < 0 ? "vn" : "vp", decimals(n),
                     shown(volts, n));
}

std::string fmtCurrent(const std::string& label, int n, double mA) {
    return strFormat("%s <css=i>%.*f mA</css>", label.c_str(), decimals(n), shown(mA, n));
}

std::string fmtPowerMW(const std::string& label, int n, double mW) {
    return strFormat("%s <css=mw>%.*f mW</css>", label.c_str(), decimals(n), shown(mW, n));
}

std::string fmtPowerW(const std::string& label, int n, double watts) {
    return strFormat("%s <css=w>%.*f W</css>", label.c_str(), decimals(n), shown(watts, n));
}

std::string scaleResistance(int n, double ohms) {
    if (isWhole(ohms) && isWhole(ohms / 1e6))
        return strFormat("%.*fMΩ", decimals(n), ohms / 1e6);
    if (isWhole(ohms) && isWhole(ohms / 1000))
        return strFormat("%.*fkΩ", decimals(n), ohms / 1000);
    return strFormat("%.*fΩ", decimals(n), ohms);
}

std::string fmtResistance(const std::string& label, int n, double ohms) {
    return label + "<css=r>" + scaleResistance(n, ohms) + "</css>";
}
