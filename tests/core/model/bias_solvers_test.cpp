// Bias solvers of one tube and of two stacked tubes, with and without a convergence trace.
#include "approx.h"
#include "builtin_tubes.h"

#include "model/pair_bias.h"

#include <cmath>

TEST(BasicBiasSuccApprox, Ecc83ReferenceCaseAndTitle) {
    TTube t = builtinTube("ECC83 / 12AX7");
    TFormConvergence trace;
    trace.Tag = 1;
    const double ia = t.basicBiasSuccApprox(250, 100e3, 1e3, &trace);
    EXPECT_NEAR(trace.Points[1] * 1000, 1.238, 0.0005); // half of 250 V / 101 kΩ
    EXPECT_EQ(trace.count(), 14u);                      // the start and 13 evaluations
    EXPECT_NEAR(ia * 1000, 0.954, 0.0005);
    EXPECT_NEAR(t.Vgk(), -0.953, 0.0005);
    EXPECT_NEAR(t.Vak(), 153.7, 0.05);
    EXPECT_EQ(trace.caption, "C1 - T1 ECC83 / 12AX7 - 14 iter. Res ±1µA Ia 1.24=>0.95mA");

    TTube quiet = builtinTube("ECC83 / 12AX7");
    EXPECT_EQ(quiet.basicBiasSuccApprox(250, 100e3, 1e3), ia);
    EXPECT_EQ(quiet.Vak(), t.Vak());
}

TEST(BasicBiasSuccApprox, EndsOnDegenerateCircuits) {
    // No resistors at all, a supply of zero, a model without constants: each returns.
    TTube t = builtinTube("ECC82 / 12AU7");
    EXPECT_TRUE(std::isfinite(t.basicBiasSuccApprox(250, 0, 0)));
    EXPECT_EQ(t.basicBiasSuccApprox(0, 100e3, 1e3), 0);
    TTube none(unknownModel("x"), "T1");
    EXPECT_EQ(none.basicBiasSuccApprox(250, 100e3, 1e3), 0);
}

TEST(BasicBiasPoints, StartsAtHalfTheLoadLineLimit) {
    TTube t = builtinTube("ECC83 / 12AX7");
    TFormConvergence trace;
    double vak, vgk, ia;
    t.basicBiasPoints(250, 0, 0, vak, vgk, ia, &trace);
    EXPECT_DOUBLE_EQ(trace.Points[1], 0.05); // Iamax 0.1 A without resistors

    TFormConvergence trace2;
    const int n = t.basicBiasPoints(250, 100e3, 1e3, vak, vgk, ia, &trace2);
    EXPECT_LT(n, 1000);
    EXPECT_NEAR(ia * 1000, 0.954, 0.002);
    EXPECT_NEAR(vgk, -1e3 * ia, 2e-3); // Vgk follows the iterate, Ia the tube
    TTube quiet = builtinTube("ECC83 / 12AX7");
    double vak2, vgk2, ia2;
    EXPECT_EQ(quiet.basicBiasPoints(250, 100e3, 1e3, vak2, vgk2, ia2), n);
    EXPECT_EQ(ia2, ia);
}

TEST(GridBiasPoints, ConvergesAndPinsAnOverdrivenGrid) {
    TTube t = builtinTube("ECC82 / 12AU7");
    double vak, vgk, ia;
    const int n = t.gridBiasPoints(300, 10e3, 10e3, 50, vak, vgk, ia);
    EXPECT_LT(n, 1000);
    EXPECT_NEAR(vgk, 50 - 10e3 * ia, 0.05);
    EXPECT_LT(vgk, 0);

    // Vg so high that Vg - Rk·I stays positive: the grid is held at the cathode.
    TTube s = builtinTube("ECC83 / 12AX7");
    TFormConvergence trace;
    const int m = s.gridBiasPoints(250, 100e3, 100, 200, vak, vgk, ia, &trace);
    EXPECT_EQ(m, 1000);
    EXPECT_EQ(vgk, 0);
    EXPECT_EQ(trace.caption.find("C0 - T1 ECC83 / 12AX7 - 1000 iter. Res ±2µA"), 0u) << trace.caption;
    // The pinned passes all repeat one current, and each of them is still in the trace.
    ASSERT_EQ(trace.count(), 1001u);
    for (std::size_t k = 0; k < trace.count(); ++k)
        EXPECT_EQ(trace.Points[2 * k], static_cast<double>(k));
    EXPECT_EQ(trace.Points[2 * 1000 + 1], trace.Points[2 * 2 + 1]);
    EXPECT_EQ(ia, s.Ia());
}

