// Cascodes and SRPP stages: C6, C8, C21, C22, C24, C30, C31, C34. The family's registry and the
// helpers its solvers share.
#include "circuits/cascodes_srpp_common.h"

#include "solver/formatters.h"
#include "solver/stage_analyses.h"
#include "util/format.h"

#include <cmath>

CircuitSolver cascodeSrppSolvers(int n) {
    switch (n) {
    case 6:
        return solveC6;
    case 8:
        return solveC8;
    case 21:
        return solveC21;
    case 22:
        return solveC22;
    case 24:
        return solveC24;
    case 30:
        return solveC30;
    case 31:
        return solveC31;
    case 34:
        return solveC34;
    default:
        return nullptr;
    }
}

namespace cascodes {

const char* const kFooter = "<color=909090>Valvenix</color>";

double ratioOrZero(double x, double y) {
    return y != 0 ? x / y : 0;
}

void addVerdictOnce(std::string& report, const std::string& message) {
    const std::string line = "<br><css=error>" + message + "</css>";
    if (report.find(line) == std::string::npos)
        report += line;
}

std::string supplyLine(double Vb, double I) {
    return strFormat("<br>Total power supply %s  %s  %s", fmtVoltage("", 0, Vb).c_str(),
                     fmtCurrent("", 1, 1000 * I).c_str(), fmtPowerMW("", 0, 1000 * Vb * I).c_str());
}

std::string tubeParameters(const TTube& T, double rho, double gm, double mu) {
    return strFormat("<br>%s %s<br>  %s   %s  => %s", T.Reference().c_str(), T.ModelName().c_str(),
                     fmtResistance("ρ~", 0, rho).c_str(),
                     fmtTransconductance("g<SUB>m</SUB>~", 1, gm).c_str(),
                     fmtAmplification("µ~", 0, mu).c_str());
}

LoadLineData loadLineOf(const TTube& T, double Vb, double R, int image) {
    double Imax = R > 0 ? Vb / R : T.Iamax();
    if (!(Imax > 0) || !std::isfinite(Imax))
        Imax = 1e-3;
    return {T, Imax, Vb, true, image};
}

std::string voltageLine(const std::string& label, double volts) {
    return "<br>" + fmtVoltage(label, 2, volts);
}

} // namespace cascodes
