// The two searches of the circuit solvers, each bounded: a bisection on one unknown (a node
// voltage) and a damped fixed point (a current), the latter ended on its step or on its residual.
// Each reports its passes and whether it converged, and can trace its iterates.
#pragma once

#include "model/convergence.h"

#include <cmath>

struct SearchOutcome {
    int passes = 0;         // evaluations made
    bool converged = false; // the tolerance was met
    bool stalled = false;   // bisection: the bracket closed without meeting the tolerance
};

// When a bisection gives up on a bracket that can no longer shrink: once its middle repeats the
// point just evaluated (every further pass would repeat it), or as soon as its middle reaches
// either end or is not a number (the next pass would evaluate an end that may never have been a
// middle).
enum class ClosedBracket { MiddleRepeats, MiddleAtAnEnd };

// Bisection of [lo, hi]: each pass evaluates excess(x, pass) at the middle x (pass counts from 1).
// |excess| < tolerance ends the search converged at x; a positive excess moves the lower end up to
// x, any other the upper end down to x. The search ends after maxPasses passes, or stalled once the
// bracket has closed as `closed` says. trace, when given, gets (pass, x) after each evaluation.
template <typename Excess>
SearchOutcome bisect(double lo, double hi, int maxPasses, double tolerance, Excess&& excess,
                     TFormConvergence* trace = nullptr, ClosedBracket closed = ClosedBracket::MiddleRepeats) {
    SearchOutcome out;
    while (out.passes < maxPasses) {
        ++out.passes;
        const double x = (lo + hi) * 0.5;
        const double e = excess(x, out.passes);
        tracePoint(trace, out.passes, x);
        if (std::fabs(e) < tolerance) {
            out.converged = true;
            break;
        }
        if (e > 0)
            lo = x;
        else
            hi = x;
        const double next = (lo + hi) * 0.5;
        const bool shut =
            closed == ClosedBracket::MiddleRepeats ? next == x : next == lo || next == hi || next != next;
        if (shut) {
            out.stalled = true;
            break;
        }
    }
    return out;
}

// Damped fixed point x = target(x): each pass moves x by (target(x) - x) / damping and ends
// converged when the target and the moved x differ by less than tolerance; at most maxPasses
// passes. trace, when given, gets (pass, x) after each move.
template <typename Target>
SearchOutcome dampedFixedPoint(double& x, int maxPasses, double damping, double tolerance, Target&& target,
                               TFormConvergence* trace = nullptr) {
    SearchOutcome out;
    while (out.passes < maxPasses) {
        ++out.passes;
        const double t = target(x);
        x += (t - x) / damping;
        tracePoint(trace, out.passes, x);
        if (std::fabs(t - x) < tolerance) {
            out.converged = true;
            break;
        }
    }
    return out;
}

// The damped fixed point of a loop that tests before it moves: each pass compares target(x) with x
// itself and ends converged when they differ by less than tolerance (x then stays where it is);
// otherwise x moves by (target(x) - x) / damping. At most maxPasses passes. trace, when given, gets
// (pass, target(x)) after each evaluation.
template <typename Target>
SearchOutcome dampedFixedPointTestFirst(double& x, int maxPasses, double damping, double tolerance,
                                        Target&& target, TFormConvergence* trace = nullptr) {
    SearchOutcome out;
    while (out.passes < maxPasses) {
        ++out.passes;
        const double t = target(x);
        tracePoint(trace, out.passes, t);
        if (std::fabs(t - x) < tolerance) {
            out.converged = true;
            break;
        }
        x += (t - x) / damping;
    }
    return out;
}

// The damped fixed point ended on the residual instead: each pass still moves x by
// (target(x) - x) / damping, and ends converged when that step's target and x differed by less
// than tolerance before the move. trace, when given, gets (pass, x) after each move.
template <typename Target>
SearchOutcome dampedFixedPointOnResidual(double& x, int maxPasses, double damping, double tolerance,
                                         Target&& target, TFormConvergence* trace = nullptr) {
    SearchOutcome out;
    while (out.passes < maxPasses) {
        const double residual = target(x) - x;
        x += residual / damping;
        tracePoint(trace, ++out.passes, x);
        if (std::fabs(residual) < tolerance) {
            out.converged = true;
            break;
        }
    }
    return out;
}
