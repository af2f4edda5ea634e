// What the DC-coupled and multi-stage amplifiers share: the fixed-grid second stage of C9 and C14,
// the self-biased single stage of C29 and C32, the stages on a filtered supply of C19 and C20, and
// the two-ports their bandwidth chains are built from.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "frequency/quadripole.h"
#include "model/tube.h"
#include "solver/solve.h"
#include "solver/voltage_stacks.h"

#include <memory>
#include <string>
#include <vector>

namespace dc_coupled {

// A triode whose grid sits at the DC voltage Vg above a cathode resistor Rk (the second stage of a
// direct-coupled pair). The split-load bias solver finds the point; its diagnostic goes to the
// dialogs. When it rejects the circuit before searching (or Rk is 0) the grid drives the tube to
// the grid-current limit: the point is then the one at Vgk = 0 on the load line Ra + Rk, so the
// report shows what the tube can deliver and its verdicts fail. Returns whether a regular point was
// found.
bool solveFixedGridStage(TTube& T, double Vb, double Vg, double Ra, double Rk, TFormConvergence* trace,
                         SolveResult& result);

// A cathode-biased triode with its grid at 0 V (C29, C32), solved and checked the usual way: its
// bar (Ra, T1, Rk, supply side first) is drawn and the check adds it up.
struct SelfBiasedPoint {
    double Ia = 0, Vak = 0, Vgk = 0;
    bool opOk = false, vgkOk = false, stacksOk = false;
};
SelfBiasedPoint solveSelfBiased(const SolveRequest& rq, SolveResult& rs, TTube& T, double Vb, double Ra,
                                double Rk, TFormConvergence* trace);

// The DC report of such a stage (verdicts, supply, Ia, Va, Vk, quiescent state, dissipations) and
// its labels; sets the result's verdict.
void selfBiasedReport(SolveResult& rs, const TTube& T, const SelfBiasedPoint& p, double Vb, double Ra,
                      double Rk);

// Common-cathode stages on a filtered supply (C19, C20), in supply order: stage n hangs on node n,
// behind the filter resistor R[n], and T1 is the stage nearest the supply.
struct FilteredStages {
    std::vector<std::unique_ptr<TTube>> tubes;
    std::vector<double> R, Ra, Rk;
    std::vector<double> V, I; // node voltages and stage currents
    int passes = 0;
};

// The n stages of the sheet (EdR<n>, EdRa<n>, EdRk<n>, tubes T1... from LBtube).
FilteredStages readFilteredStages(const SolveRequest& rq, const SheetValues& sheet, int n);

// Solves the node voltages and stage currents together, one trace per stage.
void solveFilteredStages(FilteredStages& s, double Vb, Traces& traces);

// The bars (the filter drops down to the stage's node, then Ra, the tube and Rk), the DC report
// with the checks adding up each bar, the labels and the load lines; sets the result's verdict.
// tubeList names the tubes in the operating-point verdict: "T1 / T2".
void filteredDcResults(const SolveRequest& rq, SolveResult& rs, const FilteredStages& s, double Vb,
                       const std::string& tubeList);

// The grid columns of n stages after the model name: Vb, the node voltages, the filter currents,
// the anode currents and voltages, the filter and anode resistors, the powers.
std::vector<GridColumn> filteredColumns(int n);
void fillFilteredColumns(GridRow& row, const FilteredStages& s, double Vb);

// A bandwidth chain in signal order, each two-port with the request's stray capacitance last and
// its choice of ignoring the Miller effect. In this family the input RC is never shunted and every
// common-cathode stage has its cathode capacitor connected.
class Chain {
public:
    explicit Chain(const SolveRequest& rq);
    // The input RC: source resistance, coupling capacitor, grid resistor, grid capacitance, grid
    // stopper and its capacitance.
    Chain& input(double Rs, double Cs, double Rg, double Cg, double Rgs, double Cgs);
    // A common-cathode stage on T feeding output n of the chain.
    Chain& commonCathode(const TTube& T, int output, double Ra, double Rk, double Ck);
    // Another two-port (a level shifter, an interstage RC, a common-grid stage) with its components.
    Chain& add(TTypeQuadripole kind, const TTube* T, std::vector<int> outputs, std::vector<double> parts);
    // The output RC from the anode: coupling capacitor Ca, load Ro and its capacitance Co.
    Chain& output(double Ca, double Ro, double Co);
    // The bandwidth sweep of the chain with the circuit's legends.
    void run(SolveResult& rs);

private:
    const SolveRequest& rq_;
    double S_;
    bool ignore_;
    std::vector<TQuadripole> quads_;
};

} // namespace dc_coupled
