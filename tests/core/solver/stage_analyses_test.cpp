// Stage analyses: gains, impedances and report blocks of the shared stage types.
#include "approx.h"
#include "builtin_tubes.h"
#include "text_helpers.h"

#include "markup/formatters.h"
#include "solver/stage_analyses.h"
#include "util/format.h"

#include <array>
#include <cmath>

namespace {

// The ECC83 at the C1 point (Vb 250 V, Ra 100 kΩ, Rk 1 kΩ).
TTube c1Tube(const std::string& ref = "T1") {
    TTube t = builtinTube("ECC83 / 12AX7", ref);
    t.basicBiasSuccApprox(250, 100000, 1000);
    return t;
}

// A triode of the model at (Vak, Vgk).
TTube triodeAt(const std::string& model, const std::string& ref, double vak, double vgk) {
    TTube t = builtinTube(model, ref);
    double ia;
    t.CalculerNK(vak, vgk, ia);
    return t;
}

// Solves a small linear system by Gaussian elimination with partial pivoting: the nodal
// equations of the linearised stage, written independently of the closed-form gains.
template <std::size_t N> std::array<double, N> solveLinear(std::array<std::array<double, N + 1>, N> m) {
    for (std::size_t c = 0; c < N; ++c) {
        std::size_t pivot = c;
        for (std::size_t r = c + 1; r < N; ++r)
            if (std::fabs(m[r][c]) > std::fabs(m[pivot][c]))
                pivot = r;
        std::swap(m[c], m[pivot]);
        for (std::size_t r = 0; r < N; ++r) {
            if (r == c)
                continue;
            const double f = m[r][c] / m[c][c];
            for (std::size_t k = c; k <= N; ++k)
                m[r][k] -= f * m[c][k];
        }
    }
    std::array<double, N> x{};
    for (std::size_t r = 0; r < N; ++r)
        x[r] = m[r][N] / m[r][r];
    return x;
}

} // namespace

TEST(StageCommonCathode, Ecc83ReferenceBlock) {
    TTube t = c1Tube();
    const CommonCathodeGains g = commonCathodeStage(t, 100000, 1000, 500000);
    EXPECT_EQ(g.text, "<br><b>T1 ECC83 / 12AX7</b>"
                      "<br>  ρ~<css=r>48282Ω</css>  gm~<css=gm>2.0mA/V</css>  µ~<css=µ>95</css>"
                      "<br>  AC load <css=r>83333Ω</css>"
                      "<br><br>  * if BYpassed cathode resistor:"
                      "<br>    gain <css=µ>-59.7</css>   <css=db>35.5dB</css>"
                      "<br>    output impedance <css=r>32561Ω</css>"
                      "<br><br>  * if UNbypassed cathode resistor:"
                      "<br>    gain <css=µ>-34.6</css>  <css=db>30.8dB</css>"
                      "<br>    output impedance <css=r>59025Ω</css>");
    EXPECT_NEAR(g.bypassed, -59.7, 0.05);
    EXPECT_NEAR(g.unbypassed, -34.6, 0.05);
    // The gains use the one-sided ρ′, µ′; the printed parameters the central differences.
    EXPECT_NEAR(t.ρ(), 48282, 0.5);
    EXPECT_REL(g.bypassed, gainCommonCathode(t, 100000.0 * 500000 / 600000), 1e-12);
    EXPECT_REL(g.unbypassed, gainUnbypassed(t, 1000, 100000.0 * 500000 / 600000), 1e-12);
}

TEST(StageCommonCathode, OpenLoadAndNoCathodeResistor) {
    TTube t = c1Tube();
    const auto open = commonCathodeStage(t, 100000, 1000, 1e12);
    EXPECT_TRUE(contains(open.text, "AC load <css=r>100000Ω</css>"));

    const auto noRk = commonCathodeStage(t, 100000, 0, 500000);
    EXPECT_EQ(noRk.unbypassed, noRk.bypassed);
    const auto first = noRk.text.find("output impedance ");
    const auto second = noRk.text.find("output impedance ", first + 1);
    ASSERT_NE(second, std::string::npos);
    const auto figure = [&](std::size_t at) {
        return noRk.text.substr(at, noRk.text.find("</css>", at) - at);
    };
    EXPECT_EQ(figure(first), figure(second));
}

