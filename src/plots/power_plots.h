// The power-stage pictures: output power against grid swing, the single-ended and push-pull load
// lines (with the bias-class and dissipation gauges), and the swing waveforms of one cycle.
#pragma once

#include "model/load_line_points.h"
#include "power/power_types.h"
#include "power/waveforms.h"

#include <QImage>
#include <QPointF>
#include <QSize>

#include <optional>

#include <string>
#include <vector>

// "C%d self-biased triode SE" … "C%d fixed-biased pentode PP" (empty for a circuit that is no output stage).
std::string powerCircuitLine(int circuit);
// Title of the output-power plot: circuit line, n, tube name, supply, bias and load.
std::string powerPlotTitle(const PowerData& data);

// Quiescent dissipation per branch as a fraction of the gauge (twice the group's rating), 0 … 1;
// 0 when the model has no dissipation limit.
double dissipationFraction(const PowerData& data);
// "%.1fW", or "Too hot" above 0.5, "Red plates" above 0.65, "Fire !" above 0.75.
std::string dissipationText(double q, double watts);
// Pixel row of a gauge cursor for a fraction (kept on the bar): 220 − round(200·f), at 96 dpi.
int gaugeCursorY(double fraction);

// The push-pull anode-curve family of the stage's tube (model/load_line_points), none without a tube.
std::vector<FamilyCurve> pushPullAnodeFamily(const PowerData& data);
// |Δva1/Δia1| across samples 117 … 137 of the middle cycle, and the point of sample 117; nullopt
// when there is no such cycle or the current does not move.
struct LoadEstimate {
    double Za = 0;
    QPointF at; // (V, A)
};
std::optional<LoadEstimate> pushPullLoadEstimate(const PowerData& data);

QImage drawPower(const PowerData& data, QSize size, double scale);
QImage drawLoadlineSE(const PowerData& data, QSize size, double scale);
QImage drawLoadlinePP(const PowerData& data, QSize size, double scale);

// The waveform of the cycle at the track-bar position p (kept within the cycles): the anode voltage,
// the anode current, or both on their own scales.
QImage drawWaveform(const PowerData& data, int p, WaveDisplay display, QSize size, double scale);
QImage drawWave(const TRecCycle& cycle, WaveQuantity q, QSize size, double scale);
QImage drawWaveBoth(const TRecCycle& cycle, QSize size, double scale);
