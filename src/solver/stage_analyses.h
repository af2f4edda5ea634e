// Small-signal analyses of the stage types shared by the circuit solvers: each computes the
// gains and impedances of one stage from its solved tube(s) and writes its AC-report block.
#pragma once

#include "model/tube.h"

#include <string>

// Every analysis takes tubes whose operating-point fields (Ia, Vak, Vgk, Vek) hold the solved
// point, and computes the small-signal parameters there itself (calculerParamètresIntrinsèques),
// so that a block never prints parameters left over from an earlier point. The report block is
// returned in `text`, for the caller to Add to its TTextResult.

// x ∥ y = x·y/(x + y); 0 when both are 0.
double parallelR(double x, double y);

// Gains with the one-sided parameters ρ′ = getRo(), µ′ = getMu() of the tube.
double gainCommonCathode(const TTube& T, double RL);         // −µ′·RL/(ρ′ + RL)
double gainUnbypassed(const TTube& T, double Rk, double RL); // −µ′·RL/(ρ′ + RL + (µ′ + 1)·Rk)
double gainFollower(const TTube& T, double RL);              // µ′·RL/(RL·(µ′ + 1) + ρ′)

struct CommonCathodeGains {
    double bypassed = 0, unbypassed = 0;
    std::string text;
};
CommonCathodeGains commonCathodeStage(TTube& T, double Ra, double Rk, double Ro);

struct FollowerFigures {
    double gain = 0, zout = 0;
    std::string text;
};
FollowerFigures cathodeFollowerStage(TTube& T, double Ro, double Rk);

struct CathodyneGains {
    double anode = 0, cathode = 0;
    std::string text;
};
// Rao, Rko: the loads on the anode and on the cathode outputs.
CathodyneGains cathodyneStage(TTube& T, double Ra, double Rao, double Rk, double Rko);

struct SrppFigures {
    double gainBypassed = 0, gainUnbypassed = 0, zoutBypassed = 0, zoutUnbypassed = 0;
    std::string text;
};
// T1 lower, T2 upper; Ra in T2's anode (0 when absent), Rk2 T2's cathode resistor, Rk1 T1's.
SrppFigures srppOptimisedStage(TTube& T1, TTube& T2, double Ro, double Ra, double Rk2, double Rk1);

struct CascodeFigures {
    double gain = 0, zout = 0;
    std::string text;
};
// T1 lower, T2 upper. Gain −µ1·(µ2 + 1)·RL/(RL + ρ2 + (µ2 + 1)·ρ1), RL = Ra ∥ Ro.
CascodeFigures cascodeStage(TTube& T1, TTube& T2, double Rk, double Ro, double Ra);

struct HalfMuFigures {
    double gainBypassed = 0, load2 = 0, zoutUnbypassed = 0, zoutBypassed = 0, gainUnbypassed = 0;
    std::string text;
};
// R2: T2's cathode resistor, R1: T1's.
HalfMuFigures halfMuStage(TTube& T1, TTube& T2, double R2, double R1);

// T1 the current sink, T2 the follower; Rs in series with T2's cathode (0 when absent), R1 T1's
// cathode resistor.
FollowerFigures followerWithSinkStage(TTube& T1, TTube& T2, double Ro, double Rs, double R1);

struct DifferentialGains {
    double anode1 = 0;       // inverting output, T1's anode
    double differential = 0; // |anode1| + anode2
    double anode2 = 0;       // non-inverting output, T2's anode
};
// Rk: the common cathode resistor; RL2, RL1: the AC anode loads; the signal on T1's grid.
// anode2 = µ1·(µ2 + 1)·RL2·Rk/H. Writes no text.
DifferentialGains differentialPairGains(TTube& T1, TTube& T2, double Rk, double RL2, double RL1);
