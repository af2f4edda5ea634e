// Swing waveforms: the period rebuilt from a quarter, its scale and grid, and the tab's captions.
#include "approx.h"
#include "power/waveforms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
// A cycle of n samples around (Va0, Ia0): point 1 moves by (−dv1, +di1)·s, point 2 by (+dv2, −di2)·s.
TRecCycle syntheticCycle(int n, double dv1, double dv2, double di1, double di2) {
    TRecCycle c;
    for (int i = 0; i < n; ++i) {
        const double s = n > 1 ? std::sin(i * (M_PI / 2) / (n - 1)) : 0;
        TPointOper p;
        p.va1 = 300 - dv1 * s;
        p.ia1 = 0.06 + di1 * s;
        p.va2 = 300 + dv2 * s;
        p.ia2 = 0.06 - di2 * s;
        c.PointsOper.push_back(p);
    }
    return c;
}
} // namespace

TEST(Waveforms, FullPeriodFollowsTheQuarterBySymmetry) {
    TRecCycle c = syntheticCycle(kPointsPerCycle, 0, 0, 0, 0);
    for (int i = 0; i < kPointsPerCycle; ++i) {
        c.PointsOper[i].va1 = 1000 + i; // point 1 samples read 1000 + i
        c.PointsOper[i].va2 = 2000 + i; // point 2 samples read 2000 + i
    }
    const auto v = fullPeriod(c, WaveQuantity::Voltage);
    ASSERT_EQ(v.size(), static_cast<std::size_t>(kWavePoints));
    ASSERT_EQ(kWavePoints, 1021);
    const struct {
        int j;
        double value;
    } rows[] = {{0, 1000},   {255, 1255}, {256, 1254}, {510, 1000},
                {511, 2001}, {765, 2255}, {766, 2254}, {1020, 2000}};
    for (const auto& r : rows)
        EXPECT_EQ(v[r.j], r.value) << "point " << r.j;

    EXPECT_TRUE(fullPeriod(TRecCycle{}, WaveQuantity::Current).empty());
    EXPECT_EQ(fullPeriod(syntheticCycle(1, 0, 0, 0, 0), WaveQuantity::Current).size(), 1u);
}

TEST(Waveforms, ScaleIsTheLargestDeviationOfEitherPoint) {
    const struct {
        const char* name;
        TRecCycle cycle;
        WaveQuantity q;
        double Q, A;
    } rows[] = {
        {"voltage, point 2 swings further", syntheticCycle(256, 80, 120, 0.05, 0.03), WaveQuantity::Voltage,
         300, 120},
        {"current, point 1 swings further", syntheticCycle(256, 80, 120, 0.05, 0.03), WaveQuantity::Current,
         0.06, 0.05},
        {"flat cycle", syntheticCycle(256, 0, 0, 0, 0), WaveQuantity::Voltage, 300, 0},
        {"no samples", TRecCycle{}, WaveQuantity::Current, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const WaveScale s = waveScale(r.cycle, r.q);
        EXPECT_REL(s.Q, r.Q, 1e-12);
        EXPECT_NEAR(s.A, r.A, 1e-9);
        EXPECT_EQ(s.flat(), r.A == 0);
    }
}

TEST(Waveforms, FramePutsTheExtremesThirtyFivePixelsIn) {
    const WaveFrame f{800, 400, 50};
    EXPECT_DOUBLE_EQ(f.x(0), 35);
    EXPECT_DOUBLE_EQ(f.x(kWavePoints), 765);
    EXPECT_DOUBLE_EQ(f.y(0), 200);
    EXPECT_DOUBLE_EQ(f.y(50), 35);
    EXPECT_DOUBLE_EQ(f.y(-50), 365);
    const WaveFrame flat{800, 400, 0}; // no deviation: everything on the centre line, never NaN
    EXPECT_DOUBLE_EQ(flat.y(0), 200);
    EXPECT_DOUBLE_EQ(flat.y(-300), 200);
}

TEST(Waveforms, GridEveryTenVoltsOrTenMilliamps) {
    const struct {
        const char* name;
        double A;
        WaveQuantity q;
        std::vector<double> levels;
    } rows[] = {
        {"25 V", 25, WaveQuantity::Voltage, {0, 10, 20, -10, -20}},
        {"exactly 20 V", 20, WaveQuantity::Voltage, {0, 10, -10}},
        {"25 mA", 0.025, WaveQuantity::Current, {0, 0.01, 0.02, -0.01, -0.02}},
        {"flat", 0, WaveQuantity::Voltage, {}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const auto got = waveGridLevels(r.A, r.q);
        ASSERT_EQ(got.size(), r.levels.size());
        for (std::size_t k = 0; k < got.size(); ++k)
            EXPECT_NEAR(got[k], r.levels[k], 1e-12);
    }
    EXPECT_LE(waveGridLevels(1e9, WaveQuantity::Current).size(), 2000u); // bounded
}

TEST(Waveforms, InputIsOneSinePeriodOverThePoints) {
    EXPECT_NEAR(waveInput(0), 0, 1e-12);
    EXPECT_NEAR(waveInput(255), 1, 1e-12);
    EXPECT_NEAR(waveInput(510), 0, 1e-12);
    EXPECT_NEAR(waveInput(765), -1, 1e-12);
}

TEST(Waveforms, CaptionsOfTheTab) {
    const struct {
        WaveDisplay display;
        const char* vin;
        const char* quantity;
        std::uint32_t colour;
    } rows[] = {
        {WaveDisplay::Voltage, "Thin line: Vin swing shape (inverted) 5V", "Anode voltage", 0xFF0000},
        {WaveDisplay::Current, "Thin line: Vin swing shape 5V", "Anode current", 0xFF7F00},
        {WaveDisplay::Both, "Thin line: Vin swing shape 5V", "va ia waveforms", 0x000000},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.quantity);
        const WaveCaptions c = waveCaptions(r.display, 5);
        EXPECT_EQ(c.track, "Vg swing 5V");
        EXPECT_EQ(c.vin, r.vin);
        EXPECT_EQ(c.quantity, r.quantity);
        EXPECT_EQ(c.colour, r.colour);
    }
}

TEST(Waveforms, TrackPositionStaysWithinTheCycles) {
    PowerData d;
    EXPECT_EQ(waveCycleIndex(d, 5), -1);
    d.cycles.resize(20);
    const struct { int p, index; } rows[] = {{5, 5}, {0, 0}, {19, 19}, {50, 19}, {-3, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(waveCycleIndex(d, r.p), r.index) << "position " << r.p;
}
