// Private to the cascode and SRPP solvers (C6, C8, C21, C22, C24, C30, C31, C34): their entry
// points and the small report, load-line and two-port helpers they share.
#pragma once

#include "circuits/solver_common.h"

#include <string>

void solveC6(const SolveRequest& request, SolveResult& result);
void solveC8(const SolveRequest& request, SolveResult& result);
void solveC21(const SolveRequest& request, SolveResult& result);
void solveC22(const SolveRequest& request, SolveResult& result);
void solveC24(const SolveRequest& request, SolveResult& result);
void solveC30(const SolveRequest& request, SolveResult& result);
void solveC31(const SolveRequest& request, SolveResult& result);
void solveC34(const SolveRequest& request, SolveResult& result);

namespace cascodes {

// Stand-ins of the two-port chains for a short circuit and an open circuit.
constexpr double kOpen = 1e12;
constexpr double kShortCapacitor = 1000;

// A coupling or bypass capacitor typed as 0 reads as 2 pF in these chains.
inline double capacitorOr2p(double c) {
    return c == 0 ? 2e-12 : c;
}

// "<br>ref model" and the line "ρ~   gm~  => µ~" of the given small-signal parameters.
std::string tubeParameters(const TTube& T, double rho, double gm, double mu);

// "<br>" + the voltage formatter with the label and 2 decimals.
std::string voltageLine(const std::string& label, double volts);

} // namespace cascodes
