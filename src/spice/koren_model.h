// A tube model as a Koren subcircuit for ngspice: the NK triode (A G K) or pentode (A G S K)
// equations of TTube as behavioural sources, with the model's constants, capacitances and limits.
#pragma once

#include "model/tube_params.h"

#include <string>

// The subcircuit name of a model: its letters and digits, other runs of characters as one "_"
// ("ECC83 / 12AX7" -> "ECC83_12AX7").
std::string spiceSubcircuitName(const std::string& modelName);

// The .subckt ... .ends text of a model, headed by comment lines naming it. The anode current is
// written in Koren's two-term form, (pwr(E1,EX) + abs(pwr(E1,EX)))/KG1 with ngspice's signed pwr, i.e.
// 2*E1^EX/KG1 for E1 > 0 and 0 below, as TTube computes it; the
// grid draws no current. The limits (PMAX, IMAX, VMAX, and PG2MAX, VG2MAX for a pentode) ride along
// as parameters that the equations do not use, so that an import restores the whole model.
std::string spiceModelText(const TubeParams& params);
