// Power-stage pictures: gauge texts and positions, the push-pull curve family and load estimate,
// pixels of the curves, and inputs without cycles or limits. VALVENIX_PLOT_SAMPLES=DIR writes the
// pictures as PNG files to look at.
#include "approx.h"
#include "builtin_tubes.h"
#include "plot_test_support.h"
#include "plots/power_plots.h"
#include "power/power_analysis.h"
#include "solve_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {
const QColor kMaroon(128, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kRed(255, 0, 0);
const QColor kOrange(255, 127, 0);

// A quarter period of samples: point 1 toward more current, point 2 toward less, along a load of
// `load` ohms, the current swinging by `di` at the crest; point 2 is clipped at `floor`.
TRecCycle cycleOf(double swing, double Va0, double Ia0, double load, double di, double floor) {
    TRecCycle c;
    for (int i = 0; i < kPointsPerCycle; ++i) {
        const double s = quarterSine(i);
        TPointOper p;
        p.swing = swing * s;
        p.vg1 = -20 + swing * s;
        p.vg2 = -20 - swing * s;
        p.ia1 = Ia0 + di * s;
        p.ia2 = std::max(Ia0 - di * s, floor);
        p.va1 = Va0 - load * (p.ia1 - Ia0);
        p.va2 = Va0 + load * (Ia0 - p.ia2);
        c.PointsOper.push_back(p);
    }
    return c;
}

// A 300B single-ended stage with `count` cycles of 1 V swing each.
PowerData singleEnded(int count, int n = 1) {
    PowerData d;
    d.circuit = 37;
    d.n = n;
    TTube t = builtinTube("300B");
    double ia = 0;
    t.CalculerNK(350, -70, ia, n);
    d.tube = t;
    d.Ia0 = ia;
    d.Va0 = 350;
    d.Vgk = -70;
    d.load = 3000;
    d.Rdc = 100;
    d.Vb = 360;
    d.Yt = 0.9;
    for (int r = 0; r < count; ++r) {
        TRecCycle c = cycleOf(r, d.Va0, d.Ia0, d.load, 0.0008 * r, 0.005);
        cycleTotals(c, StageKind::SingleEnded, d.Yt, d.Ia0, d.Va0, d.Vb);
        d.cycles.push_back(c);
    }
    return d;
}

// An EL34 fixed-bias push-pull pair with `count` cycles, bias mode R.
PowerData pushPull(int count, double R = 0.3) {
    PowerData d;
    d.circuit = 42;
    d.pushPull = true;
    d.n = 1;
    TTube t = builtinTube("EL34");
    d.Ia0 = t.current(-30, 400, 300);
    d.tube = t;
    d.Va0 = 400;
    d.Vgk = -30;
    d.Vek = 300;
    d.load = 6600;
    d.Vb = 400;
    d.Yt = 0.9;
    d.biasMode = R;
    d.className = biasClassName(R);
    d.caption = "Bias mode 30% (class AB), theoretical power class A: 25W";
    for (int k = 1; k <= count; ++k) {
        TRecCycle c = cycleOf(-k, d.Va0, d.Ia0, d.load / 4, 0.005 * k, 0);
        cycleTotals(c, StageKind::PushPull, d.Yt, d.Ia0, d.Va0, d.Vb);
        d.cycles.push_back(c);
    }
    return d;
}

// Some pixel near (x, y) of a red line, however thin: red well above green and blue.
bool reddish(const QImage& image, int x, int y, int r) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            if (x + dx < 0 || y + dy < 0 || x + dx >= image.width() || y + dy >= image.height())
                continue;
            const QColor c = image.pixelColor(x + dx, y + dy);
            if (c.red() > c.green() + 40 && c.red() > c.blue() + 40)
                return true;
        }
    return false;
}

double powerX(double W, double s, double Smax) {
    return 60 + (W - 120) * s / Smax;
}
double powerY(double H, double P, double Pmax) {
    return 60 + (H - 120) * (Pmax - P) / Pmax;
}
} // namespace

