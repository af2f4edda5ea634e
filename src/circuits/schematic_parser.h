// Reader of the schematic descriptions (data/schematics/cNN.txt): symbols on a grid of 8 px and the
// place of every sheet control, checked against the circuit catalogue as it reads.
#pragma once

#include "circuits/schematic.h"

#include <string>

// Reads the description of circuit 1..42 held in text; file names it in messages. Throws
// SchematicError ("file:line: ...") for an unknown keyword, a control the circuit's sheet lacks or of
// another kind, a control placed twice, a bad number or point, a part or pin that does not exist, a
// slanted wire or a part too short for its body, and a missing or repeated size line.
Schematic parseSchematic(const std::string& text, const std::string& file, int circuit);
