// The netlist tables of every circuit that has one, checked against the circuit's own sheet: the
// fields, check boxes and selectors a table names exist, element names are not repeated, and every
// tube's anode current has its probe. A misspelt name would only show when ngspice runs that sheet.
#include "circuits/catalogue.h"
#include "spice/netlist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool hasControl(const CircuitInfo& info, const std::string& name, ControlKind kind) {
    return std::any_of(info.controls.begin(), info.controls.end(),
                       [&](const SheetControl& c) { return c.name == name && c.kind == kind; });
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TEST(NetlistTables, NameOnlyWhatTheSheetHoldsAndProbeEveryTube) {
    const std::regex field(R"(\b(E[dc][A-Za-z0-9]+)\b)");
    const std::regex operatingPoint(R"(\bT(\d+)_(IA|VAK|VGK|VEK|IE)\b)");
    for (int n : circuitsWithNetlist()) {
        SCOPED_TRACE("C" + std::to_string(n));
        const CircuitInfo& info = circuitInfo(n);
        const CircuitNetlist* table = circuitNetlist(n);
        ASSERT_NE(table, nullptr);
        std::map<std::string, std::vector<std::string>> guards; // element name -> "?Box", "!Box" or ""
        bool input = false, output = false;
        for (std::string line : table->elements) {
            SCOPED_TRACE(line);
            std::string guard;
            if (!line.empty() && (line[0] == '?' || line[0] == '!')) {
                guard = line.substr(0, line.find(' '));
                EXPECT_TRUE(hasControl(info, guard.substr(1), ControlKind::CheckBox));
                line.erase(0, guard.size() + 1);
            }
            std::istringstream tokens(line);
            std::string name, node;
            tokens >> name;
            guards[upper(name)].push_back(guard);
            while (tokens >> node)
                output = output || node == table->output;
            input = input || line.rfind("VIN in 0 ", 0) == 0;
            for (auto it = std::sregex_iterator(line.begin(), line.end(), field);
                 it != std::sregex_iterator(); ++it)
                EXPECT_TRUE(hasControl(info, (*it)[1], ControlKind::Edit)) << (*it)[1] << " is no field";
            for (auto it = std::sregex_iterator(line.begin(), line.end(), operatingPoint);
                 it != std::sregex_iterator(); ++it)
                EXPECT_LE(std::stoi((*it)[1]), info.tubeCount) << (*it)[0];
            if (const auto at = line.find('@'); at != std::string::npos) {
                const std::string selector = line.substr(at + 1, line.find(' ', at) - at - 1);
                EXPECT_TRUE(hasControl(info, selector, ControlKind::Selector))
                    << selector << " is no selector";
            }
        }
        // A name stands once, or twice under the two states of one check box.
        for (const auto& [name, g] : guards)
            EXPECT_TRUE(g.size() == 1 || (g.size() == 2 && !g[0].empty() && !g[1].empty() &&
                                          g[0].substr(1) == g[1].substr(1) && g[0][0] != g[1][0]))
                << name << " stands " << g.size() << " times";
        EXPECT_TRUE(input) << "no source VIN at node in";
        EXPECT_TRUE(output) << "the output node " << table->output << " is on no element";
        for (int t = 1; t <= info.tubeCount; ++t) {
            EXPECT_TRUE(guards.count("VIA" + std::to_string(t))) << "no probe of T" << t << "'s anode";
            EXPECT_TRUE(guards.count("XT" + std::to_string(t))) << "no tube T" << t;
        }
    }
}