TEST(PowerPlots, CircuitLinesOfTheTitle) {
    const struct {
        int circuit;
        const char* line;
    } rows[] = {{37, "C37 self-biased triode SE"},
                {38, "C38 self-biased pentode SE"},
                {39, "C39 self-biased triode PP"},
                {40, "C40 self-biased pentode PP"},
                {41, "C41 fixed-biased triode PP"},
                {42, "C42 fixed-biased pentode PP"},
                {36, ""}};
    for (const auto& r : rows)
        EXPECT_EQ(powerCircuitLine(r.circuit), r.line) << r.circuit;
}

TEST(PowerPlots, DissipationGaugeReadsAgainstTwiceTheRating) {
    const struct {
        const char* name;
        double q;
        const char* text;
    } rows[] = {{"at the rating", 0.5, "25.0W"}, {"a little more", 0.51, "Too hot"},
                {"65 %", 0.65, "Too hot"},       {"above 65 %", 0.66, "Red plates"},
                {"above 75 %", 0.76, "Fire !"},  {"cold", 0.1, "25.0W"}};
    for (const auto& r : rows)
        EXPECT_EQ(dissipationText(r.q, 25), r.text) << r.name;

    PowerData d = pushPull(4);
    d.Va0 = 400;
    d.Ia0 = d.tube->Pamax() / 400; // one tube per side dissipating its rating
    EXPECT_REL(dissipationFraction(d), 0.5, 1e-12);
    d.n = 2;
    d.Ia0 *= 2; // a pair per side at the pair's rating
    EXPECT_REL(dissipationFraction(d), 0.5, 1e-12);
    d.Ia0 *= 10;
    EXPECT_EQ(dissipationFraction(d), 1.0);
    d.tube = TTube(unknownModel("nothing"), "T1"); // no rating: nothing to divide by
    EXPECT_EQ(dissipationFraction(d), 0.0);
}

TEST(PowerPlots, GaugeCursorRowsStayOnTheBar) {
    const struct {
        double fraction;
        int y;
    } rows[] = {{0.6, 100}, {0.5, 120}, {0, 220}, {1, 20}, {1.7, 20}, {-0.2, 220}, {NAN, 220}};
    for (const auto& r : rows)
        EXPECT_EQ(gaugeCursorY(r.fraction), r.y) << r.fraction;
}

TEST(PowerPlots, PushPullFamilyAndLoadEstimate) {
    const PowerData d = pushPull(38);
    const auto family = pushPullAnodeFamily(d);
    ASSERT_FALSE(family.empty());
    EXPECT_DOUBLE_EQ(family.front().vgk, -60); // 2·round(−30)
    EXPECT_DOUBLE_EQ(family[1].vgk, -57);      // step |round(−60/20)| = 3
    EXPECT_LE(family.back().vgk, 0);
    for (const auto& c : family) {
        ASSERT_FALSE(c.points.empty());
        EXPECT_DOUBLE_EQ(c.labelAt.V, c.points.back().V + 2);
        const bool stop = c.labelAt.V >= 2 * d.Vb || c.labelAt.V * c.labelAt.I > 1.5 * d.tube->Pamax();
        EXPECT_TRUE(stop) << c.vgk;
    }

    const auto za = pushPullLoadEstimate(d);
    ASSERT_TRUE(za.has_value());
    EXPECT_REL(za->Za, d.load / 4, 1e-9); // the synthetic samples lie on Zaa/4
    EXPECT_FALSE(pushPullLoadEstimate(pushPull(0)).has_value());
    PowerData still = pushPull(3);
    for (auto& c : still.cycles)
        for (auto& p : c.PointsOper)
            p.ia1 = still.Ia0;
    EXPECT_FALSE(pushPullLoadEstimate(still).has_value()); // no current change, no estimate
}

