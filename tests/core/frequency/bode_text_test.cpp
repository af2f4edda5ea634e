// Cell texts of the per-stage table and the summary line of the Bode plot.
#include "frequency/bode_text.h"

#include <gtest/gtest.h>

namespace {
TDataQP rowOf(double f, double av, double zin) {
    TDataQP r;
    r.titre = "T1";
    r.nature = "Cat-com";
    r.freq = f;
    r.av = av;
    r.zin = zin;
    return r;
}
} // namespace

TEST(BodeText, TableCells) {
    struct Row {
        const char* name;
        TDataQP row;
        std::vector<std::string> cells;
    };
    TDataQP separator;
    separator.separator = true;
    const Row rows[] = {
        {"peak in hertz", rowOf(617.4, 62.346, 470), {"T1", "Cat-com", "617Hz", "62.35", "35.9dB", "470 Ω"}},
        {"kilohertz",
         rowOf(1000, 0.98433, 101588.7),
         {"T1", "Cat-com", "1kHz", "0.98", "-0.1dB", "101.6 kΩ"}},
        {"100 kHz", rowOf(100000, 1, 2.2e6), {"T1", "Cat-com", "100kHz", "1.00", "0.0dB", "2.2 MΩ"}},
        {"megahertz", rowOf(2e6, 10, 999.4), {"T1", "Cat-com", "2000000Hz", "10.00", "20.0dB", "999 Ω"}},
        {"zero gain, zero Zin", rowOf(1, 0, 0), {"T1", "Cat-com", "1Hz", "0.00", "", ""}},
        {"negative gain", rowOf(10, -2, 1e3), {"T1", "Cat-com", "10Hz", "-2.00", "", "1.0 kΩ"}},
        {"just below 1 kHz",
         rowOf(999.4, 1e-9, 999999),
         {"T1", "Cat-com", "999Hz", "0.00", "-180.0dB", "1000.0 kΩ"}},
        {"just below 1 MHz", rowOf(999999, 2, 1e6), {"T1", "Cat-com", "1000kHz", "2.00", "6.0dB", "1.0 MΩ"}},
        {"1 MHz", rowOf(1e6, 2, 1e3), {"T1", "Cat-com", "1000000Hz", "2.00", "6.0dB", "1.0 kΩ"}},
        {"separator", separator, {"", "", "", "", "", ""}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(tableCells(r.row), r.cells);
    }
    EXPECT_EQ(tableColumns(),
              (std::vector<std::string>{"Stage", "Type", "Frequ.", "Gain x", "Gain dB", "Zin"}));
    const NumberLocale comma{',', "."};
    EXPECT_EQ(tableCells(rowOf(1000, 0.98433, 101588.7), comma)[3], "0,98");
    EXPECT_EQ(tableCells(rowOf(1000, 0.98433, 101588.7), comma)[5], "101,6 kΩ");
}

TEST(BodeText, SummaryForms) {
    struct Row {
        const char* name;
        double G, fpk, fL, fH;
        const char* text;
    };
    const Row rows[] = {
        {"both corners", 62.3, 617.4, 12.6, 45678, "Max gain x62 35.9dB @ ~617Hz BW -3dB 13Hz-46kHz"},
        {"low corner only", 62.3, 1234.4, 12.6, 0, "Max gain x62 35.9dB @ 1,234Hz BW -3dB LO 13Hz"},
        {"high corner only", 0.9, 6, 0, 15915.5, "Max gain x0.9 -0.9dB @ 6Hz BW -3dB HI 15,916Hz"},
        {"no corner", 250, 1234567, 0, 0, "Max gain x250 48.0dB @ 1,234,567Hz BW not calculable"},
        {"gain of exactly 10", 10, 100, 10, 20000, "Max gain x10.0 20.0dB @ ~100Hz BW -3dB 10Hz-20kHz"},
        // A chain that passes nothing has no decibel figure (it read "-infdB").
        {"zero gain", 0, 6, 0, 0, "Max gain x0.0 @ 6Hz BW not calculable"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(bodeSummary(r.G, r.fpk, r.fL, r.fH), r.text);
    }
    const NumberLocale european{',', "."};
    EXPECT_EQ(bodeSummary(5.26, 1234.4, 0, 123456, european),
              "Max gain x5,3 14,4dB @ 1.234Hz BW -3dB HI 123.456Hz");
}

TEST(BodeText, ThousandsFormatting) {
    const NumberLocale none{'.', ""};
    const NumberLocale nbsp{',', "\u00a0"};
    EXPECT_EQ(bodeThousands(999, 0, {}), "999");
    EXPECT_EQ(bodeThousands(1000, 0, {}), "1,000");
    EXPECT_EQ(bodeThousands(-1234567.89, 1, {}), "-1,234,567.9");
    EXPECT_EQ(bodeThousands(1234567, 0, none), "1234567");
    EXPECT_EQ(bodeThousands(1234.5, 2, nbsp), "1\u00a0234,50");
}
