// The decibel figure of a gain, for every text that shows one: none for a gain of 0 or a gain that is
// not finite (a stage that passes nothing has no figure, never "-inf dB").
#pragma once

#include <cmath>
#include <optional>

// 20·log10|gain|, or nothing when that is not a finite number.
inline std::optional<double> decibels(double gain) {
    const double dB = 20 * std::log10(std::fabs(gain));
    if (!std::isfinite(dB))
        return std::nullopt;
    return dB;
}
