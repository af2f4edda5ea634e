// The options of the Bandwidth tab, as item indexes of their choices, and the values the
// bandwidth run takes from them (sweep range, feedback fraction, stray unit, curve colours).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BodeOptions {
    int freqmin = 1;           // "0.1 Hz", "1 Hz", "10 Hz", "100 Hz"
    int freqmax = 1;           // "10 kHz", "100 kHz", "1 MHz", "10 MHz"
    bool ignoreMiller = false; // "ignore effects": first switch of every two-port
    int straycaps = 0;         // "1 pF" ... "5 pF": the two-ports use (index + 1) pF
    int feedback = 0;          // "None", "1/1000 -30dB", ... "1/10   -10dB"
    int ac = 0;                // kAcClassic or kAcExact: the arithmetic of the frequency response
};

// The two arithmetics of the frequency response, as item indexes of their choice.
inline constexpr int kAcClassic = 0; // "classic (magnitudes)": impedance moduli, no phase
inline constexpr int kAcExact = 1;   // "exact (phase)": complex impedances

// Item texts of the option choices, in index order.
const std::vector<std::string>& freqMinItems();
const std::vector<std::string>& freqMaxItems();
const std::vector<std::string>& strayCapItems();
const std::vector<std::string>& feedbackItems();
const std::vector<std::string>& acModeItems();

double freqMinOf(int index);       // Hz; an index out of the list gives 1
double freqMaxOf(int index);       // Hz; an index out of the list gives 1e5
double feedbackRatioOf(int index); // an index out of the list gives 0
double strayUnitOf(int index);     // (index + 1) pF, in farads

// Colour 0xFFRRGGBB of the curve and check box at a legend position (0 for the first legend).
std::uint32_t legendColour(std::size_t position);
