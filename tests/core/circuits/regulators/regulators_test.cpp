// The voltage regulators and the current sink C16, C17, C18, C25, C27: operating points that add
// up, report and label formats, the dialogs that end a solve before it starts, and the verdicts.
#include "approx.h"
#include "solve_fixture.h"

#include "markup/formatters.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A label's value without its unit ("12.34V" -> 12.34).
const Values kC16 = {{"LBtube1", "ECC99"}, {"LBtube2", "ECC83 / 12AX7"},
                     {"EdVb", "400"},      {"EdR1", "470k"},
                     {"EdR2", "47k"},      {"EdR3", "220k"},
                     {"EdR4", "100k"},     {"EdVref", "85"},
                     {"EdIo", "20m"}};
const Values kC17 = {
    {"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR", "100k"}, {"EdVref", "250"}, {"EdIo", "10m"}};
const Values kC18 = {
    {"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR1", "22k"}, {"EdR2", "100k"}, {"EdR3", "100k"},
    {"EdVref", "100"},           {"EdIo", "3m"}};
const Values kC25 = {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "30"}, {"EdVa", "250"}, {"EdRk", "22k"}};
const Values kC27 = {{"LBtube", "ECC82 / 12AU7"},
                     {"EdVb", "300"},
                     {"EdRa", "5k"},
                     {"EdR1", "470k"},
                     {"EdR2", "470k"},
                     {"EdRk", "470"},
                     {"EdIo", "20m"}};

} // namespace

TEST(Regulators, RealisticDesignsSolveCleanly) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        double supply; // every stack column adds up to it
    } cases[] = {
        {"C16 ECC99 ballast, ECC83 amplifier", 16, kC16, 400},
        {"C17 ECC82 ballast", 17, kC17, 350},
        {"C18 ECC82 shunt", 18, kC18, 350},
        {"C25 ECC83 sink", 25, kC25, 250},
        {"C27 ECC82 Janus", 27, kC27, 300},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        EXPECT_FALSE(contains(r.dcReport, "<css=error>")) << c.name;
        EXPECT_TRUE(r.messages.empty()) << c.name;
        EXPECT_FALSE(r.bode.has_value()) << c.name;
        ASSERT_EQ(r.gridRow.size(), circuitInfo(c.circuit).gridColumns.size() + 1) << c.name;
        EXPECT_EQ(r.gridRow[0], "12:34:56") << c.name;
        ASSERT_EQ(r.tubes.size(), static_cast<std::size_t>(circuitInfo(c.circuit).tubeCount)) << c.name;
        for (const TTube& t : r.tubes) {
            EXPECT_LT(t.Vgk(), 0) << c.name << " " << t.Reference();
            EXPECT_GT(t.Vak(), 10) << c.name << " " << t.Reference();
            EXPECT_GT(t.Ia(), 0.1e-3) << c.name << " " << t.Reference();
        }
        ASSERT_FALSE(r.stacks.empty()) << c.name;
        for (const auto& stack : r.stacks)
            EXPECT_NEAR(sumOf(stack), c.supply, 1) << c.name;
        for (const auto& line : r.loadLines)
            EXPECT_GT(line.Imax, 0) << c.name;
    }
}

