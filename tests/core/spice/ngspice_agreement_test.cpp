// The exported netlists run in ngspice (batch mode): every tube's anode current agrees with our
// operating point, and the mid-band gains with our small-signal figures, on first-use and realistic
// sheets of every circuit that has a netlist.
#include "approx.h"
#include "ngspice_run.h"
#include "solve_fixture.h"

#include "solver/field_reader.h"
#include "spice/netlist.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A gain to compare: our Bode curve of that legend ("" for the overall gain) against ngspice's
// |v(num)/v(den)| at the frequency of our gain peak.
struct GainProbe {
    const char* curve;
    const char* num;
    const char* den;
};

struct Case {
    int circuit;
    const char* name;
    std::vector<std::pair<const char*, const char*>> values;
    std::vector<GainProbe> gains;
};

// Runs the netlist with a control block printing the anode currents (op) and the probed voltages (ac at
// one frequency); returns "name = value" pairs from ngspice's output.
std::map<std::string, double> runNgspice(const std::string& netlist, int tubes, double f,
                                         const std::vector<GainProbe>& gains, const std::string& tag) {
    std::string text = netlist.substr(0, netlist.rfind(".end"));
    text += ".control\nop\nprint";
    for (int t = 1; t <= tubes; ++t)
        text += " i(via" + std::to_string(t) + ")";
    text += "\n";
    if (!gains.empty()) {
        char freq[32];
        std::snprintf(freq, sizeof freq, "%.9g", f);
        text += std::string("ac lin 1 ") + freq + " " + freq + "\nprint";
        for (const auto& g : gains)
            text += std::string(" vm(") + g.num + ") vm(" + g.den + ")";
        text += "\n";
    }
    text += ".endc\n.end\n";
    return ngspiceValues(ngspiceBatch(text, tag));
}

double bodeAt(const BodeData& b, const char* curve, std::size_t i) {
    if (std::string(curve).empty())
        return b.overall.at(i);
    for (std::size_t c = 0; c < b.curves.size() && c < b.legends.size(); ++c)
        if (b.legends[c].titre == curve)
            return b.curves[c].at(i);
    ADD_FAILURE() << "no Bode curve " << curve;
    return 0;
}

