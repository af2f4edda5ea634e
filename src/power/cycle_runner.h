// Runs the cycles of a swing analysis on up to two threads: a cycle depends only on its index, so
// the cycles kept are the same, bit for bit, on any number of threads.
#pragma once

#include "power/power_types.h"

#include <functional>
#include <optional>

// One cycle of an analysis with its sums, and whether every sample of it converged.
struct CycleOutcome {
    TRecCycle cycle;
    bool converged = true;
};

// Computes one cycle by its index; it may keep search state between calls (each thread has its own).
using CycleFunction = std::function<CycleOutcome(int)>;

// What an analysis keeps of its cycles: those before the first whose sums are impossible, the cut
// there, and whether every cycle up to and including the cut one converged (the cycles after it
// are never looked at, as if the analysis had stopped there).
struct CycleRun {
    TCycles cycles;
    std::optional<CycleCut> cut;
    bool converged = true;
};

// Cycles 0 .. count − 1, each thread computing with the function makeWorker gives it.
CycleRun runCycles(int count, const std::function<CycleFunction()>& makeWorker);
