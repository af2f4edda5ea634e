// Cascodes and SRPP stages: C6, C8, C21, C22, C24, C30, C31, C34. The helpers their solvers share.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "solver/formatters.h"
#include "solver/stage_analyses.h"
#include "util/format.h"

#include <cmath>

namespace cascodes {

const char* const kFooter = "<color=909090>Valvenix</color>";

std::string tubeParameters(const TTube& T, double rho, double gm, double mu) {
    return strFormat("<br>%s %s<br>  %s   %s  => %s", T.Reference().c_str(), T.ModelName().c_str(),
                     fmtResistance("ρ~", 0, rho).c_str(),
                     fmtTransconductance("g<SUB>m</SUB>~", 1, gm).c_str(),
                     fmtAmplification("µ~", 0, mu).c_str());
}

std::string voltageLine(const std::string& label, double volts) {
    return "<br>" + fmtVoltage(label, 2, volts);
}

} // namespace cascodes
