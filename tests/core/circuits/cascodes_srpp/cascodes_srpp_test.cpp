// Cascodes and SRPP stages (C6, C8, C21, C22, C24, C30, C31, C34): realistic operating points,
// report and label formats, the listed edge cases and the failure verdicts.
#include "approx.h"
#include "solve_fixture.h"

#include "model/pair_bias.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// One realistic design per circuit; every one must solve cleanly and add up.
struct GoodCase {
    const char* name;
    int circuit;
    Values values;
    std::size_t tubes;
    std::size_t traces;
    double stackTolerance;
};

const GoodCase kGoodCases[] = {
    {"C6 ECC83 cascode", 6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRa", "47k"}}, 2, 2, 3},
    {"C8 ECC82 cascode SRPP", 8, {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "10k"}}, 2, 2, 2},
    {"C21 ECC83 + ECC82 double cascode",
     21,
     {{"LBtube1", "ECC83 / 12AX7"},
      {"LBtube2", "ECC82 / 12AU7"},
      {"EdR1", "1k"},
      {"EdR2", "1k"},
      {"EdR3", "1k"},
      {"EdR4", "1k"}},
     4,
     4,
     1},
    {"C22 ECC82 fixed-bias SRPP",
     22,
     {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdR2", "1k"}},
     2,
     2,
     3},
    {"C24 ECC82 headphone SRPP",
     24,
     {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "10k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}},
     3,
     4,
     1},
    {"C30 ECC83 mu-follower", 30, {{"LBtube", "ECC83 / 12AX7"}}, 2, 3, 1},
    {"C31 ECC82 SRPP+", 31, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "470"}, {"EdR2", "470"}}, 2, 2, 2},
    {"C34 ECC82 half-mu", 34, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "1k"}}, 2, 2, 2},
};
} // namespace

TEST(CascodesSrpp, RealisticDesignsSolveCleanlyAndAddUp) {
    for (const GoodCase& c : kGoodCases) {
        SCOPED_TRACE(c.name);
        SolveRequest rq = firstOpening(c.circuit, c.values);
        rq.traceConvergence = true;
        const SolveOutcome out = solveCommand(rq);
        ASSERT_TRUE(out.solved);
        const SolveResult& r = out.result;
        EXPECT_TRUE(r.ok) << r.dcReport;
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << r.dcReport;

        const CircuitInfo& info = circuitInfo(c.circuit);
        EXPECT_EQ(r.gridRow.size(), info.gridColumns.size() + 1);
        EXPECT_EQ(r.gridRow[0], "12:34:56");
        EXPECT_EQ(r.bode.has_value(), info.bodeTab);
        EXPECT_EQ(r.acReport.empty(), c.circuit == 24);

        ASSERT_EQ(r.tubes.size(), c.tubes);
        for (const TTube& t : r.tubes) {
            EXPECT_GT(t.Ia(), 1e-5) << t.Reference();
            EXPECT_LE(t.Vgk(), 0) << t.Reference();
            EXPECT_GT(t.Vak(), 10) << t.Reference();
        }
        // The tubes of one series branch carry one current.
        if (c.circuit != 24) {
            EXPECT_REL(r.tubes[1].Ia(), r.tubes[0].Ia(), 0.01);
        }
        if (c.circuit == 21) {
            EXPECT_REL(r.tubes[3].Ia(), r.tubes[2].Ia(), 0.01);
        }
        ASSERT_FALSE(r.stacks.empty());
        const double Vb = std::stod(r.gridRow[2 + (c.circuit == 21 ? 1 : 0)]);
        for (const TVoltageStacks& s : r.stacks)
            EXPECT_NEAR(sumOf(s), Vb, c.stackTolerance);
        EXPECT_EQ(r.loadLines.size(), c.tubes);

        ASSERT_EQ(r.traces.size(), c.traces);
        for (const TFormConvergence& t : r.traces) {
            EXPECT_EQ(t.caption.rfind(strFormat("C%d - ", c.circuit), 0), 0u) << t.caption;
            EXPECT_GT(t.count(), 1u);
        }
        if (r.bode) {
            for (double g : r.bode->overall)
                EXPECT_TRUE(std::isfinite(g));
            EXPECT_GT(r.bode->fH, r.bode->fL);
        }
    }
}

