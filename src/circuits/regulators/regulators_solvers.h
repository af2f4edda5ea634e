// Private pieces of the voltage-regulator and current-sink solvers (C16, C17, C18, C25, C27):
// the solvers themselves and the helpers they share.
#pragma once

#include "circuits/solver_common.h"
#include "model/tube.h"
#include "solver/solve.h"

#include <string>

void solveC16(const SolveRequest& request, SolveResult& result);
void solveC17(const SolveRequest& request, SolveResult& result);
void solveC18(const SolveRequest& request, SolveResult& result);
void solveC25(const SolveRequest& request, SolveResult& result);
void solveC27(const SolveRequest& request, SolveResult& result);

namespace regulators {

inline constexpr const char* kNoSmallSignal = "No small signal analysis available.";
inline constexpr const char* kNullResistors = "No resistor can be null!";

// "<b>title</b><br>footer n iterations": the heading of a regulator's DC report.
std::string iterationsHeading(const std::string& title, int iterations);

// A bisection whose middle equals one of its ends can no longer move: every further pass would
// evaluate the same point, so a search stops there and counts as having run to its cap.
inline bool bracketClosed(double lo, double hi) {
    const double mid = (lo + hi) * 0.5;
    return mid == lo || mid == hi || !(mid == mid);
}

// The dialog that ends a solve: the message, no report, and a failed overall verdict.
void stopWithDialog(SolveResult& result, const std::string& message);

// "The ballast tube cannot deliver a current larger than ..." for the current Imax (A) at Vak.
std::string ballastMessage(double Imax, double Vak);

// "<br>%s %s" of the tube's reference and model, then its ρ, gm and µ on one line.
std::string tubeParameterBlock(const TTube& T);

} // namespace regulators
