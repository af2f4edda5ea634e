// The netlist tables of C8, C21, C22, C24, C28, C30, C31, C33, C34 and C35 (see circuit_netlists.cpp for how
// a table is written).
#include "spice/netlist_parts.h"

std::vector<CircuitNetlist> cascodeFollowerNetlists() {
    return {};
}
