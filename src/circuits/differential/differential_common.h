// What the differential stages (C7, C10, C15, C23) share: the small-signal block of a pair with
// joined cathodes, its bandwidth chain, the pair's DC report lines and branch bars, load-line axes
// and the millivolt trace caption.
#pragma once

#include "circuits/catalogue.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "solver/stage_analyses.h"
#include "solver/text_result.h"

#include <cstdint>
#include <string>

namespace differential {

// The AC figures of a pair driven on T1's grid, with the anode loads Ra ∥ Ro.
struct PairSmallSignal {
    DifferentialGains gains;
    std::string text; // the AC report, heading included
};

// Computes both tubes' small-signal parameters and the three gains; Rc is the common cathode
// impedance. bothTubes prints one parameter line for the pair ("Both tubes ...") instead of one
// line per tube.
PairSmallSignal pairSmallSignal(TTube& T1, TTube& T2, double Rc, double Ra1, double Ro1, double Ra2,
                                double Ro2, bool bothTubes);

// The pair's bandwidth chain: input RC (EdCg, EdRg), the pair on its anode resistors and the common
// cathode impedance Rc, one output RC per anode (EdCa1, Ro1 and the capacitor named co1Field;
// EdCa2, Ro2, EdCo2). returnRkg ≥ 0: the cathodes reach Rc through that bias resistor and both grid
// resistors return to the junction (the long-tailed pair), which the phase-exact evaluation follows.
void runPairBode(const SolveRequest& request, SolveResult& result, const SheetValues& sheet, const TTube& T1,
                 double Ra1, double Ra2, double Rc, double Ro1, double Ro2, const char* co1Field,
                 double returnRkg = -1);

// Bar colour of a second resistor in a stack (C15's bias resistor Rkg, C23's Rf2).
constexpr std::uint32_t kStackLime = 0xFF00C000;

// The bar of branch 1 or 2 of a pair, supply side first: the anode resistor's drop, the tube's Vak,
// then the cathode elements the two branches share (their names, voltages and colours).
struct SharedDrop {
    const char* name;
    double volts;
    std::uint32_t colour;
};
TVoltageStacks pairBranchBar(int branch, double anodeDrop, double Vak,
                             std::initializer_list<SharedDrop> shared);

// The pair's lines of a DC report: both anode currents, both anode voltages and their difference
// (under deltaLabel), the grid and cathode voltages, then each tube's quiescent block.
void addPairLines(TTextResult& text, const TTube& T1, const TTube& T2, double Ia1, double Ia2, double Va1,
                  double Va2, const char* deltaLabel, double Vg, double Vk);

// The last columns of C10's and C15's rows: the first output load and the three gains.
std::vector<GridColumn> gainColumns();
void fillGains(GridRow& row, double Ro1, const DifferentialGains& gains);

// Load-line axes that put a tube's operating point on the line through (Vmax, 0) and (0, Imax):
// Vmax is the voltage across the tube and its load resistance R; a zero R draws no line.
LoadLineData pairLoadLine(const TTube& T, double Vmax, double R, int image);

// Trace caption of a balance loop whose tolerance is a voltage (printed in mV).
void titleTraceMillivolts(TFormConvergence* trace, const TTube& T, int count, double toleranceV,
                          double start);

} // namespace differential
