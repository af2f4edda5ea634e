// The phase-exact bandwidth against ngspice's .ac run of the exported netlists: realistic sheets of
// C1, C3, C6, C15 and C36 with coupling capacitors small enough that both -3 dB corners lie inside a
// 0.1 Hz - 10 MHz sweep. The corners agree within 1 %; the largest gain within 0.5 %, the room the
// operating point's own tolerance and the difference quotients of rho and gm leave.
#include "approx.h"
#include "ngspice_run.h"
#include "solve_fixture.h"

#include "frequency/bode_options.h"
#include "spice/netlist.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct CornerCase {
    int circuit;
    const char* name;
    std::vector<std::pair<const char*, const char*>> values;
    const char* output; // the node whose gain the overall curve is
};

const std::vector<CornerCase>& cornerCases() {
    static const std::vector<CornerCase> all = {
        {1,
         "ECC83, cathode bypassed",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdRa", "100k"},
          {"EdRk", "1k5"},
          {"CheckBoxCkconnected", "1"},
          {"EdCk", "100µ"},
          {"EdCi", "47n"},
          {"EdCs", "22n"},
          {"EdCo", "47p"}},
         "out"},
        {1,
         "ECC82 unbypassed, input shunted",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "300"},
          {"EdRa", "47k"},
          {"EdRk", "2k2"},
          {"EdRo", "100k"},
          {"CheckBoxC1shunted", "1"},
          {"EdCs", "47n"},
          {"EdRs", "10k"}},
         "out"},
        {3,
         "ECC82 follower",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVg", "100"},
          {"EdRk", "22k"},
          {"EdCg", "22n"},
          {"EdCs", "1µ"},
          {"EdRs", "1k"},
          {"EdCo", "4n7"}},
         "out"},
        {6,
         "ECC83 cascode",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdRa", "47k"},
          {"EdCs", "22n"},
          {"EdCa", "22n"},
          {"EdCk", "1000µ"},
          {"EdCo", "47p"}},
         "out"},
        {6,
         "ECC88 cascode",
         {{"LBtube", "ECC88 / 6DJ8"},
          {"EdVb", "300"},
          {"EdRa", "22k"},
          {"EdRk", "1k"},
          {"EdRg1", "1M"},
          {"EdRg2", "1M5"},
          {"EdCs", "10n"},
          {"EdCa", "100n"},
          {"EdRs", "10k"}},
         "out"},
        {15,
         "ECC83 long-tailed pair",
         {{"LBtube", "ECC83 / 12AX7"},
          {"EdRkg", "1k"},
          {"EdRk", "47k"},
          {"EdCg", "22n"},
          {"EdCa1", "47n"},
          {"EdCa2", "47n"}},
         "out1"},
        {15,
         "ECC82 long-tailed pair",
         {{"LBtube", "ECC82 / 12AU7"},
          {"EdVb", "350"},
          {"EdRkg", "470"},
          {"EdRk", "22k"},
          {"EdRa1", "47k"},
          {"EdRa2", "47k"},
          {"EdCg", "4n7"},
          {"EdCo1", "100p"}},
         "out1"},
        {36,
         "EF86, cathode bypassed",
         {{"LBtube", "EF86"},
          {"EdVek", "100"},
          {"EdRk", "2k"},
          {"EdRa", "220k"},
          {"EdCs", "47n"},
          {"EdCa", "22n"},
          {"EdCk", "1000µ"}},
         "out"},
    };
    return all;
}

// The case's sheet typed over the circuit's first opening, solved in exact mode over 0.1 Hz - 10 MHz
// with 3 pF strays.
SolveRequest cornerSheet(const CornerCase& c) {
    SolveRequest rq = firstOpening(c.circuit, c.values);
    rq.bode.freqmin = 0;
    rq.bode.freqmax = 3;
    rq.bode.straycaps = 2;
    rq.bode.ac = kAcExact;
    return rq;
}

// ngspice's largest gain at `output` over a fine .ac sweep and its -3 dB crossings ("gmax", "flow",
// "fhigh"); empty when ngspice did not run.
std::map<std::string, double> ngspiceCorners(const std::string& netlist, const std::string& output,
                                             const std::string& tag) {
    std::string text;
    std::istringstream lines(netlist);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(".ac", 0) != 0 && line.rfind(".op", 0) != 0 && line != ".end")
            text += line + "\n";
    const std::string v = "vm(" + output + ")";
    text += ".control\nac dec 400 0.01 1e8\nmeas ac gmax max " + v + "\nlet lvl = gmax / sqrt(2)\n";
    text +=
        "meas ac flow when " + v + "=lvl rise=1\nmeas ac fhigh when " + v + "=lvl fall=last\n.endc\n.end\n";
    return ngspiceValues(ngspiceBatch(text, "corners_" + tag));
}

} // namespace

TEST(NgspiceCorners, ExactCornersAndGainAgree) {
    if (std::string(VALVENIX_NGSPICE).empty())
        GTEST_SKIP() << "ngspice is not installed";
    int n = 0;
    for (const CornerCase& c : cornerCases()) {
        SCOPED_TRACE("C" + std::to_string(c.circuit) + " " + c.name);
        const SolveRequest rq = cornerSheet(c);
        const SolveOutcome outcome = solveCommand(rq);
        ASSERT_TRUE(outcome.solved && outcome.result.ok) << "the sheet does not solve";
        ASSERT_TRUE(outcome.result.bode.has_value());
        const BodeData& b = *outcome.result.bode;
        ASSERT_TRUE(b.exact);
        const SpiceExport netlist = spiceNetlist(rq, outcome);
        ASSERT_TRUE(netlist.written) << netlist.problem;
        const auto ng = ngspiceCorners(netlist.text, c.output, "case" + std::to_string(n++));
        ASSERT_TRUE(ng.count("gmax") && ng.count("flow") && ng.count("fhigh"))
            << "no measurements from ngspice; netlist:\n"
            << netlist.text;
        EXPECT_REL(b.Apk, ng.at("gmax"), 0.005) << "largest gain";
        EXPECT_REL(b.fL, ng.at("flow"), 0.01) << "low corner";
        EXPECT_REL(b.fH, ng.at("fhigh"), 0.01) << "high corner";
    }
}
