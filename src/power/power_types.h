// Data of the power-stage analysis: the samples and cycles of a growing grid swing, and what the
// solver window, the command line, the power plots and the waveform tab read from one analysis.
#pragma once

#include "model/tube.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

// One sample of a quarter period. Voltages in V, currents in A (totals of the tubes in parallel).
// Single-ended: point 1 has the grid at Vgk + r·s, point 2 at Vgk − r·s.
// Push-pull: point 1 is tube 1 (grid Vgk + (k/2)·s), point 2 is tube 2 (grid Vgk − (k/2)·s).
struct TPointOper {
    double swing = 0;
    double vg1 = 0, va1 = 0, ia1 = 0, ie1 = 0;
    double vg2 = 0, va2 = 0, ia2 = 0, ie2 = 0;
    int iter1 = 0, iter2 = 0; // halvings of the single-ended point solves, 257 when none stopped
};

using TPointsOper = std::vector<TPointOper>;

// One swing amplitude: its 256 samples and their sums.
struct TRecCycle {
    TPointsOper PointsOper;
    double swing = 0; // swing of the last sample
    double Ppri = 0;  // power into the primary, W
    double Psec = 0;  // power at the secondary, W
    double Imoy = 0;  // mean anode current, A
    double Iem = 0;   // mean screen current, A
    double Y = 0;     // efficiency, fraction (0 when the supply delivers nothing)
    double PVb = 0;   // supply power, W
};

// Cycles in increasing swing.
using TCycles = std::vector<TRecCycle>;

// Samples per cycle (a quarter period).
inline constexpr int kPointsPerCycle = 256;

// Where an analysis stopped because a cycle's sums were impossible: not finite, or more power at the
// secondary than the supply delivers (a model driven outside its range, or an operating point the
// analysis does not reproduce). That cycle and every later one are dropped.
struct CycleCut {
    double swing = 0;       // the swing of the first cycle dropped (its last sample)
    bool notFinite = false; // a sum that is not finite, else more power out than in
};

// Everything one power analysis leaves for its hosts and pictures.
struct PowerData {
    int circuit = 0;       // the circuit analysed, as its solver names it
    bool pushPull = false; // a push-pull pair (else a single-ended stage)
    int n = 1;             // tubes in parallel (per side for push-pull)
    TCycles cycles;

    // The solved output tube: the limits of one tube and its operating point as the DC report shows
    // it, that is Ia() of one tube for single-ended stages and of the side's n tubes for push-pull
    // (use Ia0 for the total). Empty only in a default-constructed record.
    std::optional<TTube> tube;
    double Ia0 = 0; // quiescent anode current, total of the n tubes (one side for push-pull), A
    double Va0 = 0; // quiescent anode-cathode voltage, V
    double Vgk = 0; // grid bias used by the analysis, V
    double Vek = 0; // screen-cathode voltage (0 for triodes), V
    double Ie0 = 0; // quiescent screen current, total of the n tubes, A

    double load = 0; // Ra (single-ended) or Zaa (push-pull), ohm
    double Rdc = 0;  // Rp + Rk, the DC resistance in the single-ended anode circuit, ohm
    double Vb = 0;   // supply; for push-pull the cathode-referred supply Vak0 of the analysis, V
    double Yt = 1;   // transformer efficiency, fraction

    // Push-pull only: bias-mode fraction, its class name and the theoretical powers.
    double biasMode = 0;
    std::string className;
    double PA = 0;               // class A, W
    double PB = 0;               // class B, W
    std::string caption;         // the bias-mode line of the output-power plot; empty for single-ended
    bool converged = true;       // false when some push-pull sample needed the pass limit
    std::optional<CycleCut> cut; // set when impossible cycles were dropped

    // Plot axes. Output power: swing and power of the last cycle (0 without cycles).
    double swingMax() const { return cycles.empty() ? 0 : cycles.back().swing; }
    double powerMax() const { return cycles.empty() ? 0 : cycles.back().Psec; }
    // Push-pull load-line current scale: n·Iamax, raised to the last sample's ia1 when larger.
    double currentMax() const;
    // The track bar maximum: number of cycles − 1 (−1 without cycles).
    int trackMax() const { return static_cast<int>(cycles.size()) - 1; }
};

inline double PowerData::currentMax() const {
    double imax = tube ? n * tube->Iamax() : 0;
    if (!cycles.empty() && !cycles.back().PointsOper.empty())
        imax = std::max(imax, cycles.back().PointsOper.back().ia1);
    return imax;
}
