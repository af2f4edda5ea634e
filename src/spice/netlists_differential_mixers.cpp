// The netlist tables of C7, C10, C11, C12, C14, C19, C20, C23 and C26 (see circuit_netlists.cpp for how a
// table is written).
#include "spice/netlist_parts.h"

std::vector<CircuitNetlist> differentialMixerNetlists() {
    return {};
}
