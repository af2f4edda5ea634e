// Bandwidth run: frequency list, chain gain with feedback, sweep, peak and corners, per-stage table.
#include "approx.h"
#include "builtin_tubes.h"
#include "frequency/bode.h"
#include "frequency/bode_options.h"

#include <cmath>

namespace {

constexpr double pF = 1e-12;

// The chain of a common-cathode stage (C1): input network, the stage, the output load.
std::vector<TQuadripole> c1Chain(const TTube& t, double Ra = 100e3, bool ignoreMiller = false) {
    const double S = 1 * pF;
    std::vector<TQuadripole> q;
    q.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                   std::vector<double>{600, 100e-9, 1e6, 0, 1e3, 0, S},
                   std::vector<bool>{ignoreMiller, false});
    q.emplace_back(tqpTubeCatCom, &t, std::vector<int>{2}, std::vector<double>{Ra, 1.5e3, 10e-6, S},
                   std::vector<bool>{ignoreMiller, true});
    q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                   std::vector<double>{0, 100e-9, 100e3, 10 * pF, S}, std::vector<bool>{ignoreMiller});
    return q;
}

TLegendes legendsOf(std::initializer_list<const char*> texts) {
    TLegendes l;
    std::size_t i = 0;
    for (const char* text : texts)
        l.push_back({text, true, legendColour(i++)});
    return l;
}

} // namespace