TEST(StageCathodeFollower, GainBelowOneAndLowImpedance) {
    TTube t = triodeAt("ECC82 / 12AU7", "T2", 150, -4);
    const FollowerFigures f = cathodeFollowerStage(t, 100000, 10000);
    EXPECT_GT(f.gain, 0.8);
    EXPECT_LT(f.gain, 1.0);
    EXPECT_REL(f.gain, gainFollower(t, 100000.0 * 10000 / 110000), 1e-12);
    // Rk ∥ ρ ∥ 1/gm
    EXPECT_REL(f.zout, 1 / (1 / 10000.0 + 1 / t.ρ() + t.gm()), 1e-12);
    EXPECT_LT(f.zout, 1 / t.gm());
    EXPECT_EQ(f.text.rfind("<br><br><b>T2 ECC82 / 12AU7</b><br>  ρ~<css=r>", 0), 0u);
    EXPECT_TRUE(contains(f.text, "</css>   gm~<css=gm>"));
    EXPECT_TRUE(contains(f.text, "</css>  => µ~<css=µ>"));
    EXPECT_TRUE(contains(f.text, "<br>  Output load      <css=r>100kΩ</css>"));
    EXPECT_TRUE(contains(f.text, strFormat("<br>  Voltage gain     <css=µ>%.2f</css>  <css=db>%0.2fdB</css>",
                                           f.gain, 20 * std::log10(f.gain))));
    EXPECT_TRUE(contains(f.text, "<br>  " + fmtResistance("Output impedance ", 0, f.zout)));
}

TEST(StageCathodyne, BalancedOutputsAndZeroAnodeGain) {
    TTube t = triodeAt("ECC83 / 12AX7", "T1", 100, -1.2);
    const CathodyneGains g = cathodyneStage(t, 47000, 1e15, 47000, 1e15);
    EXPECT_NEAR(g.anode, -g.cathode, 1e-6);
    EXPECT_LT(g.cathode, t.µ() / (t.µ() + 2)); // the limit of an ideal source
    EXPECT_GT(g.cathode, 0.8);
    EXPECT_EQ(g.text.rfind("T1 ECC83 / 12AX7<br>  ρ~", 0), 0u);
    EXPECT_TRUE(
        contains(g.text, strFormat("<br>Voltage gain on anode   <css=µ>%.2f</css> or <css=db>", g.anode)));
    EXPECT_TRUE(contains(g.text, "<br>Voltage gain on cathode  <css=µ>"));

    const CathodyneGains zero = cathodyneStage(t, 0, 1e15, 47000, 1e15);
    EXPECT_EQ(zero.anode, 0.0);
    EXPECT_FALSE(std::signbit(zero.anode));
    EXPECT_TRUE(
        contains(zero.text, "<br>Voltage gain on anode   <css=µ>0.00</css><br>Voltage gain on cathode  "));
    EXPECT_EQ(zero.text.find("inf"), std::string::npos);
}

TEST(StageCathodyne, ParametersFollowTheCurrentPoint) {
    // Parameters computed at an earlier point must not leak into the analysis of a new one.
    TTube moved = triodeAt("ECC83 / 12AX7", "T1", 250, -0.5);
    moved.calculerParamètresIntrinsèques();
    double ia;
    moved.CalculerNK(100, -1.2, ia);
    TTube fresh = triodeAt("ECC83 / 12AX7", "T1", 100, -1.2);
    const CathodyneGains a = cathodyneStage(moved, 47000, 470000, 47000, 470000);
    const CathodyneGains b = cathodyneStage(fresh, 47000, 470000, 47000, 470000);
    EXPECT_EQ(a.anode, b.anode);
    EXPECT_EQ(a.cathode, b.cathode);
    EXPECT_EQ(a.text, b.text);
}

TEST(StageSrpp, BypassedMatchesCommonCathodeIntoUpperTube) {
    TTube t1 = triodeAt("ECC82 / 12AU7", "T1", 120, -6);
    TTube t2 = triodeAt("ECC82 / 12AU7", "T2", 130, -6);
    // With no Ra and no Rk2 the upper tube is a load ρ2 in parallel with Ro.
    const SrppFigures f = srppOptimisedStage(t1, t2, 100000, 0, 0, 680);
    const double load = t2.ρ() * 100000 / (t2.ρ() + 100000);
    EXPECT_REL(f.gainBypassed, -t1.µ() * load / (t1.ρ() + load), 1e-9);
    EXPECT_LT(std::fabs(f.gainUnbypassed), std::fabs(f.gainBypassed));
    EXPECT_REL(f.zoutBypassed, t1.ρ() * t2.ρ() / (t1.ρ() + t2.ρ()), 1e-9);

    const SrppFigures same = srppOptimisedStage(t1, t2, 100000, 0, 680, 0);
    EXPECT_REL(same.gainUnbypassed, same.gainBypassed, 1e-12);

    EXPECT_EQ(f.text.rfind("<br><b>SRPP optimised, after Quellbrook</b><br>T1 ECC82 / 12AU7<br>  ρ~", 0), 0u);
    EXPECT_TRUE(contains(f.text, "<br>T2 ECC82 / 12AU7<br>  ρ~"));
    EXPECT_TRUE(contains(f.text, "<br>Output load <css=r>100kΩ</css><br><br>  * If Rk1 bypassed:</P>"));
    EXPECT_TRUE(contains(f.text, "<br>    Voltage gain    <css=µ>"));
    EXPECT_TRUE(contains(f.text, "<br><br>  * If Rk1 UNbypassed:"));
    EXPECT_TRUE(
        contains(f.text, "<br>" + fmtResistance("Output impedance (if Rk1=Rk2)", 0, f.zoutUnbypassed)));
}

