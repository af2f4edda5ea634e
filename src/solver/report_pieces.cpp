// Report pieces shared by every circuit.
#include "solver/report_pieces.h"

#include "markup/formatters.h"
#include "util/decibels.h"
#include "util/format.h"

#include <cmath>

const char* const kReportFooter = "<color=909090>Valvenix</color>";

std::string reportHeader(const std::string& title) {
    return "<b>" + title + "</b><br>" + kReportFooter;
}

std::string supplyLine(double Vb, double I, const std::string& lead) {
    return lead + strFormat("Total power supply %s  %s  %s", fmtVoltage("", 0, Vb).c_str(),
                            fmtCurrent("", 1, 1000 * I).c_str(), fmtPowerMW("", 0, 1000 * Vb * I).c_str());
}

std::string dbFigure(int decimals, double gain) {
    const std::optional<double> dB = decibels(gain);
    if (!dB)
        return {};
    return strFormat("%.*f", decimals < 0 ? 0 : decimals, *dB);
}

std::string dbTail(const std::string& separator, int decimals, double gain) {
    const std::string figure = dbFigure(decimals, gain);
    if (figure.empty())
        return {};
    return separator + "<css=db>" + figure + "dB</css>";
}

std::string parameterTriple(double rho, double gm, double mu, const std::string& gmLabel) {
    return strFormat("%s   %s  => %s", fmtResistance("ρ~", 0, rho).c_str(),
                     fmtTransconductance(gmLabel, 1, gm).c_str(), fmtAmplification("µ~", 0, mu).c_str());
}

std::string tubeParameterLine(const TTube& T, bool commonCathode, const std::string& gmLabel) {
    if (!commonCathode)
        return "<br>  " + parameterTriple(T.ρ(), T.gm(), T.µ(), gmLabel);
    return strFormat("<br>  %s  %s  %s", fmtResistance("ρ~", 0, T.ρ()).c_str(),
                     fmtTransconductance(gmLabel, 1, T.gm()).c_str(),
                     fmtAmplification("µ~", 0, T.µ()).c_str());
}
