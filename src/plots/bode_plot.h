// The Bode plot of a bandwidth run: gain curves on logarithmic axes, decade grid, -3 dB lines,
// legends and the summary line.
#pragma once

#include "frequency/bode_data.h"
#include "util/number_locale.h"

#include <QImage>
#include <QSize>

#include <cstdint>
#include <string>
#include <vector>

// Hertz and gain (as a ratio) to pixels: x over the sweep, y from 0.1 (-20 dB) at the bottom to
// the top gain.
struct BodeFrame {
    double W = 0, H = 0;
    double f0 = 1, fN = 10; // first and last swept frequency
    double Gtop = 10;
    double right = 30; // margin right of the plot: wider when a phase axis stands there
    double x(double f) const;
    double y(double G) const;
};

// The largest of the peak gain, every stage value and every overall value; a run whose gains
// never exceed 0.1 (all zero, say) gets a 0 .. 20 dB frame.
double bodeTopGain(const BodeData& data);
BodeFrame bodeFrame(const BodeData& data, QSize size);
// Gains of the light-grey decibel lines: every 10 dB from -20 dB below the top rounded up to 10;
// the -20 dB line is always there.
std::vector<double> bodeDecibelGrid(double Gtop);
// True for 0.1, 1, 10, ... 1e6 Hz.
bool isBodeDecade(double f);
// "0.1" below 1 Hz, else the whole number with thousands separators ("100,000").
std::string bodeFrequencyLabel(double f, const NumberLocale& locale);

// A drawn curve: values per swept frequency, colour, width and whether its legend is shown.
struct BodeCurveView {
    const std::vector<double>* values = nullptr;
    std::uint32_t colour = 0;
    double width = 1;
    bool display = false;
    bool overall = false;
};
std::vector<BodeCurveView> bodeCurveViews(const BodeData& data);

// The right-hand phase axis of a phase-exact run: degrees at the top and bottom of the gain axis'
// span (whole multiples of 45 degrees, 90 apart at least), and the step between its labels: 45
// degrees up to a span of a whole turn, then a multiple of 45 that keeps about eight labels.
struct PhaseAxis {
    double top = 90, bottom = -90, step = 45;
};
// Whether the picture carries the overall phase curve: a phase-exact run whose overall curve is
// drawn and shown.
bool bodeShowsPhase(const BodeData& data);
PhaseAxis bodePhaseAxis(const std::vector<double>& phase);

QImage drawBode(const BodeData& data, QSize size, double scale, const NumberLocale& locale);
