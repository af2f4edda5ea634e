// Power-stage analysis: the output tube(s) driven by a growing sinusoidal grid swing along the
// transformer's load line, cycle by cycle (single-ended calculSE, push-pull calculPP), with the
// bias rating of a push-pull pair and the sums of each cycle.
#pragma once

#include "model/tube.h"
#include "power/power_types.h"

#include <optional>
#include <string>

// How a cycle is summed: a single tube swung both ways along one load line, or the two sides of a
// push-pull pair.
enum class StageKind { SingleEnded, PushPull };

// How a push-pull pair is biased: by its cathode resistor (the analysis takes the solved bias and
// refers the supply and the screen to the cathode) or at a fixed grid voltage.
enum class PushPullBias { SelfBiased, FixedGrid };

// s[i] = sin(i·(π/2)/255), i = 0 … 255.
double quarterSine(int i);

// The push-pull's effective load per half (RGfonction items in order).
enum class LoadFunction { f1 = 0, f2 = 1, f3Simple = 2, f4Half = 3 };

// Load per half, Ω, for the bias fraction R, the quiescent current Ia0 and tube 1's current ia1.
double loadFunction(LoadFunction f, double kzb, double kza, double R, double Ia0, double ia1, double Zaa);

// The advanced push-pull parameters of the solver window.
struct AdvancedPowerParams {
    double kza = 1;
    double kzb = 0.2;
    LoadFunction fonction = LoadFunction::f4Half;
};

struct BiasMode {
    double R = 0;  // bias-mode fraction: 0 class B, 0.5 class A
    double PA = 0; // theoretical class-A output, W
    double PB = 0; // theoretical class-B output, W
};

// Rates the bias of a push-pull pair of n tubes per side carrying Ia0 (the side's total) at the
// anode voltage Vak0, from the swings to grid current along the class-A (slope 2/Zaa) and class-B
// (slope 4/Zaa) lines. Each tube of a side is evaluated with its share of the side's current.
BiasMode biasModePP(const TTube& tube, int n, double Zaa, double Ia0, double Vak0);

// "class B", "cl. B - AB", "class AB", … "ultra hot"; a fraction that compares with nothing is class B.
std::string biasClassName(double R);

// Fills the sums of one cycle of a single-ended or push-pull stage: Ppri, Psec, Imoy, Iem, PVb, Y
// and swing. Y is 0 when the supply delivers nothing.
void cycleTotals(TRecCycle& cycle, StageKind kind, double Yt, double Ia0, double Va0, double Vb);

// Where a cycle's sums are impossible (not finite, or Psec above PVb, that is an efficiency above 1),
// the cut there; both analyses stop at such a cycle and keep only the cycles before it.
std::optional<CycleCut> impossibleSums(const TRecCycle& cycle);

// What calculSE returns of its last cycle.
struct PowerSummary {
    double swing = 0;
    double Psec = 0;
    double Imoy = 0;
    double Y = 0;
};

// Single-ended analysis of n tubes in parallel at their solved point (tube: its Vak and screen
// voltage; Ia0 the total quiescent current of the n tubes) with the load Ra + Rp. One cycle per
// volt of grid swing while the swing stays below |Vgk| (at most kMaxSwingCycles); none when the
// stage carries no current at rest. The caller names its circuit in the result's `circuit`.
PowerData calculSE(const TTube& tube, int n, double Ia0, double Yt, double Rk, double Ra, double Rp,
                   double Vgk, double Vb, PowerSummary* summary = nullptr);

// Push-pull analysis of n tubes per side (tube: the solved side, its Ia the side's total). A
// self-biased pair takes the bias from the solved tube and refers the supply and the screen to the
// cathode; a pair at a fixed grid bias uses the Vgk given. The caller names its circuit in the
// result's `circuit`.
PowerData calculPP(const TTube& tube, int n, PushPullBias bias, const AdvancedPowerParams& advanced,
                   double Yt, double Rk, double Zaa, double Vek, double Vgk, double Vb);

// Cycle caps: a grid swing of a few hundred volts is beyond any output tube.
inline constexpr int kMaxSwingCycles = 200;    // single-ended, 1 V steps
inline constexpr int kMaxPushPullCycles = 400; // push-pull, 0.5 V steps
// Passes of one push-pull sample before it is marked as not converged.
inline constexpr int kPushPullPassLimit = 3334;
