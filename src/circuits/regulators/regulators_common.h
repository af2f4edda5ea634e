// What the voltage regulators and the current sink (C16, C17, C18, C25, C27) share: their fixed
// texts, the heading with the pass count, the dialog that ends a solve, the circuit's own verdict
// lines and the tube parameter block of their small-signal reports.
#pragma once

#include "circuits/catalogue.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "model/tube.h"
#include "solver/solve.h"

#include <string>

namespace regulators {

inline constexpr const char* kNoSmallSignal = "No small signal analysis available.";
inline constexpr const char* kNullResistors = "No resistor can be null!";

// "<b>title</b><br>footer n iterations": the heading of a regulator's DC report.
std::string iterationsHeading(const std::string& title, int iterations);

// The dialog that ends a solve: the message, no report, and a failed overall verdict.
void stopWithDialog(SolveResult& result, const std::string& message);

// "The ballast tube cannot deliver a current larger than ..." for the current Imax (A) at Vak.
std::string ballastMessage(double Imax, double Vak);

// "<br>%s %s" of the tube's reference and model, then its ρ, gm and µ on one line.
std::string tubeParameterBlock(const TTube& T);

// Appends the circuit's own red line for a failed check, unless the report already holds it.
void addOwnVerdict(std::string& report, bool passed, const char* line);

} // namespace regulators
