// valvenix-cli's part of the distortion figures: the --thd-level option of solve and the
// "distortion" key of its JSON output.
#pragma once

#include "cli.h"
#include "json_text.h"

#include "solver/solve.h"

namespace cli {

// --thd-level V: the output level (V peak) of a gain stage's distortion line; a level that is not a
// positive number is refused.
void applyThdLevel(const Args& args, SolveRequest& rq);

// A gain stage's figures at its level, a power stage's harmonics cycle by cycle, or null.
Json distortionJson(const SolveResult& r);

// The plain-text line of a power stage's largest swing; empty for other circuits.
std::string powerDistortionText(const SolveResult& r);

} // namespace cli