TEST(CircuitC16, ErrorAmplifierHoldsTheDividerNearTheReference) {
    const SolveResult r = solved(16, kC16, true);
    const TTube& ballast = r.tubes.at(0);
    const TTube& amplifier = r.tubes.at(1);
    const double Vo = labelNumber(r, "LabelVo");
    // The nominal output (R3 + R4)/R4 · Vref is 272 V; a finite loop gain leaves it a little low.
    EXPECT_GT(Vo, 255);
    EXPECT_LT(Vo, 272);
    EXPECT_NEAR(ballast.Vak(), 400 - Vo, 0.01);
    // The ballast carries the load, the divider and the reference feed.
    EXPECT_NEAR(ballast.Ia(), Vo / 320e3 + 20e-3 + (Vo - 85) / 47e3, 2e-5);
    // Its grid sits where R1 and the amplifier's current put it.
    EXPECT_NEAR(Vo + ballast.Vgk(), 400 - 470e3 * amplifier.Ia(), 0.01);
    EXPECT_NEAR(amplifier.Vgk(), Vo * 100.0 / 320 - 85, 0.01);
    EXPECT_EQ(ballast.Reference(), "T1 Ballast");
    EXPECT_EQ(amplifier.Reference(), "T2 Amplifier");

    EXPECT_TRUE(
        contains(r.dcReport, "<b>Two-triode serial voltage regulator</b><br><color=909090>Valvenix</color> "))
        << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " iterations<br>Total power supply")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><br>VREF 85V  <css=i>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br>Vg1  <css=vp>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br><br>OUTPUT  <css=vp>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "Max output current <css=i>")) << r.dcReport;
    EXPECT_EQ(r.acReport, "No small signal analysis available.");
    EXPECT_EQ(labelOf(r, "LabelVo"), strFormat("%.2fV", Vo));
    EXPECT_EQ(labelOf(r, "LabelIa2"), strFormat("%.2fmA", 1000 * amplifier.Ia()));
    EXPECT_EQ(labelOf(r, "LabelIdiv"), strFormat("%.2fmA", 1000 * Vo / 320e3));
    EXPECT_NEAR(gridNumber(r, 16, "Vo (V)"), Vo, 0.01);

    ASSERT_EQ(r.traces.size(), 3u);
    EXPECT_EQ(r.traces[0].caption.rfind("C16 - T1 Ballast ECC99 - ", 0), 0u) << r.traces[0].caption;
    EXPECT_TRUE(contains(r.traces[0].caption, strFormat("Ia %.2fmA", 1000 * ballast.Ia())));
    EXPECT_EQ(r.traces[1].caption.rfind("C16 - T2 Amplifier ECC83 / 12AX7 - ", 0), 0u);
    EXPECT_EQ(r.traces[2].caption.rfind("C16 - ", 0), 0u);
    EXPECT_TRUE(contains(r.traces[2].caption, strFormat(" iter. Vo %.2fV", Vo))) << r.traces[2].caption;
}

TEST(CircuitC17, BallastCarriesTheLoadAboveItsGrid) {
    const SolveResult r = solved(17, kC17, true);
    const TTube& t = r.tubes.at(0);
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(t.Ia(), 10e-3, 1e-6);
    EXPECT_NEAR(Vo - 250, -t.Vgk(), 0.01); // the cathode follows the reference
    EXPECT_TRUE(contains(r.dcReport, "<br>VREF 250V  <css=i>1.00 mA</css> P <css=mw>250 mW</css>"))
        << r.dcReport;
    EXPECT_TRUE(contains(r.acReport, "<b>Small signal analysis</b><br>")) << r.acReport;
    // A follower's output: about 1/gm.
    EXPECT_TRUE(contains(r.acReport, "Output impedance <css=r>")) << r.acReport;
    const double zout = 1 / (t.gm() + 1 / t.ρ());
    EXPECT_TRUE(contains(r.acReport, scaleResistance(0, zout))) << r.acReport;
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_EQ(r.traces[0].caption.rfind("C17 - T1 ECC82 / 12AU7 - ", 0), 0u);
}

