// Harmonic distortion: the DFT over a period, the level search through a characteristic, power
// cycles of single-ended and push-pull stages, and the gain stages' "Distortion" line.
#include "approx.h"
#include "solve_fixture.h"

#include "power/waveforms.h"
#include "solver/distortion.h"
#include "util/format.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>

namespace {

std::vector<double> sampled(int N, const std::function<double(double)>& wave) {
    std::vector<double> x(static_cast<std::size_t>(N));
    for (int j = 0; j < N; ++j)
        x[static_cast<std::size_t>(j)] = wave(2 * std::numbers::pi * j / N);
    return x;
}

double decibels(double ratio) {
    return 20 * std::log10(ratio);
}

} // namespace

TEST(Harmonics, KnownWaveforms) {
    struct Case {
        const char* name;
        std::function<double(double)> wave;
        double fundamental;
        std::array<double, 4> h;
        double thd;
    } cases[] = {
        {"pure sine on an offset", [](double t) { return 3 + 2 * std::sin(t); }, 2, {0, 0, 0, 0}, 0},
        {"cosine phase", [](double t) { return std::cos(t); }, 1, {0, 0, 0, 0}, 0},
        {"10 % second, 5 % third",
         [](double t) { return std::sin(t) + 0.1 * std::cos(2 * t) + 0.05 * std::sin(3 * t); },
         1,
         {0.1, 0.05, 0, 0},
         std::hypot(0.1, 0.05)},
        // A harmonic above the fifth is not listed but counts in the total.
        {"seventh only",
         [](double t) { return std::sin(t) + 0.02 * std::sin(7 * t); },
         1,
         {0, 0, 0, 0},
         0.02},
    };
    for (const Case& c : cases) {
        for (int N : {1020, 512, 64}) {
            const Harmonics h = harmonicsOf(sampled(N, c.wave));
            EXPECT_NEAR(h.fundamental, c.fundamental, 1e-9) << c.name << " N " << N;
            for (int k = 2; k <= 5; ++k)
                EXPECT_NEAR(h.harmonic(k), c.h[static_cast<std::size_t>(k - 2)], 1e-9) << c.name << " H" << k;
            EXPECT_NEAR(h.thd, c.thd, 1e-6) << c.name << " N " << N;
        }
    }
}

TEST(Harmonics, DegeneratePeriodsGiveNothing) {
    EXPECT_EQ(harmonicsOf({}).fundamental, 0);
    EXPECT_EQ(harmonicsOf(std::vector<double>(5, 1.0)).thd, 0);
    EXPECT_EQ(harmonicsOf(std::vector<double>(100, 7.0)).thd, 0); // flat: no fundamental
    std::vector<double> broken = sampled(100, [](double t) { return std::sin(t); });
    broken[3] = std::nan("");
    EXPECT_EQ(harmonicsOf(broken).fundamental, 0);
}

TEST(DistortionAtLevel, IdealLinearCharacteristicIsClean) {
    // A gain of −25 without limits: the input is level/25 and nothing but the fundamental comes out.
    const Characteristic linear = [](double v) -> std::optional<double> { return -25 * v; };
    const StageDistortion d = distortionAtLevel(linear, 10, 1);
    ASSERT_FALSE(d.beyondSwing);
    EXPECT_NEAR(d.input, 0.4, 1e-9);
    EXPECT_NEAR(d.harmonics.fundamental, 10, 1e-8);
    EXPECT_LT(d.harmonics.thd, 1e-4); // below 0.01 %
}

TEST(DistortionAtLevel, SwingLimits) {
    // Linear up to an input of ±2 V, with an output of 50 V at most: 60 V is beyond it and the
    // message's figure is the largest fundamental within the swing.
    const Characteristic clipped = [](double v) -> std::optional<double> {
        if (std::fabs(v) > 2)
            return std::nullopt;
        return 25 * v;
    };
    const StageDistortion beyond = distortionAtLevel(clipped, 60, 0.1);
    EXPECT_TRUE(beyond.beyondSwing);
    EXPECT_NEAR(beyond.maxLevel, 50, 1e-4);
    EXPECT_EQ(distortionLine(beyond),
              "<br>Distortion at 60 V peak out: beyond the stage's swing (at most 50.0 V peak)");
    EXPECT_FALSE(distortionAtLevel(clipped, 49, 0.1).beyondSwing);
    for (double level : {0.0, -1.0, std::nan("")})
        EXPECT_TRUE(distortionAtLevel(clipped, level, 0.1).beyondSwing) << level;
    // A square-law characteristic: its second harmonic is A/4 of the fundamental for y = v + v²/2 …
    const Characteristic square = [](double v) -> std::optional<double> { return v + 0.5 * v * v; };
    const StageDistortion d = distortionAtLevel(square, 0.1, 1);
    EXPECT_NEAR(d.harmonics.relative(2), d.input / 4, 1e-7);
    EXPECT_NEAR(d.harmonics.relative(3), 0, 1e-9);
}