TEST(CascodesSrpp, C6TrueCascodeFiguresAndFormats) {
    const SolveResult r = solved(6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRa", "47k"}});
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    // Divider: Vg = 125 V; T2's cathode (the middle node) sits a little above it.
    EXPECT_EQ(labelOf(r, "LabelVg"), "125.00V");
    const double Vm = 250 - t2.Vak() - 47e3 * t2.Ia();
    EXPECT_NEAR(Vm - 125, -t2.Vgk(), 0.1);
    EXPECT_NEAR(Vm, t1.Vak() + 1000 * t1.Ia(), 0.5);
    EXPECT_EQ(labelOf(r, "LabelVm"), strFormat("%.2fV", Vm));
    EXPECT_EQ(labelOf(r, "LabelIt"), strFormat("%.2fmA", 1000 * (t1.Ia() + 250 / 2e6)));
    EXPECT_TRUE(
        contains(r.dcReport, "<b>True cascode</b><br><color=909090>Valvenix</color><br>Total power supply"))
        << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Irg <css=i>0.125 mA</css>")) << r.dcReport;
    // The lower tube sees a low anode load: the cascode's gain is about −gm1·(Ra ∥ Ro).
    const double gain = std::stod(r.gridRow[25]);
    EXPECT_REL(gain, -t1.gm() * 47e3 * 500e3 / 547e3, 0.1);
    EXPECT_TRUE(contains(r.acReport, "Voltage gain on anode ")) << r.acReport;
    ASSERT_EQ(r.stacks.size(), 2u);
    EXPECT_EQ(r.stacks[0].Items[0].nom, "Rg2");
}

TEST(CascodesSrpp, C6UpperGridAtSupplyFails) {
    const SolveResult r = solved(6, {{"LBtube", "ECC83 / 12AX7"}, {"EdRg2", "0"}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.gridRow[0], "ERROR");
    EXPECT_EQ(r.tubes[1].Vgk(), 0);
    EXPECT_TRUE(contains(r.dcReport, "<css=error>No convergence !</css>")) << r.dcReport;
}

TEST(CascodesSrpp, C8ShortRaEqualsZeroRa) {
    const SolveResult shorted = solved(8, {{"LBtube", "ECC82 / 12AU7"}, {"CheckBoxRa", "1"}});
    const SolveResult zero = solved(8, {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "0"}});
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_DOUBLE_EQ(shorted.tubes[i].Ia(), zero.tubes[i].Ia());
        EXPECT_DOUBLE_EQ(shorted.tubes[i].Vak(), zero.tubes[i].Vak());
    }
    EXPECT_EQ(labelOf(shorted, "LabelVa2"), "250.0V");
    EXPECT_TRUE(contains(shorted.dcReport, "iterations<br>")) << shorted.dcReport;
    EXPECT_TRUE(contains(shorted.acReport, "<br><i>Reference: The Optimized SRPP Amp (Part 2)"))
        << shorted.acReport;
    // Labels: T2's grid on T1's anode, T2's cathode above it by Rk2·I.
    const double Vg2 = 1000 * shorted.tubes[0].Ia() + shorted.tubes[0].Vak();
    EXPECT_EQ(labelOf(shorted, "LabelVg2"), strFormat("%.1fV", Vg2));
    EXPECT_EQ(labelOf(shorted, "LabelVk2"), strFormat("%.1fV", Vg2 + 1000 * shorted.tubes[1].Ia()));
}

