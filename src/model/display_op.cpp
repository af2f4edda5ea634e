// TTube::displayOP: the quiescent-state block of a tube in the DC report, with its share of the
// limits and the safe-operating-area verdict.
#include "model/tube.h"

#include "markup/formatters.h"
#include "util/format.h"

#include <cmath>

namespace {

// "44%" of a limit; "n/a" when the model carries no limit (0) so nothing is divided by zero.
std::string percentOf(double value, double limit) {
    if (limit == 0 || !std::isfinite(value / limit))
        return "n/a";
    return strFormat("%.0f%%", 100 * value / limit);
}

} // namespace

std::string TTube::displayOP(int npar) const {
    if (npar < 1)
        npar = 1;
    const double ia = FIa / npar;
    const double ie = FIe / npar;
    const double pa = FVak * ia;
    const double ps = FVek * ie;

    std::string s = strFormat("<br>*** Quiescent state <b>%s %s</b>", FReference.c_str(), FName.c_str());
    if (npar > 1)
        s += strFormat("<br><br>There are <css=npar>%d tubes in parallel per branch</css>, data below is for "
                       "single tube.",
                       npar);

    s += strFormat("<br><br>  %s     %s of Vamax (%.0fV)<br>  %s<br>   %s     %s of Imax (%.0fmA)",
                   fmtVoltage("Vak", 2, FVak).c_str(), percentOf(FVak, FC.Vamax).c_str(), FC.Vamax,
                   fmtVoltage("Vgk", 3, FVgk).c_str(), fmtCurrent("Ia ", 2, 1000 * ia).c_str(),
                   percentOf(ia, FC.Iamax).c_str(), 1000 * FC.Iamax);

    if (FC.t35 == 5)
        s += strFormat("<br>  %s  %s of Vsmax (%.0fV)<br>   %s<br>  %s  %s of Pmax (%0.1fW)",
                       fmtVoltage("Vsk", 2, FVek).c_str(), percentOf(FVek, FC.Vemax).c_str(), FC.Vemax,
                       fmtCurrent("Is", 2, 1000 * ie).c_str(), fmtPowerMW("Pscreen ", 0, 1000 * ps).c_str(),
                       percentOf(ps, FC.Pemax).c_str(), FC.Pemax);

    s += strFormat("<br>   %s     %s of Pmax (%0.1fW)", fmtPowerMW("Pa ", 0, 1000 * pa).c_str(),
                   percentOf(pa, FC.Pamax).c_str(), FC.Pamax);

    bool inside = FC.Pamax >= pa && FC.Iamax >= ia && FC.Vamax >= FVak;
    if (FC.t35 == 5)
        inside = inside && FC.Pemax >= ps && FC.Vemax > FVek;
    if (!inside)
        s += "<br><css=error>*** SOA issue ***</css>";
    return s + "<br>";
}
