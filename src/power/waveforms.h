// Geometry of the swing waveforms of a power stage: one full period rebuilt from a cycle's quarter,
// its vertical scale, grid, input shape and the captions of the waveform tab.
#pragma once

#include "power/power_types.h"

#include <cstdint>
#include <string>
#include <vector>

enum class WaveQuantity { Voltage, Current };
// The choice "va", "ia", "both" of the waveform tab, in that order.
enum class WaveDisplay { Voltage = 0, Current = 1, Both = 2 };

// Points of one rebuilt period for 256 samples: 256 + 255 + 255 + 255.
inline constexpr int kWavePoints = 4 * kPointsPerCycle - 3;

// A full period from the quarter by symmetry: point-1 samples 0 … N−1, then N−2 … 0, then point-2
// samples 1 … N−1, then N−2 … 0 (anode voltage or current). Empty for a cycle without samples.
std::vector<double> fullPeriod(const TRecCycle& cycle, WaveQuantity q);

// Q: the quiescent value (point-1 sample 0); A: the largest |value − Q| over points 1 and 2.
struct WaveScale {
    double Q = 0;
    double A = 0;
    bool flat() const { return !(A > 0); }
};
WaveScale waveScale(const TRecCycle& cycle, WaveQuantity q);

// Pixels of the waveform picture: x over the period's points, y of a deviation from Q with Q + A
// at y = 35 and Q − A at H − 35. A flat cycle (A = 0) draws every deviation on the centre line.
struct WaveFrame {
    double W = 0, H = 0;
    double A = 0;
    double x(double j) const { return 35 + (W - 70) * j / kWavePoints; }
    double y(double v) const { return A > 0 ? H / 2 + (35 - H / 2) * v / A : H / 2; }
};

// Deviations k·step of the grid lines: 0, step, 2·step … while below A, then −step, −2·step …
// while above −A (at most 1000 each way). 10 V for the voltage, 10 mA for the current.
std::vector<double> waveGridLevels(double A, WaveQuantity q);
double waveGridStep(WaveQuantity q);

// The sinusoidal input at point j: sin(2π·j/1020).
double waveInput(int j);

// Texts of the waveform tab for the track-bar position p and the display choice.
struct WaveCaptions {
    std::string track;        // LabelTrack
    std::string vin;          // LabelVin
    std::string quantity;     // LabelVaIa
    std::uint32_t colour = 0; // colour of LabelVaIa, 0xRRGGBB (black for "both")
};
WaveCaptions waveCaptions(WaveDisplay display, int p);

// The cycle a track-bar position shows: p kept within the cycles (−1 when there are none).
int waveCycleIndex(const PowerData& data, int p);