TEST(BodeFrequencyList, DecadesFromMinToMax) {
    struct Row {
        const char* name;
        double fmin, fmax;
        std::size_t count;
    };
    const Row rows[] = {
        {"1 Hz to 100 kHz", 1, 1e5, 46},
        {"0.1 Hz to 10 kHz", 0.1, 1e4, 46},
        {"10 Hz to 1 MHz", 10, 1e6, 46},
        {"100 Hz to 10 MHz", 100, 1e7, 46},
        {"0.1 Hz to 10 MHz", 0.1, 1e7, 73},
        {"100 Hz to 10 kHz", 100, 1e4, 19},
        {"one point", 1, 1, 1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto F = frequencyList(r.fmin, r.fmax);
        ASSERT_EQ(F.size(), r.count);
        EXPECT_EQ(F.front(), r.fmin);
        EXPECT_EQ(F.back(), r.fmax);
        for (std::size_t i = 1; i < F.size(); ++i)
            EXPECT_GT(F[i], F[i - 1]);
    }
    const auto F = frequencyList(1, 1e5);
    EXPECT_EQ(F[8], 9.0);
    EXPECT_EQ(F[9], 10.0);
    EXPECT_EQ(F[10], 20.0);
    // A non-positive start gives no list instead of looping.
    EXPECT_TRUE(frequencyList(0, 1e5).empty());
    EXPECT_TRUE(frequencyList(-1, 1e5).empty());
}

TEST(BodeOptions, ItemValues) {
    struct Row {
        int index;
        double fmin, fmax, beta;
    };
    const Row rows[] = {
        {-1, 1, 1e5, 0},   {0, 0.1, 1e4, 0},  {1, 1, 1e5, 0.001}, {2, 10, 1e6, 0.002}, {3, 100, 1e7, 0.005},
        {4, 1, 1e5, 0.01}, {5, 1, 1e5, 0.02}, {6, 1, 1e5, 0.05},  {7, 1, 1e5, 0.1},    {8, 1, 1e5, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        EXPECT_EQ(freqMinOf(r.index), r.fmin);
        EXPECT_EQ(freqMaxOf(r.index), r.fmax);
        EXPECT_EQ(feedbackRatioOf(r.index), r.beta);
    }
    EXPECT_EQ(strayUnitOf(0), 1e-12);
    EXPECT_REL(strayUnitOf(4), 5e-12, 1e-12);
    EXPECT_EQ(feedbackItems().size(), 8u);
    EXPECT_EQ(feedbackItems()[7], "1/10   -10dB");
    EXPECT_EQ(freqMaxItems()[3], "10 MHz");
    EXPECT_EQ(legendColour(0), 0xFF8A2BE2u);
    EXPECT_EQ(legendColour(1), 0xFFFF7F50u);
    EXPECT_EQ(legendColour(3), 0xFF00CED1u);
    EXPECT_EQ(legendColour(6), 0xFF000080u);
}

TEST(BodeChainGain, FeedbackOnAProductOfHundred) {
    const TTube t = biasedEcc83();
    // Tune the anode resistor of a two-stage chain until the product of its gains is 100 at 1 kHz.
    const auto chainAt = [&](double Ra) {
        auto q = c1Chain(t, 100e3);
        q.insert(q.begin() + 2,
                 TQuadripole(tqpTubeCatCom, &t, {3}, {Ra, 1.5e3, 10e-6, 1 * pF}, {false, true}));
        q[1].Faval = {2};
        return q;
    };
    double lo = 100, hi = 1e7;
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(lo * hi);
        auto q = chainAt(mid);
        (chainProduct(q, 1000) < 100 ? lo : hi) = mid;
    }
    auto q = chainAt(lo);
    ASSERT_TRUE(RelNear(chainProduct(q, 1000), 100, 1e-9));
    EXPECT_REL(gainChain(q, feedbackRatioOf(7), 1000), 100.0 / 11, 1e-9);
    EXPECT_NEAR(gainChain(q, 0.1, 1000), 9.09, 0.005);
    // "None" leaves the plain product of the main gains.
    const double P = gainChain(q, feedbackRatioOf(0), 1000);
    EXPECT_REL(P, q[0].Av0() * q[1].Av0() * q[2].Av0() * q[3].Av0(), 1e-12);
}

TEST(BodeChainGain, LoadsComeFromTheDrivenTwoPorts) {
    const TTube t = biasedEcc83();
    auto q = c1Chain(t);
    gainChain(q, 0, 1000);
    const double gStage = q[1].Av0();
    // The same stage evaluated alone with the output load's input impedance gives the same gain.
    TQuadripole alone(tqpTubeCatCom, &t, {2}, {100e3, 1.5e3, 10e-6, 1 * pF}, {false, true});
    double g0 = 0, g1 = 0;
    alone.getVarGains({1000, q[2].Zi()}, g0, g1);
    EXPECT_EQ(g0, gStage);
    // An output with no two-port behind it is open: the stage sees only its own anode load.
    auto open = c1Chain(t);
    open[1].Faval.clear();
    gainChain(open, 0, 1000);
    EXPECT_GT(open[1].Av0(), gStage);
}

TEST(BodePeakBracket, IndexMovedInFromTheEnds) {
    struct Row {
        const char* name;
        std::vector<double> A;
        std::size_t m;
    };
    std::vector<double> falling(46), rising(46), hump(46, 1.0);
    for (std::size_t i = 0; i < 46; ++i) {
        falling[i] = 100.0 - i;
        rising[i] = 1.0 + i;
    }
    hump[17] = 5;
    hump[30] = 5; // a tie: the first one counts
    const Row rows[] = {
        {"largest at the first point", falling, 5},
        {"largest at the last point", rising, 40},
        {"interior peak, first of a tie", hump, 17},
        {"all zero", std::vector<double>(46, 0.0), 5},
        {"short sweep", {3, 2, 1, 0}, 2},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(peakBracketIndex(r.A), r.m);
    }
}

TEST(BodeRun, CommonCathodeStage) {
    const TTube t = biasedEcc83();
    auto q = c1Chain(t);
    const TLegendes legends = legendsOf({"RC input", "T1", "RC output", "Overall gain"});
    const BodeData d = calculBode("my config", q, legends, "C1", 0, 1e5, 1);
    EXPECT_TRUE(q.empty());
    EXPECT_EQ(d.title, "my config");
    EXPECT_EQ(d.tag, "C1");
    ASSERT_EQ(d.freqs.size(), 46u);
    ASSERT_EQ(d.curves.size(), 3u);
    ASSERT_EQ(d.overall.size(), 46u);
    EXPECT_TRUE(d.overallDrawn);
    for (std::size_t i = 0; i < 46; ++i)
        EXPECT_REL(d.overall[i], d.curves[0][i] * d.curves[1][i] * d.curves[2][i], 1e-12);

    // A band-pass: peak inside the sweep, corners on each side at 0.7071 of the peak.
    EXPECT_GT(d.fpk, 10);
    EXPECT_LT(d.fpk, 1e4);
    EXPECT_GT(d.Apk, 30);
    EXPECT_GE(d.Apk, d.Amax * 0.999);
    EXPECT_GT(d.fL, 0.5);
    EXPECT_LT(d.fL, 200);
    EXPECT_GT(d.fH, 1e4);
    EXPECT_LE(d.fH, 1e6);
    auto again = c1Chain(t);
    EXPECT_NEAR(gainChain(again, 0, d.fL) / d.Apk, 0.7071, 0.001);
    EXPECT_NEAR(gainChain(again, 0, d.fH) / d.Apk, 0.7071, 0.001);

    EXPECT_EQ(d.summary.rfind("Max gain x", 0), 0u) << d.summary;
    EXPECT_NE(d.summary.find("dB @ ~"), std::string::npos) << d.summary;
    EXPECT_NE(d.summary.find("kHz"), std::string::npos) << d.summary;
}

TEST(BodeRun, OptionsGiveRangeAndFeedback) {
    const TTube t = biasedEcc83();
    auto q = c1Chain(t);
    BodeOptions options;
    options.freqmin = 0;  // 0.1 Hz
    options.freqmax = 2;  // 1 MHz
    options.feedback = 7; // 1/10
    const BodeData d =
        calculBode("", q, legendsOf({"RC input", "T1", "RC output", "Overall gain"}), "C1", options);
    EXPECT_EQ(d.freqs.front(), 0.1);
    EXPECT_EQ(d.freqs.back(), 1e6);
    EXPECT_EQ(d.beta, 0.1);
    for (std::size_t i = 0; i < d.freqs.size(); ++i) {
        const double P = d.curves[0][i] * d.curves[1][i] * d.curves[2][i];
        EXPECT_REL(d.overall[i], P / (1 + 0.1 * P), 1e-12);
    }
    EXPECT_EQ(nonZeroCapacitance(0), 1e-12);
    EXPECT_EQ(nonZeroCapacitance(47e-9), 47e-9);
}

TEST(BodeRun, TableHoldsSevenGroupsWithSeparators) {
    const TTube t = biasedEcc83();
    auto q = c1Chain(t);
    TLegendes legends = legendsOf({"RC input", "T1", "RC output", "Overall gain"});
    legends[1].display = false; // a hidden curve keeps its table rows
    const BodeData d = calculBode("", q, legends, "C1", 0.01, 1e5, 1);
    ASSERT_EQ(d.table.size(), 7u * 4u);
    const double freqs[] = {d.fpk, 1, 10, 100, 1000, 10000, 100000};
    const char* natures[] = {"RC-in", "Cat-com", "RC-out"};
    for (std::size_t g = 0; g < 7; ++g) {
        SCOPED_TRACE(g);
        for (std::size_t r = 0; r < 3; ++r) {
            const TDataQP& row = d.table[4 * g + r];
            EXPECT_FALSE(row.separator);
            EXPECT_EQ(row.titre, legends[r].titre);
            EXPECT_EQ(row.couleur, legends[r].color);
            EXPECT_EQ(row.nature, natures[r]);
            EXPECT_EQ(row.freq, freqs[g]);
            EXPECT_GT(row.zin, 0);
        }
        EXPECT_TRUE(d.table[4 * g + 3].separator);
    }
    // Rows hold the gains without feedback: the stage gains multiply to the plain product.
    auto again = c1Chain(t);
    const double P = gainChain(again, 0, 1000);
    EXPECT_REL(d.table[16].av * d.table[17].av * d.table[18].av, P, 1e-12);
}

TEST(BodeRun, SplitterHasNoOverallCurve) {
    const TTube t = biasedEcc83();
    const double S = 2 * pF;
    std::vector<TQuadripole> q;
    q.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                   std::vector<double>{600, 100e-9, 1e6, 0, 1e3, 0, S}, std::vector<bool>{false, false});
    q.emplace_back(tqpTubeCathodyne, &t, std::vector<int>{2, 3},
                   std::vector<double>{22e3, 18e3, 1e6, 1.5e3, 100e-6, S}, std::vector<bool>{false});
    for (int i = 0; i < 2; ++i)
        q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, 100e-9, 1e6, 10 * pF, S}, std::vector<bool>{false});
    const TLegendes legends = legendsOf({"RC input", "T1 anode", "T1 cathode", "out anode", "out cathode"});
    const BodeData d = calculBode("", q, legends, "C2", 0, 1e5, 1);
    ASSERT_EQ(d.curves.size(), 5u);
    EXPECT_FALSE(d.overallDrawn);
    EXPECT_TRUE(d.summary.empty());
    ASSERT_EQ(d.table.size(), 7u * 6u);
    // The second output's row carries the cathode gain, with the cathodyne's input impedance.
    const TDataQP& anode = d.table[6 * 4 + 1];
    const TDataQP& cathode = d.table[6 * 4 + 2];
    EXPECT_EQ(cathode.nature, "Cathodyne");
    EXPECT_EQ(cathode.titre, "T1 cathode");
    EXPECT_GT(cathode.av, 0.5);
    EXPECT_NE(cathode.av, anode.av);
    EXPECT_EQ(cathode.zin, anode.zin);
    // The 1 kHz group matches the sweep point at 1 kHz, output by output.
    ASSERT_EQ(d.freqs[27], 1000.0);
    for (std::size_t c = 0; c < 5; ++c)
        EXPECT_EQ(d.table[6 * 4 + c].av, d.curves[c][27]) << c;
}

