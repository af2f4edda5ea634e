// Report building blocks: value formatters, grid cells, dissipation table, verdicts, stack check
// and the quiescent-state block of a tube.
#include "approx.h"
#include "builtin_tubes.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/grid_cells.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <functional>
#include <vector>

namespace {

struct FormatCase {
    const char* name;
    std::function<std::string()> format;
    const char* expected;
};

} // namespace

TEST(ReportFormatters, FragmentsAndClasses) {
    const std::vector<FormatCase> cases = {
        {"negative voltage is vn", [] { return fmtVoltage("Vgk", 2, -1.5); }, "Vgk <css=vn>-1.50 V</css>"},
        {"zero voltage is vp", [] { return fmtVoltage("", 0, 0); }, " <css=vp>0 V</css>"},
        {"positive voltage", [] { return fmtVoltage("Vak", 2, 153.72); }, "Vak <css=vp>153.72 V</css>"},
        {"gm printed in mA/V", [] { return fmtTransconductance("gm~", 1, 0.00204); },
         "gm~<css=gm>2.0mA/V</css>"},
        {"amplification factor", [] { return fmtAmplification("µ~", 0, 95.3); }, "µ~<css=µ>95</css>"},
        {"negative gain", [] { return fmtAmplification("gain ", 1, -59.66); }, "gain <css=µ>-59.7</css>"},
        {"current in mA", [] { return fmtCurrent("Ia ", 2, 0.9538); }, "Ia  <css=i>0.95 mA</css>"},
        {"power mW", [] { return fmtPowerMW("Pa ", 0, 146.6); }, "Pa  <css=mw>147 mW</css>"},
        {"power W", [] { return fmtPowerW("Pout", 1, 2.46); }, "Pout <css=w>2.5 W</css>"},
        {"100k", [] { return fmtResistance("Ra", 0, 100000); }, "Ra<css=r>100kΩ</css>"},
        {"2.2M stays in kΩ", [] { return fmtResistance("Ra", 0, 2200000); }, "Ra<css=r>2200kΩ</css>"},
        {"1M", [] { return fmtResistance("Ra", 0, 1000000); }, "Ra<css=r>1MΩ</css>"},
        {"1.5M stays in kΩ", [] { return fmtResistance("Ra", 0, 1500000); }, "Ra<css=r>1500kΩ</css>"},
        {"4k7 is not whole in kΩ", [] { return fmtResistance("Ra", 0, 4700); }, "Ra<css=r>4700Ω</css>"},
        {"fraction rounds", [] { return fmtResistance("Ra", 0, 47.5); }, "Ra<css=r>48Ω</css>"},
        {"decimals in Ω", [] { return fmtResistance("Z ", 1, 83333.33); }, "Z <css=r>83333.3Ω</css>"},
        {"10M", [] { return fmtResistance("", 0, 1e7); }, "<css=r>10MΩ</css>"},
        {"label with percent", [] { return fmtCurrent("100%", 1, 1); }, "100% <css=i>1.0 mA</css>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.format(), c.expected) << c.name;
}

TEST(ReportFormatters, GridCellsUseLocaleSeparators) {
    const NumberLocale english{'.', ","};
    const NumberLocale french{',', "\u202f"};
    const NumberLocale bare{'.', ""};
    struct Case {
        const char* name;
        int n;
        double factor, value;
        NumberLocale locale;
        const char* expected;
    };
    const Case cases[] = {
        {"small integer", 0, 1, 250, english, "250"},
        {"factor 1000", 3, 1000, 0.0009538, english, "0.954"},
        {"grouped", 2, 1, 1234567.891, english, "1,234,567.89"},
        {"exact thousand", 0, 1, 1000, english, "1,000"},
        {"negative grouped", 1, 1, -1234.5, english, "-1,234.5"},
        {"negative three digits", 1, 1, -59.66, english, "-59.7"},
        {"french separators", 2, 1, 1234567.891, french, "1\u202f234\u202f567,89"},
        {"no thousands separator", 2, 1, 1234567.891, bare, "1234567.89"},
        {"power in mW", 0, 1000, 250 * 0.0009538, english, "238"},
        {"zero bias", 3, 1, -0.0, english, "0.000"},
        {"rounds to zero", 1, 1, -0.04, english, "0.0"},
        {"rounds away from zero", 1, 1, -0.05, english, "-0.1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(gridCell(c.n, c.factor, c.value, c.locale), c.expected) << c.name;
}

TEST(ReportText, AccumulatesAndClears) {
    TTextResult t("<b>C1</b>");
    t.Add("<br>a");
    t.Add("b");
    EXPECT_EQ(t.texte, "<b>C1</b><br>ab");
    t.Clear();
    EXPECT_EQ(t.texte, "");
}

TEST(ReportDissipation, AlignedColumns) {
    std::vector<TResistor> rs = {resistorRecord("Ra", 0.001, 100000), resistorRecord("Rk", 0.001, 1000)};
    const std::string text = dissipationTable(rs);
    const std::string ra =
        "Ra<css=r>  100kΩ</css><css=i>  1.000mA</css><css=vp>  100.00V</css><css=mw>  100mW</css>";
    const std::string rk =
        "Rk<css=r>    1kΩ</css><css=i>  1.000mA</css><css=vp>    1.00V</css><css=mw>    1mW</css>";
    EXPECT_EQ(text, ra + "<br>" + rk);
    EXPECT_EQ(rs[0].display, ra);
    EXPECT_EQ(rs[1].display, rk);
}

TEST(ReportDissipation, NamesPaddedToLongestAndSingleLine) {
    std::vector<TResistor> rs = {resistorRecord("R", 0.002, 47.5), resistorRecord("Rload", 0, 1e6)};
    const std::string text = dissipationTable(rs);
    EXPECT_EQ(rs[0].display.substr(0, 5), "R    ");
    EXPECT_EQ(rs[0].display.find("<css=r>  48Ω</css>"), 5u);
    EXPECT_EQ(rs[1].display.find("<css=r>  1MΩ</css>"), 5u);
    EXPECT_EQ(rs[1].display.find("<css=mw>  0mW</css>") != std::string::npos, true);

    std::vector<TResistor> one = {resistorRecord("Rk", 0.0009538, 1000)};
    EXPECT_EQ(dissipationTable(one),
              "Rk<css=r>  1kΩ</css><css=i>  0.954mA</css><css=vp>  0.95V</css><css=mw>  1mW</css>");
    std::vector<TResistor> none;
    EXPECT_EQ(dissipationTable(none), "");
}

TEST(ReportVerdicts, LinesInFixedOrder) {
    const std::string nc = "<br><css=error>No convergence !</css>";
    const std::string ll = "<br><css=error>Tube out of loadline</css>";
    const std::string op = "<br><css=error>Wrong operating point</css>";
    const std::string vg = "<br><css=error>Vgk > 0</css>";
    const std::string st = "<br><css=error>Wrong stacked voltages</css>";
    const std::string it = "<br><css=error>Too many iterations</css>";
    struct Case {
        const char* name;
        bool loadLine, op, vgk, stacks, iterations;
        std::string added;
    };
    const Case cases[] = {
        {"all true adds nothing", true, true, true, true, true, ""},
        {"only Vgk", true, true, false, true, true, nc + vg},
        {"only stacks", true, true, true, false, true, nc + st},
        {"only iterations", true, true, true, true, false, nc + it},
        {"load line and op", false, false, true, true, true, nc + ll + op},
        {"all false", false, false, false, false, false, nc + ll + op + vg + st + it},
    };
    for (const auto& c : cases) {
        std::string text = "<b>C1</b>";
        const bool ok = verdicts(text, c.loadLine, c.op, c.vgk, c.stacks, c.iterations);
        EXPECT_EQ(ok, c.added.empty()) << c.name;
        EXPECT_EQ(text, "<b>C1</b>" + c.added) << c.name;
    }
}

TEST(ReportVerdicts, StackCheckIsStrict) {
    EXPECT_TRUE(stackCheck(1, 250, 250.05));
    EXPECT_TRUE(stackCheck(1, 250, 249.5));
    EXPECT_FALSE(stackCheck(1, 250, 251));
    EXPECT_FALSE(stackCheck(1, 250, 248.9));

    TVoltageStacks s;
    s.Add("Ra", 95.38, kStackRed);
    s.Add("T1", 153.72, kStackYellow);
    s.Add("Rk", 0.95, kStackGreen);
    EXPECT_NEAR(stackSum(s), 250.05, 1e-9);
    EXPECT_TRUE(stackCheck(1, 250, stackSum(s)));
    EXPECT_EQ(stackSum(TVoltageStacks{}), 0.0);
}

namespace {

// A tube of the model at (Vak, Vgk[, Vek]), its fields filled by the equations.
TTube tubeAt(const TubeParams& p, double vak, double vgk, double vek = 0, int npar = 1) {
    TTube t(p, "T1");
    if (p.t35 == 5) {
        t.CalculerNKpentode(vak, vgk, vek, npar);
    } else {
        double ia;
        t.CalculerNK(vak, vgk, ia, npar);
    }
    return t;
}

const char* const kSoaLine = "<css=error>*** SOA issue ***</css>";

} // namespace

TEST(ReportQuiescentState, Ecc83ReferencePoint) {
    // The C1 point: Vb 250 V, Ra 100 kΩ, Rk 1 kΩ.
    TTube t = builtinTube("ECC83 / 12AX7");
    t.basicBiasSuccApprox(250, 100000, 1000);
    ASSERT_NEAR(t.Ia() * 1000, 0.9538, 0.00005);
    ASSERT_NEAR(t.Vak(), 153.72, 0.005);
    EXPECT_EQ(t.displayOP(), "<br>*** Quiescent state <b>T1 ECC83 / 12AX7</b>"
                             "<br><br>  Vak <css=vp>153.72 V</css>     44% of Vamax (350V)"
                             "<br>  Vgk <css=vn>-0.953 V</css>"
                             "<br>   Ia  <css=i>0.95 mA</css>     12% of Imax (8mA)"
                             "<br>   Pa  <css=mw>147 mW</css>     15% of Pmax (1.0W)<br>");
}

TEST(ReportQuiescentState, ParallelTubesReportPerTube) {
    // The branch carries the current of two tubes; the block shows one tube's share.
    const TTube t = tubeAt(builtinParams("ECC83 / 12AX7"), 153.72, -0.953, 0, 2);
    const std::string two = t.displayOP(2);
    EXPECT_NE(two.find("<br><br>There are <css=npar>2 tubes in parallel per branch</css>, data below is for "
                       "single tube.<br><br>  Vak"),
              std::string::npos);
    EXPECT_NE(two.find("Ia  <css=i>0.95 mA</css>     12% of Imax (8mA)"), std::string::npos);
    EXPECT_NE(two.find("Pa  <css=mw>147 mW</css>     15% of Pmax (1.0W)"), std::string::npos);
    EXPECT_EQ(two.find(kSoaLine), std::string::npos);

    const std::string one = t.displayOP(1);
    EXPECT_EQ(one.find("There are"), std::string::npos);
    EXPECT_NE(one.find("Ia  <css=i>1.91 mA</css>     24% of Imax (8mA)"), std::string::npos);
    EXPECT_NE(one.find("Pa  <css=mw>293 mW</css>     29% of Pmax (1.0W)"), std::string::npos);
}

TEST(ReportQuiescentState, PentodeBlock) {
    TubeParams el84 = builtinParams("EL84");
    const TTube t = tubeAt(el84, 250, -7.3, 250);
    const std::string s = t.displayOP();
    const std::string screen = strFormat("<br>  Vsk <css=vp>250.00 V</css>  83%% of Vsmax (300V)"
                                         "<br>   Is <css=i>%.2f mA</css>"
                                         "<br>  Pscreen  <css=mw>%.0f mW</css>  %.0f%% of Pmax (2.0W)",
                                         1000 * t.Ie(), 1000 * 250 * t.Ie(), 100 * 250 * t.Ie() / 2);
    EXPECT_NE(s.find(screen), std::string::npos) << s;
    EXPECT_NE(s.find(" of Pmax (12.0W)<br>"), std::string::npos);
    EXPECT_LT(s.find("Pscreen"), s.find("Pa "));
}

TEST(ReportQuiescentState, SafeOperatingAreaBorders) {
    const TubeParams ecc83 = builtinParams("ECC83 / 12AX7");
    const TubeParams el84 = builtinParams("EL84");
    TubeParams el84AnodeUnlimited = el84; // only the screen can leave the area
    el84AnodeUnlimited.imax = 1;
    el84AnodeUnlimited.pmax = 100;
    struct Case {
        const char* name;
        TTube tube;
        bool outside;
    };
    const Case cases[] = {
        {"triode anode at Vamax is inside", tubeAt(ecc83, 350, -4), false},
        {"triode anode above Vamax", tubeAt(ecc83, 351, -4), true},
        {"triode over Pamax", tubeAt(ecc83, 300, 0), true},
        {"pentode screen at Vemax is outside", tubeAt(el84, 250, -20, 300), true},
        {"pentode screen just below Vemax", tubeAt(el84, 250, -20, 299.9), false},
        {"pentode over screen dissipation", tubeAt(el84AnodeUnlimited, 250, -2, 290), true},
        {"pentode under screen dissipation", tubeAt(el84AnodeUnlimited, 250, -7.3, 290), false},
    };
    for (const auto& c : cases) {
        const std::string s = c.tube.displayOP();
        EXPECT_EQ(s.find(kSoaLine) != std::string::npos, c.outside) << c.name << "\n" << s;
        EXPECT_EQ(s.substr(s.size() - 4), "<br>") << c.name;
    }
}

TEST(ReportQuiescentState, ZeroLimitsPrintNotAvailable) {
    TubeParams p = builtinParams("ECC83 / 12AX7");
    p.vmax = 0;
    p.imax = 0;
    p.pmax = 0;
    const std::string s = tubeAt(p, 153.72, -0.953).displayOP();
    EXPECT_NE(s.find("Vak <css=vp>153.72 V</css>     n/a of Vamax (0V)"), std::string::npos) << s;
    EXPECT_NE(s.find("n/a of Imax (0mA)"), std::string::npos);
    EXPECT_NE(s.find("n/a of Pmax (0.0W)"), std::string::npos);
    EXPECT_EQ(s.find("inf"), std::string::npos);
    EXPECT_EQ(s.find("nan"), std::string::npos);
    // A tube carrying current against zero limits is outside the area.
    EXPECT_NE(s.find(kSoaLine), std::string::npos);
}

TEST(ReportFormatters, NegativeZeroPrintsAsZero) {
    EXPECT_EQ(fmtPowerMW("Pa ", 0, -0.0), "Pa  <css=mw>0 mW</css>");
    EXPECT_EQ(fmtPowerMW("Pa ", 0, -0.3), "Pa  <css=mw>0 mW</css>");
    EXPECT_EQ(fmtCurrent("Ia", 2, -0.001), "Ia <css=i>0.00 mA</css>");
    EXPECT_EQ(fmtVoltage("Vgk", 2, -1.5), "Vgk <css=vn>-1.50 V</css>");
    EXPECT_EQ(fmtAmplification("gain ", 1, -0.04), "gain <css=µ>0.0</css>");
}
