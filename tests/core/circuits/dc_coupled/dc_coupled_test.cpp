// DC-coupled and multi-stage amplifiers (C9, C13, C14, C19, C20, C26, C29, C32, C36): operating
// points, report formats, edge cases and failure paths.
#include "approx.h"
#include "solve_fixture.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

double supplyOf(const SolveRequest& rq) {
    return std::stod(rq.sheet.find("EdVb")->text);
}

} // namespace

// A realistic sheet of each circuit: every verdict passes, each stack adds up to the supply, every
// tube has a negative grid, the grid row has one cell per legend, and the gain has its sign.
TEST(DcCoupled, RealisticOperatingPointsAreConsistent) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        std::size_t tubes;
        const char* gainCell; // grid legend of a gain, empty when none
        double gainSign;
    } cases[] = {
        {"C9 direct coupling",
         9,
         {{"EdVb", "400"}, {"EdRk2", "120k"}, {"EdRa2", "39k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}},
         2,
         "A2u",
         -1},
        {"C13 constant current",
         13,
         {{"EdVg", "50"}, {"EdIk", "2m"}, {"EdRa", "47k"}, {"LBtube", "12AY7"}},
         1,
         "Abyp",
         -1},
        {"C14 level shifter",
         14,
         {{"EdVb", "300"},
          {"EdRg2", "220k"},
          {"EdRag", "470k"},
          {"EdRk2", "22k"},
          {"EdRa2", "47k"},
          {"LBtube1", "12AY7"},
          {"LBtube2", "12AY7"}},
         2,
         "A1byp",
         -1},
        {"C19 three stages", 19, {{"LBtube", "ECC83 / 12AX7"}}, 3, "", 0},
        {"C20 two stages", 20, {{"LBtube", "ECC83 / 12AX7"}}, 2, "A1b", -1},
        {"C26 CCDA",
         26,
         {{"EdVb", "300"},
          {"EdRa", "47k"},
          {"EdRk1", "680"},
          {"EdRk2", "22k"},
          {"EdRk3", "22k"},
          {"LBtube", "ECC88 / 6DJ8"}},
         2,
         "",
         0},
        {"C29 feedback", 29, {{"LBtube", "ECC83 / 12AX7"}, {"EdRf", "1M"}, {"EdRg", "100k"}}, 1, "Avf", -1},
        {"C32 common grid", 32, {{"LBtube", "ECC88 / 6DJ8"}, {"EdRa", "47k"}, {"EdRk", "470"}}, 1, "Gain", 1},
        {"C36 pentode",
         36,
         {{"LBtube", "EF86"}, {"EdVek", "100"}, {"EdRk", "2k"}, {"EdRa", "220k"}},
         1,
         "Av",
         -1},
    };
    for (const auto& c : cases) {
        const SolveRequest rq = firstOpening(c.circuit, c.values);
        const SolveOutcome out = solveCommand(rq);
        ASSERT_TRUE(out.solved) << c.name;
        const SolveResult& r = out.result;
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        EXPECT_TRUE(r.messages.empty()) << c.name << ": " << (r.messages.empty() ? "" : r.messages[0]);
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << c.name << "\n" << r.dcReport;
        ASSERT_EQ(r.tubes.size(), c.tubes) << c.name;
        for (const TTube& t : r.tubes) {
            EXPECT_LT(t.Vgk(), 0) << c.name << " " << t.Reference();
            EXPECT_GT(t.Ia(), 0) << c.name << " " << t.Reference();
        }
        const double Vb = supplyOf(rq);
        ASSERT_FALSE(r.stacks.empty()) << c.name;
        for (const auto& stack : r.stacks)
            EXPECT_NEAR(sumOf(stack), Vb, 1) << c.name;
        const auto& legends = circuitInfo(c.circuit).gridColumns;
        ASSERT_EQ(r.gridRow.size(), legends.size() + 1) << c.name;
        EXPECT_EQ(r.gridRow[0], "12:34:56") << c.name;
        if (*c.gainCell) {
            const auto it = std::find(legends.begin(), legends.end(), c.gainCell);
            ASSERT_NE(it, legends.end()) << c.name;
            const double gain = std::stod(r.gridRow[static_cast<std::size_t>(it - legends.begin()) + 1]);
            EXPECT_GT(gain * c.gainSign, 0) << c.name;
        }
        EXPECT_EQ(r.bode.has_value(), circuitInfo(c.circuit).bodeTab) << c.name;
        if (r.bode) {
            EXPECT_EQ(r.bode->legends.size(), circuitInfo(c.circuit).bodeLegends.size()) << c.name;
            EXPECT_GT(r.bode->fH, r.bode->fL) << c.name;
            for (double a : r.bode->overall)
                EXPECT_TRUE(std::isfinite(a)) << c.name;
        }
    }
}

TEST(DcCoupled, ReportFormats) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        std::vector<const char*> dc, ac;
        std::vector<std::pair<const char*, const char*>> labels;
    } cases[] = {
        {"C9",
         9,
         {{"EdVb", "400"}, {"EdRk2", "120k"}, {"EdRa2", "39k"}, {"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}},
         {"Va1 <css=vp>183.3 V</css>", "*** Quiescent state <b>T2 12AY7</b>"},
         {"<br><br>Total gain, BYpassed cathode resistors   <css=µ>",
          "<br>Total gain, UNbypassed cathode resistors <css=µ>"},
         {{"LabelVa1", "183.3V"}, {"LabelIa1", "2.2mA"}}},
        {"C13",
         13,
         {{"EdVg", "50"}, {"EdIk", "2m"}, {"EdRa", "47k"}, {"LBtube", "12AY7"}},
         {"</b><br><color=909090>Valvenix</color> 10 iterations", "Va <css=vp>156.0 V</css>",
          "Vg <css=vp>50.0 V</css>"},
         {"<br>Cathode is bypassed by a capacitor.",
          "Effective load on T1 anode (Ra||Ro)<css=r>42962Ω</css>"},
         {{"LabelVa", "156.00V"}, {"LabelVk", "50.56V"}}},
        {"C14",
         14,
         {{"EdVb", "300"},
          {"EdRg2", "220k"},
          {"EdRag", "470k"},
          {"EdRk2", "22k"},
          {"EdRa2", "47k"},
          {"LBtube1", "12AY7"},
          {"LBtube2", "12AY7"}},
         {"Ishifter <css=i>0.192 mA</css>", "Vg2 <css=vp>42.32 V</css>"},
         {"<br>Rk1 and Rk2 bypassed (BYp) or unbypassed (UNb) by capacitors.", "g<SUB>m</SUB>~",
          "Effective load on T1 (Ra1||Rg2) <css=r>", "Voltage gain of T2 (UNb)   <css=µ>",
          "<br><br>Global voltage gain of T1 and T2:<br>  Rk1 Rk2 BYp <css=µ>"},
         {{"LabelVg2", "42.3V"}, {"LabelIg", "0.2mA"}}},
        {"C19",
         19,
         {{"LBtube", "ECC83 / 12AX7"}},
         {"<br><br>V1  <css=vp>", "<br>V3  <css=vp>", "*** Quiescent state <b>T3 ECC83 / 12AX7</b>"},
         {"<i>Theoretical because the probability of oscillation is close to 1", "<b>T3 ECC83 / 12AX7</b>"},
         {}},
        {"C29",
         29,
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRf", "1M"}, {"EdRg", "100k"}},
         {"Va <css=vp>"},
         {"<br><br><b>WITHOUT feedback (Rf ∞):</b>", "<br><br><b>WITH feedback through Rf, Rk bypassed:</b>",
          "Ratio Rf/Rg <css=µ>10.00</css>", "dB</P>"},
         {}},
        {"C32",
         32,
         {{"LBtube", "ECC88 / 6DJ8"}, {"EdRa", "47k"}, {"EdRk", "470"}},
         {"Ia <css=i>"},
         {"<br>T1: ρ~<css=r>", "Input impedance (with Rk) <css=r>"},
         {}},
        {"C36",
         36,
         {{"LBtube", "EF86"}, {"EdVek", "100"}, {"EdRk", "2k"}, {"EdRa", "220k"}},
         {"Cathode-common pentode amplifier</b><br>", " iterations", "Is <css=i>", "Vs <css=vp>"},
         {"</css><br>AC load <css=r>", "<br>  * if BYpassed cathode resistor:<br>    gain <css=µ>-"},
         {}},
    };
    for (const auto& c : cases) {
        const SolveOutcome out = solveCommand(firstOpening(c.circuit, c.values));
        ASSERT_TRUE(out.solved) << c.name;
        for (const char* part : c.dc)
            EXPECT_TRUE(contains(out.result.dcReport, part)) << c.name << ": " << part << "\n"
                                                             << out.result.dcReport;
        for (const char* part : c.ac)
            EXPECT_TRUE(contains(out.result.acReport, part)) << c.name << ": " << part << "\n"
                                                             << out.result.acReport;
        for (const auto& [name, text] : c.labels)
            EXPECT_EQ(labelOf(out.result, name), text) << c.name << " " << name;
    }
}

// The edge cases the circuits are known for.
TEST(DcCoupled, EdgeCases) {
    // C14 without a bottom resistor: T2's grid sits at 0 V and T2 biases itself through Rk2.
    SolveOutcome out = solveCommand(firstOpening(14, {{"EdRg2", "0"}, {"LBtube2", "ECC83 / 12AX7"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_EQ(labelOf(out.result, "LabelVg2"), "0.0V");
    ASSERT_EQ(out.result.tubes.size(), 2u);
    EXPECT_LT(out.result.tubes[1].Vgk(), 0);
    EXPECT_TRUE(out.messages.empty());

    // C14 without Rk1: T1's grid sits at its cathode's potential, which this circuit accepts (only a
    // positive grid is refused), and the bias prints as a plain zero.
    out = solveCommand(firstOpening(14, {{"EdVb", "350"},
                                         {"EdRa1", "220k"},
                                         {"EdRk1", "0"},
                                         {"EdRag", "1M"},
                                         {"EdRg2", "470k"},
                                         {"EdRk2", "8.2k"},
                                         {"EdRa2", "33k"},
                                         {"LBtube1", "ECC83 / 12AX7"},
                                         {"LBtube2", "ECC82 / 12AU7"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_TRUE(out.result.ok) << out.result.dcReport;
    EXPECT_FALSE(contains(out.result.dcReport, "<css=error>")) << out.result.dcReport;
    EXPECT_TRUE(contains(out.result.dcReport, "Vgk <css=vp>0.000 V</css>")) << out.result.dcReport;

    // C19 without filter resistors: every stage runs at the supply, the loop ends after two passes.
    SolveRequest rq = firstOpening(19, {{"EdR1", "0"}, {"EdR2", "0"}, {"EdR3", "0"}});
    rq.traceConvergence = true;
    out = solveCommand(rq);
    ASSERT_TRUE(out.solved);
    for (const char* label : {"LabelVb1", "LabelVb2", "LabelVb3"})
        EXPECT_EQ(labelOf(out.result, label), "250.0V") << label;
    ASSERT_EQ(out.result.traces.size(), 3u);
    EXPECT_EQ(out.result.traces[2].count(), 2u);
    EXPECT_TRUE(contains(out.result.traces[2].caption, "- 2 iter.")) << out.result.traces[2].caption;

    // C36 with zero resistors (read as 1 Ω): the current lies far outside the starting bracket.
    out = solveCommand(firstOpening(36, {{"EdRa", "0"}, {"EdRk", "0"}, {"LBtube", "EF86"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_TRUE(contains(out.result.dcReport, "<br>500 iterations")) << out.result.dcReport;
    EXPECT_TRUE(contains(out.result.dcReport, "<css=error>Too many iterations</css>"));
    EXPECT_FALSE(out.result.ok);
    EXPECT_EQ(out.result.gridRow[0], "ERROR");

    // A filter resistor far too large for the stages behind it still settles on one point.
    out = solveCommand(firstOpening(20, {{"EdR1", "1M"}, {"EdR2", "1M"}}));
    ASSERT_TRUE(out.solved);
    EXPECT_FALSE(contains(out.result.dcReport, "Too many iterations")) << out.result.dcReport;
    const double V2 = std::stod(labelOf(out.result, "LabelVb2"));
    EXPECT_GT(V2, 0);
    EXPECT_LT(V2, 250);
}

// Designs that cannot work: the dialogs, the verdict lines and the "ERROR" status.
TEST(DcCoupled, FailurePaths) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        const char* message; // start of the first dialog, empty when none
        bool report;         // whether a DC report is produced
        std::vector<const char*> lines;
    } cases[] = {
        {"C13 drop across Ra too large",
         13,
         {{"EdVg", "100"}, {"EdIk", "1.2m"}},
         "The drop voltage Ra.Ik is certainly too large.",
         false,
         {}},
        {"C9 second stage cannot lift its cathode",
         9,
         {},
         "The circuit cannot be operated normally because of tube T2",
         true,
         {"<css=error>Vgk > 0</css>", "<br>Tube T2 cannot deliver current in these conditions"}},
        {"C14 divider tap too high",
         14,
         {},
         "The circuit cannot be operated normally because of tube T2",
         true,
         {"<br><css=error>Error: tube T2 cannot deliver required current because of Vg2 too high and/or Rk2 "
          "too "
          "low</css>"}},
        {"C19 stages without cathode resistors",
         19,
         {{"EdRk1", "0"}, {"EdRk2", "0"}, {"EdRk3", "0"}},
         "",
         true,
         {"<br><css=error>Vgk > 0</css>", "<br><css=error>Vgk(s) positive or null</css>"}},
        {"C26 without cathode resistors",
         26,
         {{"EdRk1", "0"}},
         "",
         true,
         {"<br><css=error>Vgk positive</css>"}},
        {"C32 without cathode resistor",
         32,
         {{"EdRk", "0"}},
         "",
         true,
         {"<br><css=error>No convergence !</css><br><css=error>Vgk > 0</css>"}},
    };
    for (const auto& c : cases) {
        const SolveOutcome out = solveCommand(firstOpening(c.circuit, c.values));
        ASSERT_TRUE(out.solved) << c.name;
        const SolveResult& r = out.result;
        EXPECT_FALSE(r.ok) << c.name;
        if (*c.message) {
            ASSERT_FALSE(r.messages.empty()) << c.name;
            EXPECT_EQ(r.messages[0].rfind(c.message, 0), 0u) << c.name << ": " << r.messages[0];
        } else {
            EXPECT_TRUE(r.messages.empty()) << c.name;
        }
        EXPECT_EQ(r.dcReport.empty(), !c.report) << c.name;
        if (c.report) {
            EXPECT_EQ(r.gridRow[0], "ERROR") << c.name;
        }
        for (const char* line : c.lines)
            EXPECT_TRUE(contains(r.dcReport, line)) << c.name << ": " << line << "\n" << r.dcReport;
        // Every verdict line is written once.
        for (const char* line : c.lines)
            EXPECT_EQ(r.dcReport.find(line), r.dcReport.rfind(line)) << c.name << ": " << line;
    }
}

// A second stage the split-load solver rejects is shown at zero bias on its load line, not at a
// point left over from the solver's probe.
TEST(DcCoupled, RejectedSecondStageSitsAtItsGridCurrentLimit) {
    const SolveOutcome out = solveCommand(firstOpening(9, {{"LBtube1", "12AY7"}, {"LBtube2", "12AY7"}}));
    ASSERT_EQ(out.result.tubes.size(), 2u);
    const TTube& T2 = out.result.tubes[1];
    EXPECT_EQ(T2.Vgk(), 0);
    EXPECT_FALSE(std::signbit(T2.Vgk()));
    EXPECT_NEAR(T2.Vak() + 101e3 * T2.Ia(), 250, 0.5);
}

TEST(DcCoupled, TraceCaptions) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        std::vector<const char*> starts;
    } cases[] = {
        {"C36 anode and screen",
         36,
         {{"LBtube", "EF86"}, {"EdVek", "100"}, {"EdRk", "2k"}, {"EdRa", "220k"}},
         {"C36 - T1 EF86 - ", "C36 - T1 EF86 - "}},
        {"C26 both tubes",
         26,
         {{"LBtube", "ECC88 / 6DJ8"}},
         {"C26 - T1 ECC88 / 6DJ8 - ", "C26 - T2 ECC88 / 6DJ8 - "}},
        {"C14 both tubes",
         14,
         {{"EdVb", "300"},
          {"EdRg2", "220k"},
          {"EdRag", "470k"},
          {"EdRk2", "22k"},
          {"EdRa2", "47k"},
          {"LBtube1", "12AY7"},
          {"LBtube2", "12AY7"}},
         {"C14 - T1 12AY7 - ", "C14 - T2 12AY7 - "}},
    };
    for (const auto& c : cases) {
        SolveRequest rq = firstOpening(c.circuit, c.values);
        const SolveOutcome quiet = solveCommand(rq);
        rq.traceConvergence = true;
        const SolveOutcome traced = solveCommand(rq);
        ASSERT_EQ(traced.result.traces.size(), c.starts.size()) << c.name;
        for (std::size_t i = 0; i < c.starts.size(); ++i)
            EXPECT_EQ(traced.result.traces[i].caption.rfind(c.starts[i], 0), 0u)
                << c.name << ": " << traced.result.traces[i].caption;
        EXPECT_EQ(traced.result.dcReport, quiet.result.dcReport) << c.name;
        EXPECT_EQ(traced.result.gridRow, quiet.result.gridRow) << c.name;
    }
    SolveRequest rq =
        firstOpening(36, {{"LBtube", "EF86"}, {"EdVek", "100"}, {"EdRk", "2k"}, {"EdRa", "220k"}});
    rq.traceConvergence = true;
    const SolveOutcome out = solveCommand(rq);
    EXPECT_TRUE(contains(out.result.traces[0].caption, " iter. Res ±10µA Ia "))
        << out.result.traces[0].caption;
    EXPECT_TRUE(contains(out.result.traces[1].caption, " iter. Res ±10µA Ie "))
        << out.result.traces[1].caption;
}