TEST(BodeRun, PeakAtFirstPointAndHighCornerCap) {
    // A plain low-pass (series resistance into a loaded capacitor): the largest gain is at the
    // first sweep point, so the peak is searched between F[4] and F[6]; there is no low corner.
    std::vector<TQuadripole> q;
    q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                   std::vector<double>{10e3, 1.0, 100e3, 1e-9, 1 * pF}, std::vector<bool>{false});
    const BodeData d = calculBode("", q, legendsOf({"RC output", "Overall gain"}), "C3", 0, 1e5, 1);
    EXPECT_GE(d.fpk, d.freqs[4]);
    EXPECT_LE(d.fpk, d.freqs[6]);
    EXPECT_EQ(d.fL, 0.0);
    EXPECT_GT(d.fH, 1e3);
    EXPECT_LT(d.fH, 1e5);
    EXPECT_NE(d.summary.find("BW -3dB HI "), std::string::npos) << d.summary;

    // A response flat to beyond 1 MHz, swept to 10 MHz: the high corner stays at 1 MHz at most.
    std::vector<TQuadripole> wide;
    wide.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                      std::vector<double>{10, 1e-3, 100e3, 1e-15, 1e-15}, std::vector<bool>{false});
    const BodeData w = calculBode("", wide, legendsOf({"RC output", "Overall gain"}), "C3", 0, 1e7, 100);
    EXPECT_EQ(w.freqs.back(), 1e7);
    EXPECT_GT(w.fH, 0);
    EXPECT_LE(w.fH, 1e6);
}