TEST(GridFixedBiasDephaseur, DiagnosesImpossibleCircuits) {
    TTube t = builtinTube("ECC83 / 12AX7", "T2");
    // (Ra + Rk)·Vg/Rk ≥ Vb: the anode cannot carry the minimal current.
    const std::string drop = t.gridFixedBiasDephaseur(250, 100, 100e3, 10e3);
    EXPECT_EQ(
        drop.rfind("The circuit cannot be operated normally because of tube T2:\n\nthe anode cathode voltage "
                   "cannot provide the minimal current\n  10mA (100V onto 10000Ω)\ndrop voltage across Ra "
                   "and Rk is too large 1100V\n\nSuggestions:",
                   0),
        0u)
        << drop;
    // Enough voltage but a tube too weak for Vg/Rk.
    const std::string weak = t.gridFixedBiasDephaseur(400, 100, 1e3, 5e3);
    EXPECT_EQ(
        weak.rfind(
            "The circuit cannot be operated normally:\n\nthe tube cannot provide the minimal current\n  "
            "20mA (100V onto 5000Ω),\n\nbeing itself limited to\n",
            0),
        0u)
        << weak;

    TFormConvergence trace;
    EXPECT_EQ(t.gridFixedBiasDephaseur(300, 80, 47e3, 47e3, &trace), "");
    EXPECT_NEAR(t.Ia(), (80 - t.Vgk()) / 47e3, 2e-6);
    EXPECT_NE(trace.caption.find("Res ±1µA Ia 0.00=>"), std::string::npos) << trace.caption;
}

TEST(BasicFollower, DiagnosesAndSolves) {
    TTube t = builtinTube("ECC83 / 12AX7");
    TFormConvergence trace;
    const std::string weak = t.basicFollower(250, 100, 1e3, &trace);
    EXPECT_EQ(
        weak.rfind(
            "The circuit cannot be operated normally:\n\nthe tube cannot provide the minimal current\n  "
            "100mA (100V onto 1000Ω)",
            0),
        0u)
        << weak;
    EXPECT_NE(weak.find("- increase the value of Rk2"), std::string::npos);
    EXPECT_TRUE(trace.Points.empty());

    TTube f = builtinTube("ECC82 / 12AU7");
    EXPECT_EQ(f.basicFollower(300, 100, 22e3, &trace), "");
    EXPECT_NEAR(f.Ia(), (100 - f.Vgk()) / 22e3, 2e-6);
    EXPECT_EQ(trace.caption, "Wait..."); // the follower writes no title
}

TEST(PairBias, BothTubesAgreeOnTheCurrent) {
    struct Case {
        const char* name;
        bool selfBiased;
        const char* model;
        double Vb, Vg2, Rk, b, a;
    } cases[] = {
        {"SRPP ECC83", true, "ECC83 / 12AX7", 300, 0, 1.5e3, 1.5e3, 0},
        {"SRPP ECC88 with anode resistor", true, "ECC88 / 6DJ8", 250, 0, 220, 220, 1e3},
        {"cascode ECC88", false, "ECC88 / 6DJ8", 300, 150, 1e3, 47e3, 0},
        {"follower on a sink ECC82", false, "ECC82 / 12AU7", 300, 150, 1e3, 0, 0},
        {"cascode ECC82 with a small anode resistor", false, "ECC82 / 12AU7", 300, 120, 1e3, 2.2e3, 0},
        {"SRPP ECC82", true, "ECC82 / 12AU7", 300, 0, 1e3, 1e3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTube t1 = builtinTube(c.model, "T1"), t2 = builtinTube(c.model, "T2");
        TFormConvergence w1, w2;
        const int n = c.selfBiased ? pairBiasSelfBiased(t1, t2, 1000, c.Vb, c.Rk, c.b, c.a, &w1, &w2)
                                   : pairBiasFixedGrid(t1, t2, 1000, c.Vb, c.Vg2, c.b, c.Rk, c.a, &w1, &w2);
        EXPECT_LT(n, 1000);
        EXPECT_NEAR(t1.Ia(), t2.Ia(), 1e-6);
        EXPECT_GT(t1.Ia(), 0);
        // The resistors carry the current the tubes agree on: the branch adds up to the supply.
        const double I = t1.Ia();
        EXPECT_NEAR(t1.Vak() + t2.Vak() + (c.Rk + c.b + c.a) * I, c.Vb, 0.05);
        EXPECT_NEAR(t1.Vgk(), -c.Rk * I, 1e-3);
        EXPECT_EQ(w1.caption.find("C0 - T1 "), 0u) << w1.caption;
        EXPECT_EQ(w2.caption.find("C0 - T2 "), 0u) << w2.caption;

        TTube q1 = builtinTube(c.model, "T1"), q2 = builtinTube(c.model, "T2");
        const int m = c.selfBiased ? pairBiasSelfBiased(q1, q2, 1000, c.Vb, c.Rk, c.b, c.a)
                                   : pairBiasFixedGrid(q1, q2, 1000, c.Vb, c.Vg2, c.b, c.Rk, c.a);
        EXPECT_EQ(m, n);
        EXPECT_EQ(q1.Ia(), t1.Ia());
    }
}
