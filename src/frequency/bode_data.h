// What one bandwidth run produces: the frequency list, the gain curves, the peak and corners,
// the per-stage table and the summary line. The Bode picture is drawn from this alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TRecLegende {
    std::string titre;
    bool display = true;     // the legend's check box: draw the curve
    std::uint32_t color = 0; // 0xAARRGGBB
};
using TLegendes = std::vector<TRecLegende>;

// One row of the per-stage table; a separator row shows nothing.
struct TDataQP {
    std::string titre;
    std::string nature;
    std::uint32_t couleur = 0;
    double freq = 0;
    double av = 0;
    double zin = 0;
    bool separator = false;
};

struct BodeData {
    std::string title; // caption of the loaded configuration, may be empty
    std::string tag;   // "C%d"
    double beta = 0;   // feedback fraction
    std::vector<double> freqs;
    std::vector<std::vector<double>> curves; // one per two-port output, in chain order
    std::vector<double> overall;             // chain gain with feedback
    bool overallDrawn = false;               // more legends than stage curves
    TLegendes legends;
    double fpk = 0, Apk = 0, fL = 0, fH = 0;
    double Amax = 0; // largest overall gain of the sweep (-100 when none is larger)
    std::vector<TDataQP> table;
    std::string summary; // empty when the overall curve is not drawn
    // Phase-exact runs only: curves and overall are the moduli of complex gains, and these are their
    // phases in degrees, unwrapped along the sweep (empty in a classic run).
    bool exact = false;
    std::vector<std::vector<double>> curvePhases;
    std::vector<double> phase; // of the overall gain
};
