// Reads a Koren triode or pentode .subckt (as ngspice, LTspice or PSpice listings write it) into a
// tube model: MU, EX, KG1, KP, KVB, KG2 and the capacitances as parameters, or as literals in the
// behavioural-source expressions, and the convention of the anode current's KG1.
#pragma once

#include "model/tube_params.h"

#include <optional>
#include <string>
#include <vector>

// Koren's listings compute the anode current as (pwr(E1,EX)+pwrs(E1,EX))/KG1 = 2*E1^EX/KG1, as
// Valvenix does; some fitting tools write E1^EX/KG1, whose KG1 is half of ours.
enum class Kg1Convention { Unknown, Double, Single };

// The largest text read: a model is a few kilobytes.
inline constexpr std::size_t kMaxSpiceModelBytes = 1 << 20;

struct SpiceModelRead {
    std::optional<TubeParams> params; // set when the model was read whole
    std::string subcircuit;           // the .subckt's name, as written
    Kg1Convention convention = Kg1Convention::Unknown;
    bool conventionAssumed = false; // the caller chose it: the text did not tell
    bool needsConvention = false;   // the text does not tell, and no choice was given: ask
    std::vector<std::string> found; // what was read, one line each ("MU = 100 (parameter)")
    std::string error;              // what is missing or wrong, when params is empty
};

// Reads the first .subckt of the text. `choice` settles a convention the text does not show
// (Unknown: report needsConvention instead). A model read is named after its subcircuit; limits the
// text lacks (Pa max, Ia max, Va max, and for a pentode Pg2 max, Vg2 max) get usual values, listed
// in `found`.
SpiceModelRead readSpiceModel(const std::string& text, Kg1Convention choice = Kg1Convention::Unknown);

// "2*E1^EX/KG1 (Koren)" or "E1^EX/KG1 (KG1 doubled)".
std::string conventionText(Kg1Convention convention);
