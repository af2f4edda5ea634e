// Values and colours behind the Bandwidth tab's option choices.
#include "frequency/bode_options.h"

#include <array>

namespace {
template <std::size_t N> double pick(const std::array<double, N>& values, int index, double fallback) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? values[static_cast<std::size_t>(index)]
                                                             : fallback;
}
} // namespace

const std::vector<std::string>& freqMinItems() {
    static const std::vector<std::string> items{"0.1 Hz", "1 Hz", "10 Hz", "100 Hz"};
    return items;
}

const std::vector<std::string>& freqMaxItems() {
    static const std::vector<std::string> items{"10 kHz", "100 kHz", "1 MHz", "10 MHz"};
    return items;
}

const std::vector<std::string>& strayCapItems() {
    static const std::vector<std::string> items{"1 pF", "2 pF", "3 pF", "4 pF", "5 pF"};
    return items;
}

const std::vector<std::string>& feedbackItems() {
    static const std::vector<std::string> items{"None",         "1/1000 -30dB", "1/500  -27dB",
                                                "1/200  -23dB", "1/100  -20dB", "1/50   -17dB",
                                                "1/20   -13dB", "1/10   -10dB"};
    return items;
}

const std::vector<std::string>& acModeItems() {
    static const std::vector<std::string> items{"classic (magnitudes)", "exact (phase)"};
    return items;
}

double freqMinOf(int index) {
    return pick(std::array<double, 4>{0.1, 1, 10, 100}, index, 1);
}

double freqMaxOf(int index) {
    return pick(std::array<double, 4>{1e4, 1e5, 1e6, 1e7}, index, 1e5);
}

double feedbackRatioOf(int index) {
    return pick(std::array<double, 8>{0, 0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1}, index, 0);
}

double strayUnitOf(int index) {
    return (index + 1) * 1e-12;
}

std::uint32_t legendColour(std::size_t position) {
    static const std::array<std::uint32_t, 7> colours{0xFF8A2BE2, 0xFFFF7F50, 0xFF008000, 0xFF00CED1,
                                                      0xFFFF0000, 0xFF800000, 0xFF000080};
    return colours[position % colours.size()];
}