TEST(BodeRun, AllZeroGainsEndCleanly) {
    // A shorted grid resistor and a shorted load: every gain is 0 at every frequency.
    std::vector<TQuadripole> q;
    q.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                   std::vector<double>{600, 100e-9, 0, 0, 1e3, 0, 1 * pF}, std::vector<bool>{false, false});
    q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                   std::vector<double>{0, 100e-9, 0, 10 * pF, 1 * pF}, std::vector<bool>{false});
    const BodeData d =
        calculBode("", q, legendsOf({"RC input", "RC output", "Overall gain"}), "C1", 0.1, 1e5, 1);
    for (const double a : d.overall)
        EXPECT_EQ(a, 0.0);
    EXPECT_TRUE(std::isfinite(d.fpk));
    EXPECT_EQ(d.Apk, 0.0);
    EXPECT_EQ(d.fL, 0.0);
    EXPECT_EQ(d.fH, 0.0);
    EXPECT_NE(d.summary.find("BW not calculable"), std::string::npos) << d.summary;
    EXPECT_EQ(d.table.size(), 7u * 3u);
}

TEST(BodeRun, IgnoreMillerWidensTheBand) {
    const TTube t = biasedEcc83();
    // A high source resistance makes the Miller capacitance set the high corner.
    auto make = [&](bool ignore) {
        auto q = c1Chain(t, 100e3, ignore);
        q[0].R1 = 100e3;
        return q;
    };
    auto withMiller = make(false), without = make(true);
    const auto legends = legendsOf({"RC input", "T1", "RC output", "Overall gain"});
    const double fHMiller = calculBode("", withMiller, legends, "C1", 0, 1e6, 1).fH;
    const double fHIgnored = calculBode("", without, legends, "C1", 0, 1e6, 1).fH;
    EXPECT_GT(fHIgnored, 2 * fHMiller);
}

