// Cascodes and SRPP stages: C6, C8, C21, C22, C24, C30, C31, C34. The helpers their solvers share.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"

#include "solver/formatters.h"
#include "solver/stage_analyses.h"
#include "util/format.h"

#include <cmath>

namespace cascodes {

std::string tubeParameters(const TTube& T, double rho, double gm, double mu) {
    return "<br>" + T.Reference() + " " + T.ModelName() + "<br>  " +
           parameterTriple(rho, gm, mu, "g<SUB>m</SUB>~");
}

std::string voltageLine(const std::string& label, double volts) {
    return "<br>" + fmtVoltage(label, 2, volts);
}

} // namespace cascodes