TEST(CascodesSrpp, C21CompoundGainIsTheProductOfTheStages) {
    const SolveResult r = solved(21, {{"LBtube1", "ECC83 / 12AX7"},
                                      {"LBtube2", "ECC82 / 12AU7"},
                                      {"EdR1", "1k"},
                                      {"EdR2", "1k"},
                                      {"EdR3", "1k"},
                                      {"EdR4", "1k"}});
    const double A1 = std::stod(r.gridRow[28]), A2 = std::stod(r.gridRow[29]);
    EXPECT_LT(A1, -20); // half-µ: about −µ/2
    EXPECT_GT(A2, 0.8); // follower a little below 1
    EXPECT_LT(A2, 1);
    EXPECT_TRUE(contains(r.acReport, "Compound voltage gain (R1 BYpassed)   ")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "Compound voltage gain (R1 UNbypassed) <css=µ>-")) << r.acReport;
    // T4's grid is T1's anode: Vgk4 = Va1 − (T4's cathode).
    const double Va1 = 250 - r.tubes[1].Vak() - 1000 * r.tubes[1].Ia();
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", Va1));
    EXPECT_NEAR(Va1 - (250 - r.tubes[3].Vak()), r.tubes[3].Vgk(), 0.1);
    EXPECT_TRUE(contains(r.dcReport, "<br><b>FIRST STAGE T1 T2</b>"));
    EXPECT_TRUE(contains(r.dcReport, "<br><b>SECOND STAGE T3 T4</b>"));
    ASSERT_TRUE(r.bode.has_value());
}

TEST(CascodesSrpp, C22OutputAtUpperCathode) {
    const SolveResult r =
        solved(22, {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdR2", "1k"}});
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_EQ(labelOf(r, "LabelVk2"), strFormat("%.2fV", 250 - t2.Vak()));
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", 1000 * t1.Ia() + t1.Vak()));
    // The upper tube's grid sits below its cathode (Vo) by a few volts.
    EXPECT_LT(130 - (250 - t2.Vak()), 0);
    EXPECT_TRUE(contains(r.acReport, "g<SUB>m</SUB>~")) << r.acReport;
    EXPECT_TRUE(contains(r.acReport, "SRPP optimised, after Quellbrook")) << r.acReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply")) << r.dcReport;
}

TEST(CascodesSrpp, C24ThreeTubesShareTheOutputNode) {
    const SolveResult r = solved(
        24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "10k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}});
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1], &t3 = r.tubes[2];
    const double Vo = 250 - t3.Vak();
    // Node equations: T2's branch and T1's branch both reach Vo, R2 carries I1 + I2 − I3.
    EXPECT_NEAR(t2.Vak() + 1000 * t2.Ia(), Vo, 1);
    EXPECT_NEAR(t1.Vak() + 2000 * t1.Ia(), Vo, 1);
    EXPECT_NEAR(10000 * (t1.Ia() + t2.Ia() - t3.Ia()), 250 - Vo, 1);
    EXPECT_EQ(labelOf(r, "LabelVo"), strFormat("%.2fV", Vo));
    EXPECT_TRUE(contains(r.dcReport, "<br><br>Vo  <css=vp>")) << r.dcReport;
}

TEST(CascodesSrpp, C24CutOffUpperTubeWhenOutputReachesSupply) {
    // Without R2 the output node rises to the supply: T3 has no anode voltage left.
    const SolveResult r = solved(24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR2", "0"}});
    EXPECT_EQ(r.tubes[2].Ia(), 0);
    EXPECT_EQ(labelOf(r, "LabelI3"), "0.00mA");
    // Then R2's current is the sum of the two lower tubes'.
    EXPECT_EQ(labelOf(r, "LabelI9"), labelOf(r, "LabelItot"));
}

TEST(CascodesSrpp, C24KeepsTheLowerAnodeAboveThirtyVolts) {
    // A 10 MΩ anode resistor would leave T1 almost no anode voltage.
    const SolveResult r = solved(24, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "10M"}});
    EXPECT_GE(r.tubes[0].Vak(), 30);
    for (const TTube& t : r.tubes)
        EXPECT_TRUE(std::isfinite(t.Ia()));
}

TEST(CascodesSrpp, C30MuFollowerGains) {
    const SolveResult r = solved(30, {{"LBtube", "ECC83 / 12AX7"}});
    const double mu1 = std::stod(r.gridRow[20]), k = std::stod(r.gridRow[23]),
                 gain = std::stod(r.gridRow[24]);
    EXPECT_GT(mu1, 80);
    EXPECT_GT(k, 0.95);
    EXPECT_LT(k, 1);
    EXPECT_NEAR(gain, mu1 * k, 0.2);
    for (const char* part :
         {"<b>Small signal estimations:</b><br>", "Gain of T2 ~ ", "<br>AC load seen by T1 ~ ",
          "<br>Input impedance of T1 ~ ", "Output impedance on T2 cathode ~ "})
        EXPECT_TRUE(contains(r.acReport, part)) << part << "\n" << r.acReport;
    const TTube &t1 = r.tubes[0], &t2 = r.tubes[1];
    EXPECT_EQ(labelOf(r, "LabelVa1"), strFormat("%.2fV", t1.Vak() + 1000 * t1.Ia()));
    EXPECT_NEAR(t2.Vgk(), -1000 * t2.Ia(), 1e-3);
}

TEST(CascodesSrpp, C30KeepsTheLowerAnodeAboveTenVolts) {
    // A huge lower cathode resistor would push T1's anode voltage below zero.
    const SolveResult r = solved(30, {{"LBtube", "ECC83 / 12AX7"}, {"EdRk1", "10M"}});
    EXPECT_GE(r.tubes[0].Vak(), 10);
    for (double x : {r.tubes[0].Ia(), r.tubes[1].Ia(), r.tubes[1].Vak()})
        EXPECT_TRUE(std::isfinite(x));
}

TEST(CascodesSrpp, C31AndC34Reports) {
    const SolveResult c31 = solved(31, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "470"}, {"EdR2", "470"}});
    EXPECT_TRUE(contains(c31.acReport, "<br>T1: ")) << c31.acReport;
    EXPECT_TRUE(contains(c31.acReport, "<br>Average for calculating: ")) << c31.acReport;
    const double byp = std::stod(c31.gridRow[21]), unbyp = std::stod(c31.gridRow[22]);
    EXPECT_GT(byp, unbyp);
    EXPECT_GT(unbyp, 0);

    const SolveResult c34 = solved(34, {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "1k"}});
    EXPECT_TRUE(contains(c34.dcReport, "<b>Half-mu stage</b><br><color=909090>Valvenix</color><br>"))
        << c34.dcReport;
    EXPECT_TRUE(contains(c34.acReport, "<i>Condition: output supposedly loaded by infinite load"))
        << c34.acReport;
    EXPECT_TRUE(contains(c34.acReport, "Stage (half-µ follower) T1 (ECC82 / 12AU7) T2 (ECC82 / 12AU7)"))
        << c34.acReport;
    // Half-µ: about −µ/2 bypassed.
    const double Ab = std::stod(c34.gridRow[15]);
    EXPECT_LT(Ab, -7);
    EXPECT_GT(Ab, -14);
}