TEST(BodeRun, DifferentialSecondOutputFromTheChain) {
    // The C7 chain: the pair drives two output loads; its second gain reaches the curves and the
    // table through the chain evaluation (the stage itself stores only its main gain).
    const TTube t = biasedEcc83();
    const double S = 1 * pF;
    const auto chain = [&] {
        std::vector<TQuadripole> q;
        q.emplace_back(tqpInputGrid, nullptr, std::vector<int>{1},
                       std::vector<double>{600, 100e-9, 1e6, 0, 1e3, 0, S}, std::vector<bool>{false, false});
        q.emplace_back(tqpTubeDifférentiel, &t, std::vector<int>{2, 3},
                       std::vector<double>{100e3, 82e3, 22e3, S}, std::vector<bool>{false});
        q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, 100e-9, 1e6, 10 * pF, S}, std::vector<bool>{false});
        q.emplace_back(tqpOutputLoad, nullptr, std::vector<int>{},
                       std::vector<double>{0, 47e-9, 470e3, 10 * pF, S}, std::vector<bool>{false});
        return q;
    };
    auto q = chain();
    gainChain(q, 0, 1000);
    // The pair's loads are the input impedances of indexes 2 and 3, in that order.
    TQuadripole alone(tqpTubeDifférentiel, &t, {2, 3}, {100e3, 82e3, 22e3, S}, {false});
    double g0 = 0, g1 = 0;
    alone.getVarGains({1000, q[2].Zi(), q[3].Zi()}, g0, g1);
    EXPECT_EQ(q[1].Av0(), g0);
    EXPECT_EQ(q[1].Av1(), g1);
    ASSERT_GT(g1, 0);

    auto run = chain();
    const BodeData d =
        calculBode("", run, legendsOf({"RC input", "T1 out1", "T2 out2", "out 1", "out 2"}), "C7", 0, 1e5, 1);
    ASSERT_EQ(d.curves.size(), 5u);
    EXPECT_FALSE(d.overallDrawn);
    ASSERT_EQ(d.freqs[27], 1000.0);
    EXPECT_EQ(d.curves[2][27], g1);
    ASSERT_EQ(d.table.size(), 7u * 6u);
    const TDataQP& second = d.table[6 * 4 + 2];
    EXPECT_EQ(second.nature, "Differen.");
    EXPECT_EQ(second.titre, "T2 out2");
    EXPECT_EQ(second.av, g1);
    EXPECT_EQ(second.zin, d.table[6 * 4 + 1].zin);
}