const std::vector<Case>& cases() {
    // Coupling and bypass capacitors large enough that the sweep's middle is mid-band.
    static const std::vector<Case> all = {
        {1,
         "ECC83 bypassed",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdRa", "100k"},
          {"EdRk", "1k"},
          {"CheckBoxCkconnected", "1"},
          {"EdCk", "1000µ"},
          {"EdCi", "1µ"},
          {"EdCs", "1µ"}},
         {{"", "out", "in"}, {"T1", "a1", "g1"}}},
        {1,
         "ECC82 unbypassed, input shunted",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "47k"},
          {"EdRk", "2k2"},
          {"EdRo", "100k"},
          {"CheckBoxC1shunted", "1"},
          {"EdCs", "1µ"}},
         {{"", "out", "in"}}},
        {1,
         "ECC88, 1 megohm load",
         {{"LBtube", "ECC88 / 6DJ8"}, {"EdVb", "200"}, {"EdRa", "22k"}, {"EdRk", "470"}, {"EdRo", "1M"}},
         {}},
        {2,
         "ECC82 cathodyne",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRa", "22k"},
          {"EdRgk", "1k5"},
          {"EdRk", "22k"},
          {"EdRao", "470k"},
          {"EdRko", "470k"},
          {"EdCa", "220n"},
          {"EdCk", "220n"}},
         {}},
        {4,
         "ECC83 then ECC82, connected",
         {{"LBtube1", "ECC83 / 12AX7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdRa", "220k"},
          {"EdRk2", "47k"},
          {"CheckBoxConnected", "1"}},
         {}},
        {5,
         "ECC82 fixed bias",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdRa", "22k"}},
         {}},
        {3,
         "ECC82 follower",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "100"}, {"EdRk", "22k"}, {"EdCg", "1µ"}, {"EdCs", "10µ"}},
         {{"", "out", "in"}}},
        {3,
         "ECC88 follower",
         {{"LBtube", "ECC88 / 6DJ8"}, {"EdVb", "300"}, {"EdVg", "150"}, {"EdRk", "10k"}, {"EdRo", "10k"}},
         {}},
        {6,
         "ECC83 cascode",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRa", "47k"}, {"EdCs", "1µ"}, {"EdCa", "1µ"}, {"EdCk", "1000µ"}},
         {{"", "out", "in"}}},
        {6,
         "ECC88 cascode",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "300"},
          {"EdRa", "22k"},
          {"EdRk", "1k"},
          {"EdRg1", "1M"},
          {"EdRg2", "1M5"}},
         {}},
        {9, "12AY7 direct coupling", {{"EdVb", "400"}, {"EdRk2", "120k"}, {"EdRa2", "39k"}}, {}},
        {9,
         "ECC83 then ECC82",
         {{"LBtube1", "ECC83 / 12AX7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRa1", "220k"},
          {"EdRk1", "1k5"},
          {"EdRa2", "15k"},
          {"EdRk2", "33k"}},
         {}},
        {13,
         "12AY7 current sink",
         {{"EdVg", "50"}, {"EdIk", "2m"}, {"EdRa", "47k"}, {"LBtube", "12AY7"}},
         {}},
        {13,
         "ECC83 current sink",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "50"}, {"EdIk", "0.5m"}, {"EdRa", "100k"}},
         {}},
        {15,
         "ECC83 long-tailed pair",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdRkg", "1k"},
          {"EdRk", "47k"},
          {"EdCg", "1µ"},
          {"EdCa1", "1µ"},
          {"EdCa2", "1µ"}},
         {{"T1", "a1", "g1"}, {"T2", "a2", "g1"}}},
        {15,
         "ECC82 long-tailed pair",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRkg", "470"},
          {"EdRk", "22k"},
          {"EdRa1", "47k"},
          {"EdRa2", "47k"}},
         {}},
        {29, "ECC83 anode feedback", {{"LBtube", "ECC83 / 12AX7"}, {"EdRf", "1M"}, {"EdRg", "100k"}}, {}},
        {29,
         "ECC82 anode feedback",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "22k"},
          {"EdRk", "680"},
          {"EdRf", "470k"},
          {"EdRg", "47k"},
          {"EdRao", "100k"}},
         {}},
        {32, "ECC88 common grid", {{"LBtube", "ECC88 / 6DJ8"}, {"EdRa", "47k"}, {"EdRk", "470"}}, {}},
        {32,
         "ECC83 common grid",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "300"}, {"EdRa", "100k"}, {"EdRk", "1k5"}},
         {}},
        {36,
         "EF86 pentode",
         {{"LBtube", "EF86"},
          {"EdVek", "100"},
          {"EdRk", "2k"},
          {"EdRa", "220k"},
          {"EdCs", "1µ"},
          {"EdCa", "1µ"},
          {"EdCk", "1000µ"}},
         {{"", "out", "in"}}},
        {36,
         "EF86 at 300 V",
         {{"LBtube", "EF86"}, {"EdVb", "300"}, {"EdVek", "150"}, {"EdRk", "1k"}, {"EdRa", "100k"}},
         {}},
        // Differential pairs, mixers, DC-coupled and filtered stages.
        {7,
         "ECC83 pair, grids at 0 V",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdVg", "0"},
          {"EdRk", "1k5"},
          {"EdCg", "1µ"},
          {"EdCa1", "1µ"},
          {"EdCa2", "1µ"}},
         {{"T1", "a1", "g1"}, {"T2", "a2", "g1"}}},
        {7,
         "ECC82 pair, unequal anode resistors",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdVg", "100"},
          {"EdRk", "22k"},
          {"EdRa1", "47k"},
          {"EdRa2", "39k"}},
         {}},
        {10,
         "ECC83 pair on 2 mA",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdVb", "300"},
          {"EdVg", "100"},
          {"EdIcs", "2m"},
          {"EdRk", "1M"},
          {"EdCg", "1µ"},
          {"EdCa1", "1µ"},
          {"EdCa2", "1µ"}},
         {{"T1", "a1", "g1"}, {"T2", "a2", "g1"}}},
        {10,
         "ECC82 pair on 10 mA",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdVg", "0"},
          {"EdIcs", "10m"},
          {"EdRk", "100k"},
          {"EdRa1", "22k"},
          {"EdRa2", "22k"}},
         {}},
        {11,
         "ECC83 mixer, bypassed",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdRk", "1k5"}, {"EdCk", "1000µ"}, {"EdCg", "1µ"}, {"EdCa", "1µ"}},
         {{"", "out", "in"}, {"T1", "a", "g1"}}},
        {11,
         "ECC82 mixer, cathode unbypassed",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "47k"},
          {"EdRk", "1k"},
          {"EdCk", "0"},
          {"EdCg", "1µ"},
          {"EdCa", "1µ"}},
         {{"", "out", "in"}}},
        {12,
         "ECC83 mixer, unequal cathodes",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "300"}, {"EdRa", "100k"}, {"EdRk1", "1k5"}, {"EdRk2", "2k2"}},
         {}},
        {12,
         "ECC82 mixer on 600 V, held at 500 V",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "600"}, {"EdRa", "47k"}, {"EdRk1", "1k"}, {"EdRk2", "470"}},
         {}},
        {14,
         "ECC83 then ECC82, divider halving",
         {{"LBtube1", "ECC83 / 12AX7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRa1", "100k"},
          {"EdRk1", "1k5"},
          {"EdRag", "1M"},
          {"EdRg2", "1M"},
          {"EdRa2", "22k"},
          {"EdRk2", "27k"},
          {"EdCs", "1µ"},
          {"EdCk1", "1000µ"},
          {"EdCk2", "1000µ"},
          {"EdCa", "1µ"},
          {"EdC1", "0"}},
         {{"", "out", "in"}, {"T1", "a1", "g1"}, {"Level shifter", "g2", "a1"}, {"T2", "a2", "g2"}}},
        {14,
         "12AY7 then ECC88, speed-up capacitor",
         {{"LBtube1", "12AY7"},
          {"LBtube2", "ECC88 / 6DJ8"},
          {"EdVb", "300"},
          {"EdRa1", "47k"},
          {"EdRk1", "1k"},
          {"EdRag", "470k"},
          {"EdRg2", "1M"},
          {"EdRa2", "10k"},
          {"EdRk2", "15k"},
          {"EdC1", "100n"},
          {"EdRo", "100k"}},
         {}},
        {19,
         "three ECC83 stages",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdVb", "350"},
          {"EdR1", "10k"},
          {"EdR2", "22k"},
          {"EdR3", "22k"},
          {"EdRk1", "1k5"},
          {"EdRk2", "1k5"},
          {"EdRk3", "1k5"}},
         {}},
        {19,
         "three ECC82 stages",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdR1", "4k7"},
          {"EdR2", "10k"},
          {"EdR3", "10k"},
          {"EdRa1", "22k"},
          {"EdRa2", "47k"},
          {"EdRa3", "47k"},
          {"EdRk1", "1k"},
          {"EdRk2", "1k5"},
          {"EdRk3", "1k5"},
          {"EdRg1", "470k"},
          {"EdRg2", "470k"},
          {"EdRo", "100k"}},
         {}},
        {20,
         "two ECC83 stages",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdVb", "300"},
          {"EdR1", "10k"},
          {"EdR2", "22k"},
          {"EdRk1", "1k5"},
          {"EdRk2", "1k5"},
          {"EdCs", "1µ"},
          {"EdCa2", "1µ"},
          {"EdCa1", "1µ"},
          {"EdCk1", "1000µ"},
          {"EdCk2", "1000µ"}},
         {{"", "out", "in"}, {"T2", "a2", "g2"}, {"T1", "a1", "g1"}}},
        {20,
         "two ECC82 stages",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdR1", "4k7"},
          {"EdR2", "10k"},
          {"EdRa1", "22k"},
          {"EdRa2", "47k"},
          {"EdRk1", "1k"},
          {"EdRk2", "1k5"},
          {"EdRg1", "470k"},
          {"EdRo", "100k"}},
         {}},
        {23,
         "ECC82 pair, ECC82 totem",
         {{"LBtube1", "ECC82 / 12AU7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdVg1", "50"},
          {"EdRk12", "22k"},
          {"EdRk3", "1k5"},
          {"EdRf1", "100k"},
          {"EdRf2", "100k"}},
         {}},
        {23,
         "ECC82 pair on 47k, ECC82 totem",
         {{"LBtube1", "ECC82 / 12AU7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdVg1", "80"},
          {"EdRk12", "47k"},
          {"EdRk3", "2k2"},
          {"EdRf1", "100k"},
          {"EdRf2", "100k"}},
         {}},
        {26,
         "ECC82 CCDA",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "47k"},
          {"EdRk1", "1k"},
          {"EdRk2", "22k"},
          {"EdRk3", "22k"}},
         {}},
        {26,
         "ECC88 CCDA",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "300"},
          {"EdRa", "22k"},
          {"EdRk1", "470"},
          {"EdRk2", "10k"},
          {"EdRk3", "10k"}},
         {}},
        // Cascodes, SRPP stages, followers and the totem-pole splitter.
        {8,
         "ECC82 cascode SRPP",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdRa", "10k"}, {"EdCs", "1µ"}, {"EdCa", "1µ"}, {"EdCk", "1000µ"}},
         {{"", "out", "in"}}},
        {8,
         "ECC88 SRPP, Ra shorted",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "250"},
          {"EdRk1", "330"},
          {"EdRk2", "330"},
          {"CheckBoxRa", "1"},
          {"EdCs", "1µ"},
          {"EdCa", "1µ"},
          {"EdCk", "1000µ"}},
         {{"", "out", "in"}}},
        {21,
         "ECC83 and ECC82 double cascode",
         {{"LBtube1", "ECC83 / 12AX7"},
          {"LBtube2", "ECC82 / 12AU7"},
          {"EdR1", "1k"},
          {"EdR2", "1k"},
          {"EdR3", "1k"},
          {"EdR4", "1k"},
          {"EdC1", "1000µ"},
          {"EdCg", "1µ"},
          {"EdCa", "1µ"}},
         // T4 follows into R4 and the sink in series: the gain is read at T3's anode.
         {{"T1", "a1", "g1"}, {"T4", "a3", "a1"}, {"", "out", "in"}}},
        {22,
         "ECC82 fixed bias SRPP",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdR2", "1k"}},
         {}},
        {24,
         "ECC82 headphone amplifier",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "1k"}, {"EdR2", "10k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}},
         {}},
        {24,
         "ECC88 headphone amplifier at 200 V",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "200"},
          {"EdR1", "470"},
          {"EdR2", "22k"},
          {"EdRk1", "470"},
          {"EdRk2", "470"}},
         {}},
        {28,
         "ECC82 totem pole",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRa1", "22k"},
          {"EdRa2", "22k"},
          {"EdRk1", "1k"},
          {"EdRk2", "1k"},
          {"EdRok", "22k"}},
         {}},
        {28, "ECC83 with a huge Rok", {{"LBtube", "ECC83 / 12AX7"}, {"EdRok", "10M"}}, {}},
        {30, "ECC83 mu-follower", {{"LBtube", "ECC83 / 12AX7"}}, {}},
        {30,
         "ECC82 mu-follower",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "300"}, {"EdRa", "22k"}, {"EdRk1", "1k"}, {"EdRk2", "1k"}},
         {}},
        {31, "ECC82 SRPP+", {{"LBtube", "ECC82 / 12AU7"}, {"EdR1", "470"}, {"EdR2", "470"}}, {}},
        // T2 biased nearly to cut-off: a few µA, T1 bottomed out under 1 V.
        {31, "ECC83 SRPP+, starved", {{"LBtube", "ECC83 / 12AX7"}, {"EdR1", "1M"}, {"EdR2", "1M"}}, {}},
        {33,
         "ECC82 White follower",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "120"}, {"EdRa", "1k"}, {"EdRk", "1k"}},
         {}},
        {34,
         "ECC82 half-mu",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdR1", "1k"},
          {"EdR2", "1k"},
          {"EdCs", "1µ"},
          {"EdCa", "1µ"},
          {"EdCk", "1000µ"}},
         {{"", "out", "in"}, {"T1", "a1", "g1"}}},
        {34,
         "ECC83 half-mu",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdVb", "300"}, {"EdR1", "1k5"}, {"EdR2", "1k5"}},
         {}},
        {35,
         "ECC88 follower with sink",
         {{"LBtube", "ECC88 / 6DJ8"}, {"EdVg2", "130"}, {"EdR1", "1k"}, {"EdCg", "1µ"}, {"EdCso", "10µ"}},
         {{"", "out", "in"}, {"T2", "k2", "g2"}}},
        {35,
         "ECC82 follower with sink",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg2", "150"}, {"EdR1", "22k"}},
         {}},
        // Regulators, the current sink and the power stages (DC only: none has a Bode curve).
        {16,
         "ECC99 ballast, ECC83 amplifier",
         {{"LBtube1", "ECC99"},
          {"LBtube2", "ECC83 / 12AX7"},
          {"EdVb", "400"},
          {"EdR1", "470k"},
          {"EdR2", "47k"},
          {"EdR3", "220k"},
          {"EdR4", "100k"},
          {"EdVref", "85"},
          {"EdIo", "20m"}},
         {}},
        {16,
         "ECC82 ballast, ECC83 amplifier",
         {{"LBtube1", "ECC82 / 12AU7"},
          {"LBtube2", "ECC83 / 12AX7"},
          {"EdVb", "350"},
          {"EdR1", "1M"},
          {"EdR2", "100k"},
          {"EdR3", "150k"},
          {"EdR4", "100k"},
          {"EdVref", "100"},
          {"EdIo", "10m"}},
         {}},
        {17,
         "ECC82 series regulator",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR", "100k"}, {"EdVref", "250"}, {"EdIo", "10m"}},
         {}},
        {18,
         "ECC82 shunt regulator",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdR1", "22k"},
          {"EdR2", "100k"},
          {"EdR3", "100k"},
          {"EdVref", "100"},
          {"EdIo", "3m"}},
         {}},
        {18,
         "ECC82 shunt regulator, no load",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdR1", "22k"},
          {"EdR2", "100k"},
          {"EdR3", "100k"},
          {"EdVref", "100"},
          {"EdIo", "0"}},
         {}},
        {25,
         "ECC83 current sink",
         {{"LBtube", "ECC83 / 12AX7"}, {"EdVg", "30"}, {"EdVa", "250"}, {"EdRk", "22k"}},
         {}},
        {25,
         "ECC82 current sink",
         {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "50"}, {"EdVa", "300"}, {"EdRk", "4k7"}},
         {}},
        {27,
         "ECC82 Janus regulator",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "5k"},
          {"EdR1", "470k"},
          {"EdR2", "470k"},
          {"EdRk", "470"},
          {"EdIo", "20m"}},
         {}},
        {27,
         "ECC82 Janus regulator, no load",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "5k"},
          {"EdR1", "470k"},
          {"EdR2", "470k"},
          {"EdRk", "470"},
          {"EdIo", "0"}},
         {}},
        {37,
         "300B single-ended",
         {{"LBtube", "300B"},
          {"EdVb", "400"},
          {"EdRk", "820"},
          {"EdVg", "0"},
          {"EdRa", "3k"},
          {"EdRp", "100"}},
         {}},
        {37,
         "two 2A3 single-ended",
         {{"LBtube", "2A3"},
          {"LBparallel", "2"},
          {"EdVb", "300"},
          {"EdRk", "750"},
          {"EdVg", "0"},
          {"EdRa", "2k5"},
          {"EdRp", "80"}},
         {}},
        {38,
         "EL34 single-ended",
         {{"LBtube", "EL34"},
          {"EdVb", "350"},
          {"EdVg", "0"},
          {"EdRk", "240"},
          {"EdVg2", "300"},
          {"EdRa", "3k"},
          {"EdRp", "100"}},
         {}},
        {38,
         "two EL84 single-ended",
         {{"LBtube", "EL84"},
          {"LBparallel", "2"},
          {"EdVb", "300"},
          {"EdVg", "0"},
          {"EdRk", "130"},
          {"EdVg2", "250"},
          {"EdRa", "2k6"},
          {"EdRp", "150"}},
         {}},
        {39, "300B push-pull", {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdRk", "470"}, {"EdZaa", "5k"}}, {}},
        {39, "2A3 push-pull", {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdRk", "390"}, {"EdZaa", "3k"}}, {}},
        {40,
         "EL34 push-pull",
         {{"LBtube", "EL34"}, {"EdVb", "350"}, {"EdVe", "300"}, {"EdRk", "200"}, {"EdZaa", "6k6"}},
         {}},
        {40,
         "6L6-GC push-pull",
         {{"LBtube", "6L6-GC"}, {"EdVb", "400"}, {"EdVe", "300"}, {"EdRk", "250"}, {"EdZaa", "6k6"}},
         {}},
        {41, "300B fixed bias", {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-85"}, {"EdZaa", "5k"}}, {}},
        {41, "2A3 fixed bias", {{"LBtube", "2A3"}, {"EdVb", "300"}, {"EdVg", "-60"}, {"EdZaa", "3k"}}, {}},
        {42,
         "EL34 fixed bias",
         {{"LBtube", "EL34"}, {"EdVb", "400"}, {"EdVg", "-30"}, {"EdVe", "300"}, {"EdZaa", "6k6"}},
         {}},
        {42,
         "6L6-GC fixed bias",
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVg", "-40"}, {"EdVe", "290"}, {"EdZaa", "5k6"}},
         {}},
    };
    return all;
}

// A first opening of the circuit with the case's values typed, chosen or checked.
SolveRequest sheetOf(const Case& c) {
    return firstOpening(c.circuit, c.values);
}

// Compares a sheet's solve with ngspice; a sheet that does not solve is compared only when it must.
void checkAgreement(int circuit, const std::string& name, const SolveRequest& rq,
                    const std::vector<GainProbe>& gains, bool mustSolve) {
    SCOPED_TRACE("C" + std::to_string(circuit) + " " + name);
    const SolveOutcome outcome = solveCommand(rq);
    if (!outcome.solved || !outcome.result.ok) {
        EXPECT_FALSE(mustSolve) << "the sheet does not solve";
        return;
    }
    const SpiceExport netlist = spiceNetlist(rq, outcome);
    ASSERT_TRUE(netlist.written) << netlist.problem;
    const SolveResult& r = outcome.result;
    double f = 1000;
    std::size_t at = 0;
    if (r.bode && !r.bode->freqs.empty()) {
        at = std::max_element(r.bode->overall.begin(), r.bode->overall.end()) - r.bode->overall.begin();
        f = r.bode->freqs[at];
    }
    std::string tag = "c" + std::to_string(circuit) + "_" + std::to_string(std::hash<std::string>{}(name));
    const auto ng = runNgspice(netlist.text, static_cast<int>(r.tubes.size()), f, gains, tag);
    for (std::size_t t = 0; t < r.tubes.size(); ++t) {
        const std::string key = "i(via" + std::to_string(t + 1) + ")";
        ASSERT_TRUE(ng.count(key)) << key << " missing from ngspice's output; netlist:\n" << netlist.text;
        const double ours = r.tubes[t].Ia(), theirs = ng.at(key);
        EXPECT_LE(std::fabs(theirs - ours), std::max(0.01 * std::fabs(ours), 10e-6))
            << r.tubes[t].Reference() << ": ngspice " << theirs * 1e3 << " mA, ours " << ours * 1e3 << " mA";
    }
    for (const GainProbe& g : gains) {
        ASSERT_TRUE(r.bode.has_value());
        const std::string num = std::string("vm(") + g.num + ")", den = std::string("vm(") + g.den + ")";
        ASSERT_TRUE(ng.count(num) && ng.count(den)) << num << " " << den;
        const double theirs = ng.at(num) / ng.at(den);
        // Our gains come from ρ and gm by difference quotients and, for a chain, from magnitudes
        // without phase: 2 % at mid-band.
        EXPECT_TRUE(RelNear(bodeAt(*r.bode, g.curve, at), theirs, 0.02))
            << "gain " << (*g.curve ? g.curve : "overall") << " at " << f << " Hz";
    }
}

} // namespace

TEST(NgspiceAgreement, RealisticSheets) {
    for (const Case& c : cases())
        checkAgreement(c.circuit, c.name, sheetOf(c), c.gains, true);
}

TEST(NgspiceAgreement, FirstUseSheets) {
    for (int n : circuitsWithNetlist())
        checkAgreement(n, "first use", firstOpening(n, {}), {}, false);
}

// The netlist as exported, run as a user runs it (ngspice -b FILE): the AC sweep runs and prints its
// table, with no analysis left out for want of something to print.
TEST(NgspiceAgreement, ExportRunsInBatchModeAsWritten) {
    const SolveRequest rq = firstOpening(1, {});
    const SpiceExport netlist = spiceNetlist(rq, solveCommand(rq));
    ASSERT_TRUE(netlist.written);
    const std::string output = ngspiceBatch(netlist.text, "batch");
    EXPECT_NE(output.find("vdb(out)"), std::string::npos) << output;
    EXPECT_EQ(output.find("no data saved"), std::string::npos) << output;
}

// The regulators' output impedances: our small-signal figure (from the tube's ρ, gm and µ) against the
// |v(num)/v(den)| of the exported netlist's AC source, at 1 kHz.
TEST(NgspiceAgreement, RegulatorImpedances) {
    struct ImpedanceCase {
        Case sheet;
        const char* num;
        const char* den;
        double (*ours)(const TTube& t, const SolveRequest& rq);
    };
    const std::vector<ImpedanceCase> impedances = {
        // A follower with its grid held: ρ/(µ + 1), which the report writes 1/(gm + 1/ρ).
        {{17,
          "ECC82 series regulator",
          {{"LBtube", "ECC82 / 12AU7"}, {"EdVb", "350"}, {"EdR", "100k"}, {"EdVref", "250"}, {"EdIo", "10m"}},
          {}},
         "out",
         "in",
         [](const TTube& t, const SolveRequest&) { return 1 / (t.gm() + 1 / t.ρ()); }},
        {{17,
          "ECC99 series regulator",
          {{"LBtube", "ECC99"}, {"EdVb", "300"}, {"EdR", "220k"}, {"EdVref", "200"}, {"EdIo", "30m"}},
          {}},
         "out",
         "in",
         [](const TTube& t, const SolveRequest&) { return 1 / (t.gm() + 1 / t.ρ()); }},
        // The sink: ρ + (µ + 1)·Rk.
        {{25,
          "ECC82 current sink",
          {{"LBtube", "ECC82 / 12AU7"}, {"EdVg", "50"}, {"EdVa", "300"}, {"EdRk", "4k7"}},
          {}},
         "in",
         "ia",
         [](const TTube& t, const SolveRequest& rq) {
             return t.ρ() + (t.µ() + 1) * fieldNumber(rq.sheet, "EdRk", rq.locale);
         }},
    };
    for (const ImpedanceCase& c : impedances) {
        SCOPED_TRACE("C" + std::to_string(c.sheet.circuit) + " " + c.sheet.name);
        const SolveRequest rq = sheetOf(c.sheet);
        const SolveOutcome outcome = solveCommand(rq);
        ASSERT_TRUE(outcome.solved && outcome.result.ok);
        const SpiceExport netlist = spiceNetlist(rq, outcome);
        ASSERT_TRUE(netlist.written) << netlist.problem;
        const GainProbe probe{"", c.num, c.den};
        const auto ng = runNgspice(netlist.text, 0, 1000, {probe}, "z" + std::to_string(c.sheet.circuit));
        const std::string num = std::string("vm(") + c.num + ")", den = std::string("vm(") + c.den + ")";
        ASSERT_TRUE(ng.count(num) && ng.count(den)) << netlist.text;
        const double theirs = ng.at(num) / ng.at(den);
        // ρ, gm and µ come from difference quotients: 2 %.
        EXPECT_TRUE(RelNear(c.ours(outcome.result.tubes.at(0), rq), theirs, 0.02))
            << "ngspice " << theirs << " ohm";
    }
}

// The count of tubes in parallel is a parameter of the netlist, as the solver reads it: the selected
// item, the first one when nothing is selected.
TEST(NgspiceAgreement, TubesInParallelParameter) {
    for (const auto& [selected, expected] :
         {std::pair{2, ".param LBparallel=3\n"}, {-1, ".param LBparallel=1\n"}}) {
        SolveRequest rq = firstOpening(37, {});
        rq.sheet.find("LBparallel")->selected = selected;
        const SpiceExport netlist = spiceNetlist(rq, solveCommand(rq));
        EXPECT_NE(netlist.text.find(expected), std::string::npos) << netlist.text;
    }
}