TEST(GainStageDistortion, CommonCathodeEcc83) {
    // ECC83 at 250 V through 100k, cathode bypassed, into 1 M: a second harmonic of about a percent
    // at 10 V out, growing in proportion to the level, and a swing of several tens of volts.
    SolveRequest rq = firstOpening(1, {{"LBtube", "ECC83 / 12AX7"},
                                       {"EdVb", "300"},
                                       {"EdRa", "100k"},
                                       {"EdRk", "1.5k"},
                                       {"EdRo", "1M"},
                                       {"CheckBoxCkconnected", "1"}});
    std::vector<double> second;
    for (double level : {5.0, 10.0, 20.0}) {
        rq.thdLevel = level;
        const SolveOutcome out = solveCommand(rq);
        ASSERT_TRUE(out.solved);
        ASSERT_TRUE(out.result.distortion);
        const StageDistortion& d = *out.result.distortion;
        ASSERT_FALSE(d.beyondSwing) << level;
        EXPECT_NEAR(d.harmonics.fundamental, level, 1e-6 * level);
        second.push_back(d.harmonics.relative(2));
        EXPECT_GT(d.harmonics.relative(2), d.harmonics.relative(3)) << level;
        EXPECT_NE(out.result.acReport.find(strFormat("Distortion at %g V peak out", level)),
                  std::string::npos);
    }
    EXPECT_GT(second[1], 0.002);
    EXPECT_LT(second[1], 0.03);
    EXPECT_NEAR(second[2] / second[1], 2, 0.3); // H2 grows with the swing
    rq.thdLevel = 500;
    const SolveOutcome far = solveCommand(rq);
    ASSERT_TRUE(far.result.distortion);
    EXPECT_TRUE(far.result.distortion->beyondSwing);
    EXPECT_GT(far.result.distortion->maxLevel, 30);
    EXPECT_NE(far.result.acReport.find("beyond the stage's swing"), std::string::npos);
}

TEST(GainStageDistortion, EveryGainStageReportsALine) {
    for (int circuit : {1, 13, 32, 36}) {
        const SolveOutcome out = solveCommand(firstOpening(circuit, {}));
        if (!out.solved || !out.result.distortion)
            continue; // a first-use sheet that does not solve says so in its own tests
        EXPECT_NE(out.result.acReport.find("Distortion at 10 V peak out"), std::string::npos) << circuit;
    }
    // An unbypassed cathode resistor feeds back: less distortion at the same level.
    const auto thd = [](const char* bypassed) {
        const SolveOutcome out = solveCommand(firstOpening(1, {{"LBtube", "ECC83 / 12AX7"},
                                                               {"EdVb", "300"},
                                                               {"EdRa", "100k"},
                                                               {"EdRk", "1.5k"},
                                                               {"EdRo", "1M"},
                                                               {"CheckBoxCkconnected", bypassed}}));
        return out.result.distortion ? out.result.distortion->harmonics.thd : -1;
    };
    EXPECT_LT(thd("0"), thd("1"));
    EXPECT_GT(thd("0"), 0);
}

TEST(PowerDistortion, SingleEnded300BAtFullSwing) {
    // 300B at 350 V and 70 mA (fixed bias) into 3k5: at the largest swing before grid current the
    // second harmonic of the anode current dominates and is several percent.
    const SolveOutcome out = solveCommand(firstOpening(37, {{"LBtube", "300B"},
                                                            {"EdVb", "360"},
                                                            {"EdRp", "100"},
                                                            {"EdRa", "3500"},
                                                            {"EdVg", "-72"},
                                                            {"EdRk", "0"}}));
    ASSERT_TRUE(out.solved);
    ASSERT_TRUE(out.result.power);
    const PowerData& p = *out.result.power;
    ASSERT_GT(p.cycles.size(), 10u);
    const Harmonics full = cycleHarmonics(p, p.trackMax());
    EXPECT_GT(full.relative(2), 0.02);
    EXPECT_LT(full.relative(2), 0.12);
    EXPECT_GT(full.relative(2), 3 * full.relative(3));
    // Distortion grows with the swing; the resting cycle has none.
    const std::vector<Harmonics> all = powerHarmonics(p);
    EXPECT_EQ(all.front().thd, 0);
    // A volt of swing moves the current by a few milliamperes: within the 0.1 mA to which the
    // samples meet the load line, so no figure is given for it.
    EXPECT_FALSE(all[1].resolved);
    EXPECT_EQ(harmonicsText(all[1]), "swing too small to resolve");
    EXPECT_TRUE(all.back().resolved);
    EXPECT_LT(all[all.size() / 2].thd, full.thd);
}

TEST(PowerDistortion, MatchedPushPullCancelsEvenHarmonics) {
    // EL34 pair, fixed bias: each tube's current is rich in even harmonics, the primary current is not.
    const SolveOutcome out = solveCommand(firstOpening(
        42, {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}}));
    ASSERT_TRUE(out.solved);
    ASSERT_TRUE(out.result.power);
    const PowerData& p = *out.result.power;
    ASSERT_GT(p.cycles.size(), 4u);
    const int last = p.trackMax();
    const Harmonics primary = cycleHarmonics(p, last);
    const double odd = std::max(primary.harmonic(3), primary.harmonic(5));
    ASSERT_GT(odd, 0);
    for (int even : {2, 4})
        EXPECT_LT(decibels(primary.harmonic(even) / odd), -40) << "H" << even;
    // One tube alone: its second harmonic is far above the primary's.
    std::vector<double> tube1 = fullPeriod(p.cycles[static_cast<std::size_t>(last)], WaveQuantity::Current);
    tube1.pop_back();
    EXPECT_GT(harmonicsOf(tube1).relative(2), 0.01);
}
