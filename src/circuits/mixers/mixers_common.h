// What the dual-triode mixers C11 (balanced) and C12 (asymmetrical) share: the bar of a tube's
// branch under the joined anodes' Ra, the tubes' and powers' columns, the gain line with its level
// in decibels.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "solver/voltage_stacks.h"

#include <string>
#include <vector>

namespace mixers {

// The bar of one tube's branch, supply side first: the drop of the joined anodes' Ra, the tube
// (named by its reference), its cathode resistor (named rk).
TVoltageStacks branchBar(double raDrop, const TTube& T, const std::string& rk, double rkDrop);

// The columns of both tubes' points (Vak with one decimal), then "Ptot", "PT1", "PT2" and "PRa"
// (mW); fillTubesAndPowers writes them for the tubes T1 and T2, whose currents both cross Ra.
std::vector<GridColumn> tubesAndPowerColumns();
void fillTubesAndPowers(GridRow& row, const TTube& T1, const TTube& T2, double Vb, double Ra);

// "<b>ref model</b>": the heading of a tube's small-signal block.
std::string tubeHeading(const TTube& T);

// prefix, the gain fragment and "  <css=db>x.xdB</css>"; a null gain has no level in dB.
std::string gainLine(const std::string& prefix, const std::string& label, double gain);

} // namespace mixers
