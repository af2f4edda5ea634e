// The searches behind one sample of the swing analyses: the single-ended point (a bisection on the
// stage current) and the push-pull point (a walk of the anode voltage in 0.2 V steps). Where the
// tube's current cannot fall as its anode rises, they leave out the evaluations whose outcome that
// already fixes: they take the same steps as the plain searches and end on the same values.
#pragma once

#include "model/tube.h"
#include "power/power_analysis.h"
#include "power/power_types.h"

#include <vector>

// The current of n tubes at a fixed grid (and screen) as the anode moves, bit for bit what
// TTube::current gives there; a pentode's grid and screen factors are worked out once.
class AnodeSweep {
public:
    AnodeSweep(TTube& t, double vg, double Vs, int n);
    double operator()(double va);
    // The screen current of the n tubes (0 for a triode).
    double screen() const { return ie_; }

private:
    TTube& t_;
    double vg_, Vs_;
    int n_;
    TTube::PentodeGrid grid_;
    double ie_ = 0;
};

// Whether the model's anode current cannot fall as the anode rises, for anode voltages of 0 and
// above, whatever the grid: every factor of its equation is then positive and non-decreasing.
bool risesWithAnode(const TTube& t);

// The single-ended point of n tubes at grid vg: bisection on the total current I in [0, 13·Ia0]
// until the tubes at anode Va0 + (Ia0 − I)·Z (at least 10 V) carry I within 0.1 mA. A point that
// ends below the 10 V floor of the line is saturated: anode 10 V, the line's current there. A search ends
// where the interval can no longer be halved (the midpoint stops moving) or after 256 halvings,
// counted as 257. Successive points of a cycle predict each other's current, which bounds the
// bisection before it starts.
class SingleEndedPoints {
public:
    struct Result {
        double va = 0, ia = 0, ie = 0;
        int iterations = 257;
    };
    SingleEndedPoints(const TTube& tube, int n, double Vs, double Ia0, double Va0, double Z);
    // Starts a cycle: the points of its first sample are predicted by the first sample of the last.
    void startCycle();
    // Point `which` (0 or 1) of the next sample of the cycle, grid at vg.
    Result solve(TTube& t, int which, double vg);

private:
    struct Sample;
    double anodeAt(double I) const;
    bool saturatedAt(double I) const;
    void saturate(Result& p, double I) const;
    struct History {
        double first = 0;                // the balance current of the cycle's first sample
        bool haveFirst = false;          // whether a cycle has set `first`
        double last = 0, beforeLast = 0; // the balance currents of the last two samples
        double lastVg = 0, beforeVg = 0; // and their grids
        double firstGain = 0;            // dI/dvg between the first two samples of the last cycle
        double err = 0;                  // how far the last prediction missed
        double slope = 1;                // how fast the tube current's excess over I falls with I
        int count = 0;                   // samples of this cycle so far
    };
    int n_;
    double Vs_, Ia0_, Va0_, Z_;
    bool monotone_;
    History history_[2];
};

// Where a bisection on (lo, hi] whose every remaining halving lifts lo ends: its last midpoint, as
// the loop `I = (lo + hi) / 2; if (I == previous) stop; previous = lo = I` with halvings counted
// from `halving` up to 256 gives it, but worked out from the bits of hi where lo and hi share a
// binade.
double lastRisingMidpoint(double lo, double hi, double previous, int halving);

// How far the anode of tube 1 at va1 lies below the load line at the currents ia1 and ia2 (tube 2's
// already held below Ia0), at most 2 V above it and never below 0 V: the step of the push-pull walk.
double loadLineOffset(const AdvancedPowerParams& adv, double R, double Ia0, double Vak0, double Zaa,
                      double va1, double ia1, double ia2);

// The bounds a run of the push-pull walk passes through: bound j is the start moved by j steps of
// 0.2 V, up (dir 1) or down (dir -1), bit for bit what j additions one after the other give. Where
// the steps stay within one binade of 1 V or more they are start ± j·step, exact; the rest are
// stepped one at a time.
class StepLadder {
public:
    void reset(double start, int dir);
    double operator[](int j);

private:
    double at(int j) const { return dir_ > 0 ? start_ + j * step_ : start_ - j * step_; }
    double start_ = 0, step_ = 0;
    int dir_ = 1;
    int exact_ = 0;            // bounds 0 to exact_ are start ± j·step
    std::vector<double> tail_; // bounds exact_, exact_ + 1, … stepped one at a time
};

// The push-pull point of one sample: the anode of tube 1 walks from the midpoint of [lo, hi] in
// 0.2 V steps of lo or hi until it meets the load line within 0.2 V, the interval closes or the
// pass limit is reached. lo and hi carry over from sample to sample of a cycle.
class PushPullPoints {
public:
    PushPullPoints(const TTube& tube, int n, const AdvancedPowerParams& adv, double R, double Ia0,
                   double Vak0, double Vek, double Zaa);
    // Solves the sample p (its grids set) from lo and hi; false when it needed the pass limit or met
    // a value that is not finite.
    bool solve(TTube& t1, TTube& t2, TPointOper& p, double& lo, double& hi);

private:
    struct Eval {
        double va1 = 0, va2 = 0, ia1 = 0, ia2 = 0, delta = 0;
    };
    struct Sample;
    Eval evaluate(Sample& s, double va1);
    int skipRun(Sample& s, int dir, double lo, double hi, int pass, bool learn);

    int n_;
    AdvancedPowerParams adv_;
    double R_, Ia0_, Vak0_, Vek_, Zaa_;
    bool skipping_;
    double margin_;         // what the current clamp of tube 2 and the last bits may move the offset by
    int guess_[2] = {1, 1}; // the length of the last run of lo steps and of hi steps
    int firstDir_ = 0;      // the way the last sample's first pass stepped (1 lo, -1 hi, 0 neither)
    StepLadder ladder_;
};
