// Private pieces of the differential-stage solvers (C7, C10, C15, C23): the small-signal block of
// a pair with joined cathodes, its bandwidth chain and the report fragments they share.
#pragma once

#include "circuits/solver_common.h"
#include "solver/stage_analyses.h"

#include <string>

void solveC7(const SolveRequest& request, SolveResult& result);
void solveC10(const SolveRequest& request, SolveResult& result);
void solveC15(const SolveRequest& request, SolveResult& result);
void solveC23(const SolveRequest& request, SolveResult& result);

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

// Components of the pair's bandwidth chain: input RC, the pair, one output RC per anode.
struct PairChain {
    double Cg = 0, Rg = 0;
    double Ra1 = 0, Ra2 = 0, Rc = 0;
    double Ca1 = 0, Ro1 = 0, Co1 = 0;
    double Ca2 = 0, Ro2 = 0, Co2 = 0;
};
void runPairBode(const SolveRequest& request, SolveResult& result, const TTube& T1, const PairChain& chain);

// Bar colour of a second resistor in a stack (C15's bias resistor Rkg, C23's Rf2).
constexpr std::uint32_t kStackLime = 0xFF00C000;

// Load-line axes that put a tube's operating point on the line through (Vmax, 0) and (0, Imax):
// Vmax is the voltage across the tube and its load resistance R; a zero R draws no line.
LoadLineData pairLoadLine(const TTube& T, double Vmax, double R, int image);

// Trace caption of a balance loop whose tolerance is a voltage (printed in mV).
void titleTraceMillivolts(TFormConvergence* trace, const TTube& T, int count, double toleranceV,
                          double start);
