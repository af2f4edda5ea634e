// The bisections of a bandwidth run: the gain peak by its slope, and the -3 dB corners below
// and above it. Each takes the overall gain as a function of frequency and always terminates.
#pragma once

#include <functional>
#include <vector>

using GainOfFrequency = std::function<double(double)>;

// Upper limit of every bisection: the high-corner search stops after this many halvings; the
// peak and low-corner searches also stop as soon as a halving no longer moves the bracket.
constexpr int kMaxHalvings = 1000;

// Slope (A(1.05 f) - A(0.95 f)) / (0.1 f).
double gainSlope(const GainOfFrequency& A, double f);

// Bisects [lo, hi] until the slope is within +-0.001; returns the last midpoint.
double searchPeak(const GainOfFrequency& A, double lo, double hi);

// The frequency in [0.01 Hz, fpk] where A is 0.7071 Apk within 0.1 %; 0 when no such point is
// found (no target because Apk is not positive, or the bracket collapses without reaching it).
double searchLowCorner(const GainOfFrequency& A, double fpk, double Apk);

// The frequency in [fpk, 1 MHz] where A is 0.7071 Apk within 0.1 %: the last midpoint after
// at most kMaxHalvings halvings; 0 when Apk is not positive.
double searchHighCorner(const GainOfFrequency& A, double fpk, double Apk);

// Phase-exact runs. The frequency of the largest A in [lo, hi], by golden-section search on log f.
double searchPeakGolden(const GainOfFrequency& A, double lo, double hi);

// The frequency below (below = true) or above fpk where A crosses target: the sweep values are
// walked out from fpk to the first one under the target, then that bracket is bisected on log f to
// a relative width of 1e-12. Past the ends of the sweep the walk goes on by decades, down to 1 mHz
// or up to 1 GHz. 0 when A never falls under the target there.
double searchCornerBracketed(const GainOfFrequency& A, const std::vector<double>& F,
                             const std::vector<double>& values, double fpk, double target, bool below);