TEST(CircuitC18, ShuntTakesWhatTheLoadLeaves) {
    struct Case {
        const char* name;
        const char* Io;
    } cases[] = {{"3 mA load", "3m"}, {"load disconnected", "0"}};
    for (const auto& c : cases) {
        const SolveResult r = solved(18, {{"LBtube", "ECC82 / 12AU7"},
                                          {"EdVb", "350"},
                                          {"EdR1", "22k"},
                                          {"EdR2", "100k"},
                                          {"EdR3", "100k"},
                                          {"EdVref", "100"},
                                          {"EdIo", c.Io}});
        const double Io = std::stod(c.Io == std::string("0") ? "0" : "3e-3");
        EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        const TTube& t = r.tubes.at(0);
        const double Vo = labelNumber(r, "LabelVo");
        EXPECT_NEAR(t.Ia(), (350 - Vo) / 22e3 - Vo / 200e3 - Io, 1e-5) << c.name;
        EXPECT_NEAR(t.Vak(), Vo - 100, 0.006) << c.name;
        EXPECT_NEAR(labelNumber(r, "LabelItot"), 1000 * (350 - Vo) / 22e3, 0.02) << c.name;
        EXPECT_EQ(labelOf(r, "LabelVg"), strFormat("%.2fV", Vo / 2)) << c.name;
        EXPECT_TRUE(contains(r.dcReport, "Max current that T1 can sink (at Vgk null) <css=i>")) << c.name;
        EXPECT_TRUE(contains(r.dcReport, "at Vo <css=vp>")) << c.name;
        EXPECT_TRUE(contains(r.acReport, "Internal resistance <css=r>" + scaleResistance(0, t.ρ())))
            << c.name;
    }
    // Without the load the tube sinks more and the output rises towards the nominal 200 V.
    const SolveResult loaded = solved(18, kC18);
    const SolveResult open = solved(18, {{"LBtube", "ECC82 / 12AU7"},
                                         {"EdVb", "350"},
                                         {"EdR1", "22k"},
                                         {"EdR2", "100k"},
                                         {"EdR3", "100k"},
                                         {"EdVref", "100"},
                                         {"EdIo", "0"}});
    EXPECT_GT(open.tubes.at(0).Ia(), loaded.tubes.at(0).Ia() + 2.5e-3);
    EXPECT_GT(labelNumber(open, "LabelVo"), labelNumber(loaded, "LabelVo"));
}

TEST(CircuitC25, SinkCurrentAndItsInternalResistance) {
    const SolveResult r = solved(25, kC25);
    const TTube& t = r.tubes.at(0);
    const double Vk = labelNumber(r, "LabelVk");
    EXPECT_NEAR(Vk, 30 - t.Vgk(), 0.01); // the cathode sits its bias above the grid
    EXPECT_NEAR(labelNumber(r, "LabelIa"), 1000 * Vk / 22e3, 0.01);
    const double Ri = t.ρ() + (t.µ() + 1) * 22e3;
    EXPECT_TRUE(contains(r.acReport, strFormat("<br>Output impedance <css=r>%s</css>  [ ρ +(µ+1)Rk ]  .",
                                               scaleResistance(0, Ri).c_str())))
        << r.acReport;
    EXPECT_NEAR(gridNumber(r, 25, "Ri (kΩ)"), Ri / 1000, 0.05);
    EXPECT_TRUE(contains(r.dcReport, "<br><br>Va  <css=vp>250.0 V</css><br>Vg ")) << r.dcReport;
}

TEST(CircuitC25, StartsFromATenthOfAMilliampereBelowHalfAVolt) {
    const SolveResult r = solved(25, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "0.3"}, {"EdRk", "1k"}}, true);
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_TRUE(contains(r.traces[0].caption, "Ia 0.10=>")) << r.traces[0].caption;
    EXPECT_TRUE(r.ok) << r.dcReport;
}

TEST(CircuitC25, SteepTubeOnALargeCathodeResistorStillSettles) {
    // gm·Rk is well above 100: the damped step alone would swing wider every pass.
    const SolveResult r = solved(25, {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "100"}, {"EdRk", "100k"}}, true);
    ASSERT_EQ(r.traces.size(), 1u);
    EXPECT_GT(r.traces[0].count(), 1000u); // the damped passes ran out before the bisection
    EXPECT_TRUE(r.ok) << r.dcReport;
    const TTube& t = r.tubes.at(0);
    EXPECT_NEAR(labelNumber(r, "LabelVk"), 100 - t.Vgk(), 0.01);
    EXPECT_LT(t.Vgk(), 0);
}