TEST(PowerPlots, OutputPowerCurveEndsAtTheTopRight) {
    ensureGuiApp();
    const PowerData d = singleEnded(30);
    const QImage image = drawPower(d, QSize(900, 600), 1);
    save(image, "C37-power");
    const double Smax = d.swingMax(), Pmax = d.powerMax();
    ASSERT_GT(Pmax, 0);
    // The maroon power curve passes through its last point, at (W − 60, 60), and through a middle one.
    EXPECT_TRUE(pixelNearAround(image, 840, 60, kMaroon, 2, 60));
    const TRecCycle& mid = d.cycles[15];
    EXPECT_TRUE(pixelNearAround(image, qRound(powerX(900, mid.swing, Smax)),
                                qRound(powerY(600, mid.Psec, Pmax)), kMaroon, 2, 60));
    EXPECT_TRUE(pixelNearAround(image, 60, 300, kGrey, 1)); // power axis
}

TEST(PowerPlots, PushPullGaugeCursorAndBar) {
    ensureGuiApp();
    const PowerData d = pushPull(38, 0.6);
    const QImage image = drawLoadlinePP(d, QSize(1000, 700), 1);
    save(image, "C42-loadline-pp");
    const int x = 1000 - 100;
    // The cursor of R = 0.6 sits 120 pixels above the bar's bottom (y = 220), grey across the bar.
    EXPECT_TRUE(pixelNearAround(image, x + 22, 100, kGrey, 1, 70));
    // The fixed-bias gradient: light green at the top, red at the bottom.
    EXPECT_TRUE(pixelNear(image, x + 10, 22, QColor(0, 255, 0), 60));
    EXPECT_TRUE(pixelNear(image, x + 10, 218, kRed, 60));
    save(drawPower(d, QSize(1000, 700), 1), "C42-power");
    // A small canvas and a high-density screen keep the gauges and texts on the canvas.
    save(drawLoadlinePP(d, QSize(560, 380), 1), "C42-loadline-pp-small");
    save(drawLoadlinePP(d, QSize(2000, 1400), 2), "C42-loadline-pp-scale2");
}

TEST(PowerPlots, WaveformsDrawTheRebuiltPeriod) {
    ensureGuiApp();
    const PowerData d = singleEnded(30);
    const TRecCycle& c = d.cycles[20];
    const QSize size(800, 400);
    const QImage va = drawWaveform(d, 20, WaveDisplay::Voltage, size, 1);
    const QImage ia = drawWaveform(d, 20, WaveDisplay::Current, size, 1);
    save(va, "C37-waveform-va");
    save(ia, "C37-waveform-ia");
    save(drawWaveform(d, 20, WaveDisplay::Both, size, 1), "C37-waveform");
    const WaveScale sv = waveScale(c, WaveQuantity::Voltage);
    const WaveFrame f{800, 400, sv.A};
    for (int j : {128, 255, 640, 765}) {
        SCOPED_TRACE(j);
        const double v = fullPeriod(c, WaveQuantity::Voltage)[j] - sv.Q;
        EXPECT_TRUE(pixelNearAround(va, qRound(f.x(j)), qRound(f.y(v)), kRed, 1, 60));
    }
    // The current's crest (point-1 sample 255) reaches the top of the band, in orange.
    const WaveFrame fi{800, 400, waveScale(c, WaveQuantity::Current).A};
    EXPECT_TRUE(pixelNearAround(ia, qRound(fi.x(255)), 35, kOrange, 1, 60));
}

TEST(PowerPlots, ZeroCurrentLineShowsEvenBelowTheBand) {
    ensureGuiApp();
    const PowerData d = singleEnded(3); // a small swing: zero current lies far below the band
    const QImage ia = drawWaveform(d, 2, WaveDisplay::Current, QSize(800, 400), 1);
    save(ia, "C37-waveform-small-ia");
    EXPECT_TRUE(reddish(ia, 400, 398, 2));
}

