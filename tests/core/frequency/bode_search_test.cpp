// The bisections of the bandwidth run on known gain functions, including ones that never meet
// the tolerance: each must end.
#include "approx.h"
#include "frequency/bode_search.h"

#include <cmath>

namespace {
// A first-order band-pass with corners at 20 Hz and 20 kHz and a mid-band gain of 50.
double bandPass(double f) {
    const double lo = 20, hi = 20e3;
    return 50 / std::sqrt(1 + (lo / f) * (lo / f)) / std::sqrt(1 + (f / hi) * (f / hi));
}
} // namespace

TEST(BodeSearch, BandPassPeakAndCorners) {
    const double fpk = searchPeak(bandPass, 300, 900);
    EXPECT_LT(std::fabs(gainSlope(bandPass, fpk)), 0.001);
    const double Apk = bandPass(fpk);
    const double fL = searchLowCorner(bandPass, fpk, Apk);
    const double fH = searchHighCorner(bandPass, fpk, Apk);
    EXPECT_NEAR(bandPass(fL) / Apk, 0.7071, 0.001);
    EXPECT_NEAR(bandPass(fH) / Apk, 0.7071, 0.001);
    EXPECT_REL(fL, 20, 0.01);
    EXPECT_REL(fH, 20e3, 0.01);
}

TEST(BodeSearch, LoopsThatNeverMeetTheToleranceEnd) {
    struct Row {
        const char* name;
        GainOfFrequency A;
    };
    const Row rows[] = {
        // The slope is +1 below 517.3 / 1.05 and hugely negative in the window around the step.
        {"step down", [](double f) { return f < 517.3 ? f : f - 1e6; }},
        {"flat", [](double) { return 3.0; }},
        {"rising everywhere", [](double f) { return f; }},
        {"not a number", [](double) { return std::nan(""); }},
        {"infinite", [](double) { return INFINITY; }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const double fpk = searchPeak(r.A, 100, 1000);
        EXPECT_GE(fpk, 100);
        EXPECT_LE(fpk, 1000);
        const double Apk = r.A(fpk);
        const double fL = searchLowCorner(r.A, fpk, Apk);
        const double fH = searchHighCorner(r.A, fpk, Apk);
        EXPECT_TRUE(fL == 0 || (fL >= 0.01 && fL <= fpk)) << fL;
        EXPECT_TRUE(fH == 0 || (fH >= fpk && fH <= 1e6)) << fH;
    }
    // The step: the bracket closes on the edge of the slope window.
    EXPECT_NEAR(searchPeak(rows[0].A, 100, 500), 517.3 / 1.05, 1e-6);
    // A flat response has no low corner; its high corner search runs to the 1 MHz end.
    EXPECT_EQ(searchLowCorner(rows[1].A, 500, 3), 0.0);
    EXPECT_REL(searchHighCorner(rows[1].A, 500, 3), 1e6, 1e-9);
}

TEST(BodeSearch, NoTargetWithoutGain) {
    const GainOfFrequency zero = [](double) { return 0.0; };
    EXPECT_EQ(searchLowCorner(zero, 500, 0), 0.0);
    EXPECT_EQ(searchHighCorner(zero, 500, 0), 0.0);
    EXPECT_EQ(searchLowCorner(zero, 500, -1), 0.0);
    EXPECT_EQ(searchPeak(zero, 100, 1000), 550.0); // flat: stops at the first midpoint
}
