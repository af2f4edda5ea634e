// The bandwidth run of a circuit's two-port chain: frequency list, chain gain with global
// feedback, the sweep, peak and -3 dB corners, the per-stage table and the summary line.
#pragma once

#include "frequency/bode_data.h"
#include "frequency/bode_options.h"
#include "frequency/quadripole.h"
#include "util/number_locale.h"

#include <complex>
#include <string>
#include <vector>

// 1, 2, ... 9 times each decade from fmin, ending with fmax itself (1 Hz to 100 kHz: 46 values).
std::vector<double> frequencyList(double fmin, double fmax);

// Index of the two-port loading output `output` of two-port k, or -1 when that output is open (no
// load listed, or one not beyond k).
int chainLoadIndex(const std::vector<TQuadripole>& quads, std::size_t k, std::size_t output);

// Evaluates the chain backwards from its last two-port at frequency f, leaving every two-port's
// last-evaluation fields set for f; returns the product P of the main gains. An output whose
// load index is missing or not beyond its own index is taken as open (infinite load).
double chainProduct(std::vector<TQuadripole>& quads, double f);

// Overall gain at f with the feedback fraction beta: P / (1 + beta P).
double gainChain(std::vector<TQuadripole>& quads, double beta, double f);

// Index of the sweep point whose neighbours bracket the peak search: the first largest gain,
// moved in from the ends (0 -> 5, last -> N - 6) and kept where both neighbours exist.
std::size_t peakBracketIndex(const std::vector<double>& A);

// The whole run. title is the caption of the loaded configuration (may be empty), tag "C%d".
// The chain is consumed: on return quads is empty (the caller then frees its tubes).
BodeData calculBode(const std::string& title, std::vector<TQuadripole>& quads, const TLegendes& legends,
                    const std::string& tag, double beta, double fmax, double fmin,
                    const NumberLocale& locale = {});

// The phase-exact run of the same chain: complex gains, the overall gain with the global feedback
// applied with the polarity that makes it negative in the mid-band, moduli and phases, the peak and
// the -3 dB corners found by bracketing on the sweep and bisecting, the summary ending "(exact)".
BodeData calculBodeExact(const std::string& title, std::vector<TQuadripole>& quads, const TLegendes& legends,
                         const std::string& tag, double beta, double fmax, double fmin,
                         const NumberLocale& locale = {});

// Evaluates the chain backwards with complex impedances at f, leaving every two-port's exact fields
// set for f; returns the gain at the main output: the product of the main gains, signs included,
// along the path of first outputs from the source (a phase splitter's second branch is no factor).
std::complex<double> chainProductExact(std::vector<TQuadripole>& quads, double f);
// Overall complex gain at f: P / (1 + beta s P), s = -1 when the main path inverts, so that the
// feedback opposes the signal in the mid-band.
std::complex<double> gainChainExact(std::vector<TQuadripole>& quads, double beta, double f);

// Phases in degrees of complex gains along the sweep, unwrapped (no jump of more than 180 degrees
// between neighbours) and shifted by whole turns so that the value at `reference` lies in
// (-90, 270]: an in-phase mid-band reads about 0, an inverting one about 180.
std::vector<double> unwrappedPhase(const std::vector<std::complex<double>>& values, std::size_t reference);

// The same run with the sweep range and feedback fraction taken from the Bandwidth options.
inline BodeData calculBode(const std::string& title, std::vector<TQuadripole>& quads,
                           const TLegendes& legends, const std::string& tag, const BodeOptions& options,
                           const NumberLocale& locale = {}) {
    if (options.ac == kAcExact)
        return calculBodeExact(title, quads, legends, tag, feedbackRatioOf(options.feedback),
                               freqMaxOf(options.freqmax), freqMinOf(options.freqmin), locale);
    return calculBode(title, quads, legends, tag, feedbackRatioOf(options.feedback),
                      freqMaxOf(options.freqmax), freqMinOf(options.freqmin), locale);
}
