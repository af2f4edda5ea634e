// Pieces the circuit netlist tables share, and the tables by group of circuits (one file each).
#pragma once

#include "spice/netlist.h"

#include <initializer_list>
#include <string>
#include <vector>

// The text in capitals (element names from field names: "Ci" -> "CI").
std::string upperName(std::string s);
// The input network of C1 and of the stages drawn like it: the source Rs, the series capacitor
// (`series`, Cin or Cs), Rg with Cg to ground, the stopper Rgs with Cgs at `grid`.
std::vector<std::string> inputNetwork(const std::string& series, const std::string& grid);
// The output network: the coupling capacitor from `from` into Ro with Co at "out".
std::vector<std::string> outputNetwork(const std::string& from, const std::string& coupling);
std::vector<std::string> joinLines(std::initializer_list<std::vector<std::string>> parts);

// C1-C6, C9, C13, C15, C29, C32, C36
std::vector<CircuitNetlist> singleStageNetlists();
// C8, C21, C22, C24, C28, C30, C31, C33, C34, C35
std::vector<CircuitNetlist> cascodeFollowerNetlists();
// C7, C10, C11, C12, C14, C19, C20, C23, C26
std::vector<CircuitNetlist> differentialMixerNetlists();
// C16, C17, C18, C25, C27, C37-C42
std::vector<CircuitNetlist> regulatorPowerNetlists();