TEST(CascodesSrpp, FailureVerdicts) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        const char* line;
    } cases[] = {
        {"C21 without R1: T1's grid at its cathode",
         21,
         {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdR1", "0"}},
         "<br><css=error>Vgk(s) positive or null</css>"},
        {"C24 T2's grid above its cathode",
         24,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdRk1", "10k"}, {"EdRk2", "100"}},
         "<br><css=error>Vgk(s) positive</css>"},
        {"C34 without R1",
         34,
         {{"LBtube", "ECC83 / 12AX7"}, {"EdR1", "0"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"},
        {"C6 default ECC83: the upper grid would have to conduct",
         6,
         {{"LBtube", "ECC83 / 12AX7"}},
         "<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.gridRow[0], "ERROR");
        EXPECT_TRUE(contains(r.dcReport, c.line)) << r.dcReport;
        // No verdict line twice.
        for (const char* v : {"Too many iterations", "No convergence !"}) {
            const auto first = r.dcReport.find(v);
            if (first != std::string::npos) {
                EXPECT_EQ(r.dcReport.find(v, first + 1), std::string::npos) << v;
            }
        }
    }
}

TEST(CascodesSrpp, DegenerateSheetsStayFinite) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
    } cases[] = {
        {"C6 no divider", 6, {{"EdRg1", "0"}, {"EdRg2", "0"}, {"EdCa", "0"}, {"EdCs", "0"}, {"EdCk", "0"}}},
        {"C8 zero resistors", 8, {{"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRa", "0"}}},
        {"C21 zero capacitors", 21, {{"EdCg", "0"}, {"EdCa", "0"}, {"EdC1", "0"}, {"EdCo", "0"}}},
        {"C24 all zero", 24, {{"EdR1", "0"}, {"EdR2", "0"}, {"EdRk1", "0"}, {"EdRk2", "0"}}},
        {"C30 all zero", 30, {{"EdRa", "0"}, {"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRg2", "0"}}},
        {"C31 huge", 31, {{"EdRk", "1000M"}, {"EdR1", "1000M"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.circuit, c.values);
        for (const TTube& t : r.tubes) {
            EXPECT_TRUE(std::isfinite(t.Ia()));
            EXPECT_TRUE(std::isfinite(t.Vak()));
        }
        if (r.bode) {
            for (double g : r.bode->overall)
                EXPECT_FALSE(std::isnan(g));
        }
    }
}

TEST(CascodesSrpp, StackedPairBiasFollowsTheCarriedCurrent) {
    struct Case {
        const char* name;
        bool fixedGrid;
        double Vb, Vg2, lead, Rk, a; // lead: T2's cathode lead (fixed grid) or cathode resistor
    } cases[] = {
        {"self-biased, no series resistance", false, 250, 0, 1000, 1000, 0},
        {"self-biased, 100k in T2's anode", false, 300, 0, 1500, 820, 100e3},
        {"fixed grid, cathode on the node", true, 250, 150, 0, 1000, 47e3},
        {"fixed grid, 10k in T2's cathode lead", true, 250, 130, 10e3, 1000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto T1 = builtinFactory()("ECC82 / 12AU7", "T1");
        auto T2 = builtinFactory()("ECC82 / 12AU7", "T2");
        const int n = c.fixedGrid ? pairBiasFixedGridLead(*T1, *T2, 1000, c.Vb, c.Vg2, c.lead, c.Rk, c.a)
                                  : pairBiasSelfBiased(*T1, *T2, 1000, c.Vb, c.Rk, c.lead, c.a);
        EXPECT_LT(n, 1000);
        const double I1 = T1->Ia(), I2 = T2->Ia();
        EXPECT_GT(I1, 1e-4);
        EXPECT_NEAR(I1, I2, 1e-6);
        EXPECT_NEAR(T1->Vgk(), -c.Rk * I1, 1e-6);
        const double Vm = c.Rk * I1 + T1->Vak();
        EXPECT_NEAR(Vm + (c.lead + c.a) * I2 + T2->Vak(), c.Vb, 1e-3);
        const double expectedVgk2 = c.fixedGrid ? std::min(c.Vg2 - Vm - c.lead * I2, 0.0) : -c.lead * I2;
        EXPECT_NEAR(T2->Vgk(), expectedVgk2, 1e-6);
    }
    // A pass limit too small to balance is reported by returning the limit.
    auto T1 = builtinFactory()("ECC82 / 12AU7", "T1");
    auto T2 = builtinFactory()("ECC82 / 12AU7", "T2");
    EXPECT_EQ(pairBiasSelfBiased(*T1, *T2, 3, 250, 1000, 2200, 0), 3);
}

// A shorted output (Ro = 0) gives a null gain: the report shows the gain with no decibel figure,
// never "-inf dB" or "-0.00".
TEST(CascodesSrpp, NullGainsHaveNoDecibelFigure) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        const char* line;
    } cases[] = {
        {"C21 compound gain",
         21,
         {{"LBtube1", "ECC83 / 12AX7"}, {"LBtube2", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdRo", "0"}},
         "<br>Compound voltage gain (R1 BYpassed)   <css=µ>0.00</css><br>"},
        {"C31 bypassed gain",
         31,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdRo", "0"}, {"EdR2", "0"}},
         "<br><br>Gain, Rk bypassed   <css=µ>0.0</css><br>Gain, Rk UNbypassed <css=µ>0.0</css>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_TRUE(contains(r.acReport, c.line)) << r.acReport;
        EXPECT_FALSE(contains(r.acReport, "inf")) << r.acReport;
    }
}
