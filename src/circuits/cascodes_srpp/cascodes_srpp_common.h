// What the cascode and SRPP stages share (C6, C8, C21, C22, C24, C30, C31, C34): the stand-ins of
// their two-port chains, the checks and results of two stacked triodes, the bandwidth chain of a
// stacked pair and a few report lines.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/grid_row.h"
#include "circuits/solver_common.h"
#include "solver/voltage_stacks.h"

#include <string>
#include <vector>

namespace cascodes {

// Stand-ins of the two-port chains for a short circuit and an open circuit.
constexpr double kOpen = 1e12;
constexpr double kShortCapacitor = 1000;

// A coupling or bypass capacitor typed as 0 reads as 2 pF in these chains.
inline double capacitorOr2p(double c) {
    return c == 0 ? 2e-12 : c;
}

// The triode's anode current at (Vgk, Vak); the tube keeps that point.
double triodeCurrent(TTube& T, double Vgk, double Vak);

// "<br>ref model" and the line "ρ~   gm~  => µ~" of the given small-signal parameters.
std::string tubeParameters(const TTube& T, double rho, double gm, double mu);

// "<br>" + the voltage formatter with the label and 2 decimals.
std::string voltageLine(const std::string& label, double volts);

// "<br>" and the quiescent-state blocks of the lower and the upper tube.
std::string pairOperatingPoints(const TTube& lower, const TTube& upper);

// The operating-point and grid-bias checks of two stacked tubes, each against a fresh model of the
// selector's tube: both points on the model's curves, both grids below their cathodes.
struct PairChecks {
    bool operatingPointOk = false;
    bool vgkOk = false;
};
PairChecks checkPair(const SolveRequest& rq, const std::string& selector, const TTube& lower,
                     const TTube& upper);

// The verdict lines of a stacked pair (checkPair's two checks, the bar drawn within stackTolerance
// of the supply Vb, the bias search within its passes) added to the report; whether all passed.
bool pairVerdicts(std::string& report, const SolveRequest& rq, const TTube& lower, const TTube& upper,
                  double Vb, const TVoltageStacks& bar, double stackTolerance, bool iterationsOk);

// The bar of a pair whose upper tube stands on its cathode resistor, supply side first: the upper
// tube, its resistor (red), the lower tube, its cathode resistor (green); each tube named by its
// reference, each resistor by the name given with its drop.
TVoltageStacks stackedPairBar(const TTube& upper, const std::string& upperR, double upperDrop,
                              const TTube& lower, const std::string& lowerR, double lowerDrop);

// The columns "Ptot", "PT1", "PT2" (mW) and their values: the supply delivering I, each tube's
// anode dissipation at its point.
std::vector<GridColumn> pairPowerColumns();
void fillPairPowers(GridRow& row, double Vb, double I, const TTube& T1, const TTube& T2);

// The load lines of both tubes through the whole series resistance (in images firstImage and the
// next), and both tubes in the result.
void addPair(SolveResult& rs, const TTube& lower, const TTube& upper, double Vb, double seriesR,
             int firstImage = 1);

// The Bode legends of a stacked pair's chain.
const std::vector<std::string>& pairBodeLegends();

// The bandwidth chain of a stacked pair: the input network (source, Cs, grid leak, grid stopper),
// T1 in common cathode over Rk bypassed by Ck, the upper tube's two-port (its kind and its
// components before the stray unit) and the output network (Ca into Ro and Co).
void runPairBode(const SolveRequest& rq, SolveResult& rs, const SheetValues& sheet, const TTube& T1,
                 double Rk, double Ck, TTypeQuadripole upperKind, const TTube& T2, std::vector<double> upper);

} // namespace cascodes