TEST(CircuitC27, StackedTubesShareOneCurrent) {
    const SolveResult r = solved(27, kC27);
    const TTube& t1 = r.tubes.at(0);
    const TTube& t2 = r.tubes.at(1);
    EXPECT_REL(t1.Ia(), t2.Ia(), 0.01);
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(labelNumber(r, "LabelVg2"), Vo / 2, 0.01);
    // T2's cathode is T1's anode: its grid voltage minus its bias.
    EXPECT_NEAR(labelNumber(r, "LabelVa1"), Vo / 2 - t2.Vgk(), 0.05);
    // Ra carries the load, the tubes and the divider.
    EXPECT_NEAR(labelNumber(r, "LabelItot"), 1000 * (300 - Vo) / 5e3, 0.02);
    EXPECT_TRUE(contains(r.dcReport, "<br>Yield:<br> - output power Vo.Io  <css=mw>")) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, "<br> - output current Io  <css=i>20.00 mA</css> (81%)")) << r.dcReport;
    EXPECT_EQ(r.acReport, "No small signal analysis available.");
}

TEST(CircuitC27, WithoutLoadEverythingGoesThroughTubesAndDivider) {
    const SolveResult r = solved(27, {{"LBtube", "ECC82 / 12AU7"},
                                      {"EdVb", "300"},
                                      {"EdRa", "5k"},
                                      {"EdR1", "470k"},
                                      {"EdR2", "470k"},
                                      {"EdRk", "470"},
                                      {"EdIo", "0"}});
    EXPECT_TRUE(r.ok) << r.dcReport;
    EXPECT_TRUE(contains(r.dcReport, " - output current Io  <css=i>0.00 mA</css> (0%)")) << r.dcReport;
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_NEAR(r.tubes.at(0).Ia() + Vo / 940e3, (300 - Vo) / 5e3, 2e-5);
}

TEST(CircuitC27, SupplyResistorLargerThanTheDividerStillSettles) {
    // The first-opening sheet: Ra (100k) is five times R1 + R2.
    const SolveResult r = solved(27, {{"LBtube", "ECC82 / 12AU7"}});
    EXPECT_FALSE(contains(r.dcReport, "Too many iterations")) << r.dcReport;
    const double Vo = labelNumber(r, "LabelVo");
    EXPECT_GT(Vo, 0);
    EXPECT_LT(Vo, 250);
}

TEST(Regulators, ImpossibleDesignsEndWithADialogAndNoReport) {
    TTube ecc99 = builtinTube("ECC99");
    TTube ecc82 = builtinTube("ECC82 / 12AU7");
    const double ballastAt128 = ecc99.getMaxCurrent(400 - 320e3 * 85 / 100e3);
    const double ballastAt100 = ecc82.getMaxCurrent(100);
    struct Case {
        const char* name;
        int circuit;
        Values values;
        std::string message;
    } cases[] = {
        {"C16 load beyond the ballast",
         16,
         {{"LBtube1", "ECC99"},
          {"EdVb", "400"},
          {"EdR3", "220k"},
          {"EdR4", "100k"},
          {"EdVref", "85"},
          {"EdIo", "1"}},
         strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = 128V and Vgk=0V",
                   1000 * ballastAt128)},
        {"C16 null R2", 16, {{"EdR2", "0"}}, "No resistor can be null!"},
        // R4 = 0 would put the nominal output at infinity and the bracket's top with it.
        {"C16 null R4", 16, {{"EdR4", "0"}}, "No resistor can be null!"},
        {"C17 supply 49 V above the reference",
         17,
         {{"EdVb", "299"}, {"EdVref", "250"}},
         "Vb and Vref are too close!"},
        {"C17 null R", 17, {{"EdR", "0"}}, "Resistor \"R\" cannot be null!"},
        {"C17 load beyond the ballast",
         17,
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdVref", "250"}, {"EdIo", "1"}},
         strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = 100V and Vgk=0V",
                   1000 * ballastAt100)},
        {"C18 drop across R1",
         18,
         {{"EdVb", "350"}, {"EdR1", "10k"}, {"EdIo", "31m"}},
         "R1 10000Ω is too high and/or output current 31mA is too high"},
        {"C18 null R3", 18, {{"EdR3", "0"}}, "No resistor can be null!"},
        {"C18 null R1 on a low supply", 18, {{"EdVb", "40"}, {"EdR1", "0"}}, "No resistor can be null!"},
        {"C18 shunt too weak",
         18,
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdR1", "10k"},
          {"EdR2", "100k"},
          {"EdR3", "100k"},
          {"EdVref", "100"},
          {"EdIo", "5m"}},
         "T1 cannot sink 14.0mA at Vgk null, when load is disconnected"},
        {"C27 null divider", 27, {{"EdR1", "0"}, {"EdR2", "0"}}, "No resistor can be null!"},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        ASSERT_EQ(r.messages.size(), 1u) << c.name;
        EXPECT_EQ(r.messages[0], c.message) << c.name;
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_TRUE(r.dcReport.empty()) << c.name;
        EXPECT_TRUE(r.gridRow.empty()) << c.name;
        EXPECT_TRUE(r.tubes.empty()) << c.name;
    }
    // Fifty volts above the reference is enough.
    const SolveResult justEnough =
        solved(17, {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "300"}, {"EdVref", "250"}});
    EXPECT_TRUE(justEnough.messages.empty());
    EXPECT_FALSE(justEnough.dcReport.empty());
}