TEST(StageCascode, GainMatchesNodalSolution) {
    // The same model at two different points: ρ1 ≠ ρ2.
    TTube t1 = triodeAt("ECC83 / 12AX7", "T1", 80, -1);
    TTube t2 = triodeAt("ECC83 / 12AX7", "T2", 160, -1.5);
    const double Ra = 100000, Ro = 500000, RL = Ra * Ro / (Ra + Ro);
    const CascodeFigures f = cascodeStage(t1, t2, 1000, Ro, Ra);
    const double mu1 = t1.µ(), ro1 = t1.ρ(), mu2 = t2.µ(), ro2 = t2.ρ();
    ASSERT_GT(std::fabs(ro1 - ro2), 0.05 * ro1);

    // Unknowns: the common current i (into T2's anode) and T1's anode voltage vx; input 1 V.
    //   T1:  ρ1·i − vx = µ1
    //   T2:  (ρ2 + RL)·i + (µ2 + 1)·vx = 0
    const auto x = solveLinear<2>({{{ro1, -1, mu1}, {ro2 + RL, mu2 + 1, 0}}});
    EXPECT_REL(f.gain, -x[0] * RL, 1e-9);
    EXPECT_REL(f.zout, RL * (ro2 + (mu2 + 1) * ro1) / (RL + ro2 + (mu2 + 1) * ro1), 1e-12);
    // The two-step estimate (bypassed) ends at the same gain.
    EXPECT_TRUE(contains(f.text, fmtAmplification("Voltage gain on T2 anode ", 0, -f.gain)));
    EXPECT_EQ(f.text.rfind("<br>T1 ECC83 / 12AX7<br>  ρ~", 0), 0u);
    EXPECT_TRUE(contains(f.text, "<br><br>Voltage gain on anode <css=µ>"));
    EXPECT_TRUE(contains(f.text, "<br>Anode load caused by T2  <css=r>"));
    EXPECT_TRUE(
        contains(f.text, "<br><br>  BYpassed cathode resistor Rk:<br>    Voltage gain on T1 anode <css=µ>"));
    EXPECT_TRUE(
        contains(f.text, "<br><br>  UNbypassed cathode resistor Rk:</P><br>    Voltage gain on T1 anode "));
}

TEST(StageHalfMu, ZeroCathodeResistorsGiveEqualFigures) {
    TTube t1 = triodeAt("ECC83 / 12AX7", "T1", 120, -1);
    TTube t2 = triodeAt("ECC83 / 12AX7", "T2", 130, -1);
    const HalfMuFigures z = halfMuStage(t1, t2, 0, 0);
    EXPECT_REL(z.gainUnbypassed, z.gainBypassed, 1e-12);
    EXPECT_REL(z.zoutUnbypassed, z.zoutBypassed, 1e-12);
    EXPECT_REL(z.load2, t2.ρ(), 1e-12);

    // An unbypassed lower resistor degenerates T1; an unbypassed upper one raises its load.
    const HalfMuFigures lower = halfMuStage(t1, t2, 0, 1500);
    EXPECT_LT(std::fabs(lower.gainUnbypassed), std::fabs(lower.gainBypassed));
    EXPECT_GT(lower.zoutUnbypassed, lower.zoutBypassed);
    const HalfMuFigures upper = halfMuStage(t1, t2, 1500, 0);
    EXPECT_GT(std::fabs(upper.gainUnbypassed), std::fabs(upper.gainBypassed));

    const HalfMuFigures r = halfMuStage(t1, t2, 1500, 1500);
    EXPECT_REL(r.load2, t2.ρ() + (t2.µ() + 1) * 1500, 1e-12);
    EXPECT_EQ(r.text.rfind("<br><b>Stage (half-µ follower) T1 (ECC83 / 12AX7) T2 (ECC83 / 12AX7)</b>"
                           "<br>T1 ECC83 / 12AX7<br>  ρ~",
                           0),
              0u);
    EXPECT_TRUE(contains(r.text, "<br>BYpassed cathode resistors:<br>    Voltage gain <css=µ>"));
    EXPECT_TRUE(contains(r.text, "<br><br>UNbypassed cathode resistors:<br>    Voltage gain <css=µ>"));
    EXPECT_TRUE(contains(r.text, "<br><br>" + fmtResistance("Load presented by T2 ", 0, r.load2) + "<br>"));
}