// Inputs that give no scale: every picture still draws its axes and texts and never divides by zero.
TEST(PowerPlots, InputsWithoutCyclesOrLimits) {
    ensureGuiApp();
    PowerData zeroLimits = pushPull(4);
    zeroLimits.tube = TTube(unknownModel("nothing"), "T1");
    PowerData noTube;
    noTube.circuit = 39;
    const struct {
        const char* name;
        PowerData data;
    } rows[] = {
        {"no-cycle-se", singleEnded(0)},  {"zero-swing-se", singleEnded(1)}, {"no-cycle-pp", pushPull(0)},
        {"single-cycle-pp", pushPull(1)}, {"zero-limits", zeroLimits},       {"no-tube", noTube},
    };
    const QSize size(700, 450);
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const QImage power = drawPower(r.data, size, 1);
        const QImage se = drawLoadlineSE(r.data, size, 1);
        const QImage pp = drawLoadlinePP(r.data, size, 1);
        const QImage wave = drawWaveform(r.data, 5, WaveDisplay::Both, size, 1);
        for (const QImage* image : {&power, &se, &pp, &wave})
            EXPECT_EQ(image->size(), size);
        EXPECT_TRUE(pixelNearAround(power, 60, 300, kGrey, 1)); // power axis
        EXPECT_TRUE(pixelNearAround(se, 60, 300, kGrey, 1));    // current axis
        EXPECT_TRUE(pixelNearAround(pp, 60, 300, kGrey, 1));
        save(power, std::string(r.name) + "-power");
        save(pp, std::string(r.name) + "-loadline-pp");
        save(wave, std::string(r.name) + "-waveform");
    }
    // A tiny canvas draws too.
    EXPECT_EQ(drawLoadlinePP(pushPull(3), QSize(0, 0), 1).size(), QSize(1, 1));
}

TEST(PowerPlots, SingleEndedLoadLineForAPair) {
    ensureGuiApp();
    const PowerData d = singleEnded(30, 2);
    const QImage image = drawLoadlineSE(d, QSize(900, 600), 1);
    save(image, "C37-loadline-se");
    // The group's current limit 2·Iamax is the top of the current scale (y = 60), in red.
    EXPECT_TRUE(reddish(image, 70, 60, 1));
    // Quiescent point of the pair in navy.
    const double x = 60 + 780 * d.Va0 / (2 * d.Vb), y = 60 + 480 * (1 - d.Ia0 / (2 * d.tube->Iamax()));
    EXPECT_TRUE(pixelNearAround(image, qRound(x), qRound(y) + 5, QColor(0, 0, 128), 1, 60));
}

// The pictures of real solves, when the power circuits are in the build.
TEST(PowerPlots, PicturesOfRealSolves) {
    ensureGuiApp();
    using Values = std::initializer_list<std::pair<const char*, const char*>>;
    const struct {
        int circuit;
        Values values;
    } rows[] = {
        {37,
         {{"LBtube", "300B"},
          {"EdVb", "400"},
          {"EdRk", "820"},
          {"EdVg", "0"},
          {"EdRa", "3k"},
          {"EdRp", "100"}}},
        {38,
         {{"LBtube", "EL34"},
          {"EdVb", "350"},
          {"EdVg", "0"},
          {"EdRk", "220"},
          {"EdVg2", "300"},
          {"EdRa", "3k"},
          {"EdRp", "100"}}},
        {39, {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdRk", "470"}, {"EdZaa", "5k"}}},
        {40, {{"LBtube", "EL34"}, {"EdVb", "350"}, {"EdVe", "300"}, {"EdRk", "200"}, {"EdZaa", "6k6"}}},
        {41, {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-80"}, {"EdZaa", "5k"}}},
        {42, {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.circuit);
        const SolveOutcome out = solveCommand(firstOpening(r.circuit, r.values));
        ASSERT_TRUE(out.solved) << validationText(out.messages);
        ASSERT_TRUE(out.result.power.has_value()) << "no power analysis";
        const PowerData& d = *out.result.power;
        const std::string code = "C" + std::to_string(r.circuit);
        save(drawPower(d, QSize(1000, 700), 1), code + "-real-power");
        save(d.pushPull ? drawLoadlinePP(d, QSize(1000, 700), 1) : drawLoadlineSE(d, QSize(1000, 700), 1),
             code + (d.pushPull ? "-real-loadline-pp" : "-real-loadline-se"));
        save(drawWaveform(d, d.trackMax(), WaveDisplay::Both, QSize(900, 400), 1), code + "-real-waveform");
    }
}
