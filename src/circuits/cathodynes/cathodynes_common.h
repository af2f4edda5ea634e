// What the split-load phase inverters C2 and C5 share: the tail of their grid rows, the DC load line
// through the whole series load and the bandwidth chain with its two outputs.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "solver/stage_analyses.h"

#include <vector>

namespace cathodynes {

// The Bode legends of a cathodyne: input, the stage seen from its anode and from its cathode, the
// two output RCs.
const std::vector<std::string>& bodeLegends();

// The small-signal report of the split-load stage (its heading, the tube's parameters and both gains)
// and the gains; Rao and Rko load the anode and cathode outputs.
CathodyneGains smallSignal(TTube& T, double Ra, double Rao, double Rk, double Rko, std::string& report);

// The last columns of a cathodyne's row: the tube's Vak/Vgk/Ia, the powers, the two loads and the
// two gains.
std::vector<GridColumn> tailColumns();

// Fills the tail columns for the tube T carrying Ia through Ra and Rk from the supply Vb.
void fillTail(GridRow& row, const TTube& T, double Vb, double Ra, double Rk, double Rao, double Rko,
              const CathodyneGains& gains);

// The load line from (Vb, 0) to the short-circuit current of the series load sumR; without any
// resistance the current axis ends at the tube's own zero-bias current at Vb.
LoadLineData loadLine(const TTube& T, double Vb, double sumR);

// The four two-ports of a cathodyne chain: input RC, the split-load stage feeding the anode output
// (index 2) and the cathode output (index 3), and the two output RCs. input holds the input
// two-port's components and stage the cathodyne's (Ra, Rk, Rg, Rgk, Cgk); the stray unit is added.
void runBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T,
             std::vector<double> input, std::vector<double> stage);

} // namespace cathodynes
