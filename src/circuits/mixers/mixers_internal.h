// Private to the mixer solvers (C11 balanced, C12 asymmetrical): their entry points and the
// report fragments they share.
#pragma once

#include "circuits/solver_common.h"

#include <string>

void solveC11(const SolveRequest& request, SolveResult& result);
void solveC12(const SolveRequest& request, SolveResult& result);

namespace mixers {

// "<br>  ρ~   gm~  => µ~" with the transconductance label given (the two sheets spell it apart).
std::string parameterLine(const std::string& gmLabel, double rho, double gm, double mu);

// prefix, the gain fragment and "  <css=db>x.xdB</css>"; a null gain has no level in dB.
std::string gainLine(const std::string& prefix, const std::string& label, double gain);

} // namespace mixers