TEST(Regulators, FailedChecksWriteTheirLinesOnce) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
        std::vector<const char*> lines;
    } cases[] = {
        // A reference of 0 V closes the output's bracket: no point satisfies the loop.
        {"C16 null reference",
         16,
         {{"EdVref", "0"}, {"EdIo", "0"}},
         {"Too many iterations", "Abnormal T2 operating conditions", "Wrong stacked voltages branch 1",
          "Vgk(s) positive or null"}},
        // Nominal output above the supply: the shunt's anode falls below its cathode.
        {"C18 first opening", 18, {}, {"Abnormal T1 operating conditions"}},
        {"C25 grid far above the cathode", 25, {{"EdVg", "250"}}, {"Vgk > 0", "Vgk positive"}},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        EXPECT_FALSE(r.ok) << c.name;
        ASSERT_FALSE(r.gridRow.empty()) << c.name;
        EXPECT_EQ(r.gridRow[0], "ERROR") << c.name;
        EXPECT_EQ(r.dcReport.find("<br><css=error>No convergence !</css>"),
                  r.dcReport.find("<br><css=error>"))
            << c.name;
        for (const char* line : c.lines)
            EXPECT_EQ(occurrences(r.dcReport, "<br><css=error>" + std::string(line) + "</css>"), 1)
                << c.name << ": " << line << "\n"
                << r.dcReport;
    }
}

TEST(Regulators, DegenerateSheetsReturnFiniteOrFlagged) {
    struct Case {
        const char* name;
        int circuit;
        Values values;
    } cases[] = {
        {"C16 tiny load, huge R1", 16, {{"EdVref", "50"}, {"EdR4", "20k"}, {"EdIo", "1p"}, {"EdR1", "999M"}}},
        {"C17 no load", 17, {{"EdVref", "0"}, {"EdIo", "0"}}},
        {"C18 reference beyond reach", 18, {{"EdVref", "999M"}, {"EdIo", "0"}}},
        {"C25 no cathode resistor", 25, {{"EdRk", "0"}, {"EdVg", "0"}}},
        {"C25 huge everything", 25, {{"EdRk", "999M"}, {"EdVg", "999M"}, {"EdVa", "0"}}},
        {"C27 huge load", 27, {{"EdIo", "999M"}, {"EdRk", "999M"}}},
        {"C27 huge Ra", 27, {{"EdIo", "0"}, {"EdRa", "999M"}}},
    };
    for (const auto& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        if (!r.ok)
            continue;
        for (const TTube& t : r.tubes) {
            EXPECT_TRUE(std::isfinite(t.Ia())) << c.name;
            EXPECT_TRUE(std::isfinite(t.Vak())) << c.name;
        }
    }
}