TEST(StageFollowerWithSink, SinkImpedanceAndGain) {
    TTube sink = triodeAt("ECC82 / 12AU7", "T3", 120, -6);
    TTube follower = triodeAt("ECC82 / 12AU7", "T4", 130, -5);
    const FollowerFigures f = followerWithSinkStage(sink, follower, 1e12, 0, 1000);
    const double zsink = sink.ρ() + (sink.µ() + 1) * 1000;
    const double mu2 = follower.µ(), ro2 = follower.ρ();
    EXPECT_REL(f.gain, mu2 * zsink / (zsink * (mu2 + 1) + ro2), 1e-6);
    EXPECT_GT(f.gain, 0.9);
    EXPECT_LT(f.gain, 1.0);
    EXPECT_LT(f.zout, ro2 / (mu2 + 1));
    EXPECT_TRUE(contains(f.text, "<br>Impedance presented by T3 " + fmtResistance("", 0, zsink)));
    EXPECT_TRUE(contains(f.text, strFormat("<br>Voltage gain     <css=µ>%.2f</css>   <css=db>%.1fdB</css>",
                                           f.gain, 20 * std::log10(f.gain))));
    EXPECT_EQ(
        f.text.rfind("<br><b>Cathode-follower and current sink T3 (ECC82 / 12AU7) T4 (ECC82 / 12AU7)</b>", 0),
        0u);

    // A series resistor in the follower's cathode lowers the gain and raises the impedance.
    const FollowerFigures rs = followerWithSinkStage(sink, follower, 10000, 470, 1000);
    EXPECT_LT(rs.gain, f.gain);
    EXPECT_GT(rs.zout, f.zout);
}

TEST(StageDifferentialPair, MatchedAndMismatchedPairs) {
    struct Case {
        const char* name;
        double vak2, Rk, RL1, RL2;
    };
    const Case cases[] = {
        {"matched pair, 1k tail", 150, 1000, 83333, 83333},
        {"matched pair, long tail", 150, 1e9, 83333, 83333},
        {"mismatched points and loads", 110, 10000, 83333, 47000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTube t1 = triodeAt("ECC83 / 12AX7", "T1", 150, -1);
        TTube t2 = triodeAt("ECC83 / 12AX7", "T2", c.vak2, -1);
        const DifferentialGains g = differentialPairGains(t1, t2, c.Rk, c.RL2, c.RL1);
        const double mu1 = t1.µ(), ro1 = t1.ρ(), mu2 = t2.µ(), ro2 = t2.ρ();
        // Unknowns i1, i2 (anode currents) and the common cathode voltage vk; 1 V on T1's grid.
        //   T1:  (ρ1 + RL1)·i1 + (µ1 + 1)·vk = µ1
        //   T2:  (ρ2 + RL2)·i2 + (µ2 + 1)·vk = 0
        //   Rk:  vk − Rk·(i1 + i2) = 0
        const auto x = solveLinear<3>(
            {{{ro1 + c.RL1, 0, mu1 + 1, mu1}, {0, ro2 + c.RL2, mu2 + 1, 0}, {-c.Rk, -c.Rk, 1, 0}}});
        EXPECT_REL(g.anode1, -x[0] * c.RL1, 1e-6);
        EXPECT_REL(g.anode2, -x[1] * c.RL2, 1e-6);
        EXPECT_EQ(g.differential, std::fabs(g.anode1) + g.anode2);
        EXPECT_LT(g.anode1, 0);
        EXPECT_GT(g.anode2, 0);
        if (c.vak2 == 150) {
            EXPECT_LT(g.anode2, std::fabs(g.anode1));
            if (c.Rk > 1e6)
                EXPECT_NEAR(g.anode2 / std::fabs(g.anode1), 1.0, 1e-4);
            else
                EXPECT_LT(g.anode2 / std::fabs(g.anode1), 0.9);
        }
    }
}
