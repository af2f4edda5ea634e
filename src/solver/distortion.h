// Harmonic distortion: the harmonics of one period of a waveform (a DFT over the whole period), of a
// power stage's anode current cycle by cycle, and of a single-tube gain stage driven with a sine
// through its DC transfer characteristic at a chosen output level.
#pragma once

#include "model/tube.h"
#include "power/power_types.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Peak amplitudes of the fundamental and of the 2nd … 5th harmonics, and the total harmonic
// distortion: the rms of the 2nd to 20th harmonics over the rms of the first (a fraction).
struct Harmonics {
    double fundamental = 0;
    std::array<double, 4> h{}; // h[0] is the 2nd harmonic … h[3] the 5th
    double thd = 0;            // 0 when there is no fundamental
    bool resolved = true;      // false: a power cycle too small for its samples' resolution

    double harmonic(int k) const { return k >= 2 && k <= 5 ? h[k - 2] : 0; }
    // Harmonic k as a fraction of the fundamental (0 without a fundamental).
    double relative(int k) const { return fundamental > 0 ? harmonic(k) / fundamental : 0; }
};

// Harmonics of samples spanning exactly one period at equal steps (the first sample of the next
// period left out). Fewer than 12 samples, or a non-finite one, give no harmonics at all.
Harmonics harmonicsOf(const std::vector<double>& period);

// One power cycle's current over the period the waveform tab shows (its 1021 points less the last,
// which repeats the first): the anode current of a single-ended stage, the primary current
// ia1 − ia2 of a push-pull pair (tube 2 carries tube 1's current half a period later). A
// single-ended cycle whose fundamental is below 5 mA is not resolved: its samples meet the load line
// to 0.1 mA only.
std::vector<double> distortionPeriod(const PowerData& data, int cycle);
Harmonics cycleHarmonics(const PowerData& data, int cycle);
// Every cycle's harmonics, in the order of the cycles.
std::vector<Harmonics> powerHarmonics(const PowerData& data);

// "H2 4.92%  H3 0.45%  H4 0.04%  H5 0.01%  THD 4.95%", or "swing too small to resolve".
std::string harmonicsText(const Harmonics& h);
// The waveform tab's line for a cycle: "Anode current: H2 …" or "Primary current (ia1 − ia2): H2 …";
// empty for a cycle that does not exist.
std::string cycleDistortionCaption(const PowerData& data, int cycle);

// A static characteristic: the output deviation for an input deviation from the operating point,
// nullopt past the stage's swing (grid current or cut-off).
using Characteristic = std::function<std::optional<double>(double vin)>;

// A gain stage driven with a sine whose output fundamental has the asked peak level.
struct StageDistortion {
    double level = 0;         // asked output, V peak
    bool beyondSwing = false; // the stage cannot give that level within its swing
    double maxLevel = 0;      // when beyond the swing: the largest output within it, V peak
    double input = 0;         // input amplitude giving the level (0 when beyond the swing), V peak
    Harmonics harmonics;      // of the output at that level (empty when beyond the swing)
};

// Finds the input amplitude whose output fundamental is `level` (peak) and the harmonics there.
// inputHint is a sensible first input amplitude (the level over the small-signal gain, or the bias);
// the search is bounded and returns for any characteristic.
StageDistortion distortionAtLevel(const Characteristic& f, double level, double inputHint);

// A single-tube stage as the signal sees it around its solved operating point.
struct GainStageDrive {
    double Vgk0 = 0, Vak0 = 0, Ia0 = 0; // the operating point
    double Vek = 0;                     // screen-to-cathode voltage of a pentode, held constant
    double load = 0;                    // AC load on the anode, Ω
    double cathodeLoad = 0;             // unbypassed cathode resistance, Ω (0 when bypassed or fed)
    bool cathodeInput = false;          // the signal drives the cathode (common grid), not the grid
};

// The stage's characteristic from the tube's equations: at each input the current that satisfies
// the tube and the AC load line; past the swing when the grid goes positive of the cathode or the
// current falls below 1 % of its rest value. The output is the anode's deviation, −load·ΔI.
Characteristic gainStageCharacteristic(const TTube& tube, const GainStageDrive& drive);
StageDistortion gainStageDistortion(const TTube& tube, const GainStageDrive& drive, double level);

// The AC report's line: "<br>Distortion at 10 V peak out (0.152 V in): H2 …" or, past the swing,
// "<br>Distortion at 80 V peak out: beyond the stage's swing (at most 61.3 V peak)".
std::string distortionLine(const StageDistortion& d);

// The single-tube gain stages that print a distortion line: C1, C13, C32, C36.
bool hasDistortionLine(int circuit);

// The output level of the distortion line when none is chosen, V peak.
inline constexpr double kDefaultThdLevel = 10;
