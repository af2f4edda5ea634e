// The ngspice netlist of a circuit and its sheet: the circuit as its solver models it, with the
// sheet's values as parameters, each tube as a Koren subcircuit, an AC source at the input and the
// .op and .ac analyses over the sweep range of the Bandwidth options.
#pragma once

#include "circuits/solve_command.h"

#include <string>
#include <vector>

// How one circuit is written: comment lines naming its nodes, and its element lines. An element
// line may start with "?CheckBoxName " (written when the box is checked) or "!CheckBoxName " (when it
// is not); "@LBtube" stands for the subcircuit of the model a selector holds. Values are ngspice
// expressions of the parameters: the sheet's edit fields by name (EdRa), S the stray capacitance
// of a node, and the operating point of our solve (T1_IA, T1_VAK, T1_VGK, T1_VEK, T1_IE) for parts
// the solver sizes itself. Each tube's anode is fed through a 0 V source VIA<n> that measures its
// current; the input source is VIN at node "in", the gain is read at `output`.
struct CircuitNetlist {
    int circuit = 0;
    std::vector<std::string> nodes;
    std::vector<std::string> elements;
    std::string output = "out";
    std::string note; // what of the solver's model a netlist cannot say, or says differently
};

// The table of a circuit, nullptr when none is written yet.
const CircuitNetlist* circuitNetlist(int circuit);
// Numbers of the circuits that have a table.
std::vector<int> circuitsWithNetlist();

struct SpiceExport {
    bool written = false; // false: the circuit has no netlist yet (text empty, problem says so)
    std::string text;
    std::string problem; // the solve failed or was refused: said in the netlist and here
};

// The netlist of a request and the outcome of its solve (which supplies the operating point).
SpiceExport spiceNetlist(const SolveRequest& request, const SolveOutcome& outcome);
