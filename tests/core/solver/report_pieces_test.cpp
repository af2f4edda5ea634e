// The shared report pieces: heading, supply line, decibel figure, tube parameter triple.
#include "solver/report_pieces.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

TEST(ReportPieces, HeadingAndSupplyLine) {
    EXPECT_EQ(reportHeader("Common-cathode amplifier, cathode bias"),
              "<b>Common-cathode amplifier, cathode bias</b><br><color=909090>Valvenix</color>");
    EXPECT_EQ(supplyLine(250, 0.0009538),
              "<br>Total power supply  <css=vp>250 V</css>   <css=i>1.0 mA</css>   <css=mw>238 mW</css>");
}

TEST(ReportPieces, DecibelFigureOfAGain) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        int decimals;
        double gain;
        const char* figure;
        const char* tail; // with the separator " or "
    } cases[] = {
        {"inverting stage", 1, -59.66, "35.5", " or <css=db>35.5dB</css>"},
        {"follower", 2, 0.95, "-0.45", " or <css=db>-0.45dB</css>"},
        {"unity", 1, 1, "0.0", " or <css=db>0.0dB</css>"},
        {"null gain", 1, 0, "", ""},
        {"negative zero", 1, -0.0, "", ""},
        {"infinite gain", 1, inf, "", ""},
        {"not a number", 1, std::nan(""), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dbFigure(c.decimals, c.gain), c.figure) << c.name;
        EXPECT_EQ(dbTail(" or ", c.decimals, c.gain), c.tail) << c.name;
    }
}

TEST(ReportPieces, ParameterTriple) {
    EXPECT_EQ(parameterTriple(48282.4, 0.00197, 95.1),
              "ρ~<css=r>48282Ω</css>   gm~<css=gm>2.0mA/V</css>  => µ~<css=µ>95</css>");
    EXPECT_EQ(parameterTriple(10000, 0.002, 20, "g<SUB>m</SUB>~"),
              "ρ~<css=r>10kΩ</css>   g<SUB>m</SUB>~<css=gm>2.0mA/V</css>  => µ~<css=µ>20</css>");
}
