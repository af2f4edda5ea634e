// Temporary: the power stages not converted yet, their entries built by the legacy adapter from
// the rows of the old catalogue. Converting the family replaces this file by one file per circuit.
#include "circuits/legacy/legacy_circuit.h"
#include "circuits/power/power_circuits_common.h"

#include <limits>

namespace {

const FieldRange kSelfBiasCathodeResistor{"EdRk", 10, 1000, "Cathode resistor must be 10 to 1000\u03a9"};
const FieldRange kFixedGridBias{"EdVg", -std::numeric_limits<double>::infinity(), 0,
                                "Voltage on grid 1 must be negative or null"};

} // namespace

const CircuitDef& c37SingleEndedTriode() {
    static const CircuitDef def = [] {
        CircuitSpec spec = legacySpec({.number = 37,
                                       .title = "Single-ended triode power amplifier",
                                       .tubes = 1,
                                       .tubeKind = 3,
                                       .twoTubeTypes = false,
                                       .bodeTab = false,
                                       .categories = {"power stage"},
                                       .edits = {{"EdVb", "V"},
                                                 {"EdRk", "Rk"},
                                                 {"EdVg", "Bias voltage (V)"},
                                                 {"EdRa", "Primary impedance (Ω)"},
                                                 {"EdRp", "Primary ohmic resistance (Ω)"}},
                                       .checkBoxes = {},
                                       .captions = {"T1", "triode(s) in parallel"},
                                       .resultLabels = {"LabelIa", "LabelVk", "LabelVa", "Label3"},
                                       .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)",
                                                "TR yield (%)", "Vak (V)", "Vgk (V)", "Ia (mA)", "Pdc (W)",
                                                "Vg swing (V)", "Pout (W)", "Ia max (mA)", "Yield (%)"},
                                       .bode = {}},
                                      solveC37);
        spec.power = PowerStageSetup{"self-biased triode SE", false, true};
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c38SingleEndedPentode() {
    static const CircuitDef def = [] {
        CircuitSpec spec =
            legacySpec({.number = 38,
                        .title = "Single-ended pentode power amplifier",
                        .tubes = 1,
                        .tubeKind = 5,
                        .twoTubeTypes = false,
                        .bodeTab = false,
                        .categories = {"power stage"},
                        .edits = {{"EdVb", "V"},
                                  {"EdVg", "V"},
                                  {"EdRk", "Rk"},
                                  {"EdVg2", "V"},
                                  {"EdRa", "Primary impedance (Ω)"},
                                  {"EdRp", "Primary ohmic resistance (Ω)"}},
                        .checkBoxes = {},
                        .captions = {"tube(s) in parallel"},
                        .resultLabels = {"LabelIa", "LabelVa", "LabelVk", "LabelIg2", "LabelIk", "Label3"},
                        .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)", "TR yield (%)",
                                 "Vak (V)", "Vgk (V)", "Ia (mA)", "Pdc (W)", "Vg swing (V)", "Pout (W)",
                                 "Ia max (mA)", "Yield (%)"},
                        .bode = {}},
                       solveC38);
        spec.power = PowerStageSetup{"self-biased pentode SE", false, true};
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c39SelfBiasedTriodePushPull() {
    static const CircuitDef def = [] {
        CircuitSpec spec =
            legacySpec({.number = 39,
                        .title = "Self-biased triode push-pull",
                        .tubes = 2,
                        .tubeKind = 3,
                        .twoTubeTypes = false,
                        .bodeTab = false,
                        .categories = {"power stage"},
                        .edits = {{"EdVb", "V"}, {"EdRk", "Rk"}, {"EdZaa", "Primary impedance (Ω)"}},
                        .checkBoxes = {},
                        .captions = {"AC swing +", "AC swing -", "tube(s) in parallel per branch",
                                     "Transformer power yield (%)"},
                        .resultLabels = {"LabelIb", "LabelVk", "LabelVa"},
                        .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)", "TR yield (%)",
                                 "Vak (V)", "Vgk (V)", "Ia (mA)", "Pdc (W)", "Vg swing (V)", "Pout (W)",
                                 "Ia max (mA)", "Yield (%)"},
                        .bode = {}},
                       solveC39);
        spec.power = PowerStageSetup{"self-biased triode PP", true, true};
        spec.advanced = AdvancedPowerSetup{"1", "2.1", 3};
        spec.rules = {kSelfBiasCathodeResistor};
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c40SelfBiasedPentodePushPull() {
    static const CircuitDef def = [] {
        CircuitSpec spec = legacySpec(
            {.number = 40,
             .title = "Self-biased pentode push-pull",
             .tubes = 2,
             .tubeKind = 5,
             .twoTubeTypes = false,
             .bodeTab = false,
             .categories = {"power stage"},
             .edits = {{"EdVb", "V"}, {"EdVe", "V"}, {"EdZaa", "Primary impedance (Ω)"}, {"EdRk", "Rk (Ω)"}},
             .checkBoxes = {},
             .captions = {"tube(s) in parallel per branch", "AC swing +", "ACswing -",
                          "Transformer power yield (%)"},
             .resultLabels = {"LabelIb", "LabelVk", "LabelIe"},
             .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)", "TR yield (%)", "Vak (V)",
                      "Vgk (V)", "Ia (mA)", "Pdc (W)", "Vg swing (V)", "Pout (W)", "Ia max (mA)",
                      "Yield (%)"},
             .bode = {}},
            solveC40);
        spec.power = PowerStageSetup{"self-biased pentode PP", true, true};
        spec.advanced = AdvancedPowerSetup{"4", "0.2", 3};
        spec.rules = {kSelfBiasCathodeResistor};
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c41FixedBiasTriodePushPull() {
    static const CircuitDef def = [] {
        CircuitSpec spec = legacySpec(
            {.number = 41,
             .title = "Fixed bias triode push-pull",
             .tubes = 2,
             .tubeKind = 3,
             .twoTubeTypes = false,
             .bodeTab = false,
             .categories = {"power stage"},
             .edits = {{"EdVb", "V"}, {"EdVg", "Grid bias (V)"}, {"EdZaa", "Primary impedance (Ω)"}},
             .checkBoxes = {},
             .captions = {"AC swing +", "AC swing -", "tube(s) in parallel per branch"},
             .resultLabels = {"LabelIb", "LabelVa", "Label3"},
             .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)", "TR yield (%)", "Vak (V)",
                      "Vgk (V)", "Ia (mA)", "Pdc (W)", "Vg swing (V)", "Pout (W)", "Ia max (mA)",
                      "Yield (%)"},
             .bode = {}},
            solveC41);
        spec.power = PowerStageSetup{"fixed-biased triode PP", true, false};
        spec.advanced = AdvancedPowerSetup{"8", "0.2", 3};
        spec.rules = {kFixedGridBias};
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c42FixedBiasPentodePushPull() {
    static const CircuitDef def = [] {
        CircuitSpec spec = legacySpec({.number = 42,
                                       .title = "Fixed bias pentode push-pull",
                                       .tubes = 2,
                                       .tubeKind = 5,
                                       .twoTubeTypes = false,
                                       .bodeTab = false,
                                       .categories = {"power stage"},
                                       .edits = {{"EdVb", "V"},
                                                 {"EdVe", "V"},
                                                 {"EdZaa", "Primary impedance (Ω)"},
                                                 {"EdVg", "Grid bias"}},
                                       .checkBoxes = {},
                                       .captions = {"tube(s) in parallel per branch", "AC swing +",
                                                    "ACswing -", "Transformer power yield (%)"},
                                       .resultLabels = {"LabelIb", "LabelIe"},
                                       .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Rp (Ω)", "Zt (Ω)",
                                                "TR yield (%)", "Vak (V)", "Vgk (V)", "Ia (mA)", "Pdc (W)",
                                                "Vg swing (V)", "Pout (W)", "Ia max (mA)", "Yield (%)"},
                                       .bode = {}},
                                      solveC42);
        spec.power = PowerStageSetup{"fixed-biased pentode PP", true, false};
        spec.advanced = AdvancedPowerSetup{"4", "0.2", 3};
        spec.rules = {kFixedGridBias};
        return defineCircuit(spec);
    }();
    return def;
}
