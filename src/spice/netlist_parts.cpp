// Pieces the circuit netlist tables share.
#include "spice/netlist_parts.h"

#include <algorithm>
#include <cctype>

std::string upperName(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The input network of C1 and of the stages drawn like it: the source Rs, the series capacitor
// (Cin or Cs), Rg with Cg to ground, the stopper Rgs with Cgs at the grid.
std::vector<std::string> inputNetwork(const std::string& series, const std::string& grid) {
    return {"VIN in 0 DC 0 AC 1",
            "RS in n_rs {EdRs}",
            "C" + upperName(series.substr(3)) + " n_rs n_rg {" + series + "}",
            "RG n_rg 0 {EdRg}",
            "CG n_rg 0 {EdCg}",
            "RGS n_rg " + grid + " {EdRgs}",
            "CGS " + grid + " 0 {EdCgs}",
            "CSG " + grid + " 0 {S}"};
}

// The output network: the coupling capacitor from `from` into Ro with Co at "out".
std::vector<std::string> outputNetwork(const std::string& from, const std::string& coupling) {
    return {"C" + upperName(coupling.substr(3)) + " " + from + " out {" + coupling + "}", "RO out 0 {EdRo}",
            "CO out 0 {EdCo}", "CSO out 0 {S}"};
}

std::vector<std::string> joinLines(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}
