// The bandwidth run of a circuit's two-port chain: frequency list, chain gain with global
// feedback, the sweep, peak and -3 dB corners, the per-stage table and the summary line.
#pragma once

#include "frequency/bode_data.h"
#include "frequency/bode_options.h"
#include "frequency/quadripole.h"
#include "util/number_locale.h"

#include <string>
#include <vector>

// 1, 2, ... 9 times each decade from fmin, ending with fmax itself (1 Hz to 100 kHz: 46 values).
std::vector<double> frequencyList(double fmin, double fmax);

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

// The same run with the sweep range and feedback fraction taken from the Bandwidth options.
inline BodeData calculBode(const std::string& title, std::vector<TQuadripole>& quads,
                           const TLegendes& legends, const std::string& tag, const BodeOptions& options,
                           const NumberLocale& locale = {}) {
    return calculBode(title, quads, legends, tag, feedbackRatioOf(options.feedback),
                      freqMaxOf(options.freqmax), freqMinOf(options.freqmin), locale);
}
