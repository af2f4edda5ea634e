// Temporary: the voltage regulators and current sinks not converted yet, their entries built by the legacy
// adapter from the rows of the old catalogue. Converting the family replaces this file by one file per
// circuit.
#include "circuits/legacy/legacy_circuit.h"
#include "circuits/regulators/regulators_solvers.h"

const CircuitDef& c16TwoTriodeRegulator() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 16,
         .title = "Two-triode serial voltage regulator",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = true,
         .bodeTab = false,
         .categories = {"voltage regulator"},
         .edits = {{"EdVb", "Vb : power supply (V)"},
                   {"EdR1", "R1"},
                   {"EdR2", "R2"},
                   {"EdVref", "Vref (V)"},
                   {"EdR3", "R3"},
                   {"EdR4", "R4"},
                   {"EdIo", "Io : output current (A)"}},
         .checkBoxes = {},
         .captions = {"T1 (ballast)", "T2 (error amplifier)"},
         .resultLabels = {"LabelVg1", "LabelVo", "LabelVg2", "LabelIt", "LabelIa2", "LabelIref", "LabelIdiv"},
         .grid = {"T1",       "T2",       "Vb (V)",   "R1 (Ω)",   "R2 (Ω)",    "R3 (Ω)",   "R4 (Ω)",
                  "Vref (V)", "Vo (V)",   "Io (mA)",  "Vg1 (V)",  "Vg2 (V)",   "Vak1 (V)", "Vgk1 (V)",
                  "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)", "PT2 (mW)",
                  "PR1 (mW)", "PR2 (mW)", "PR3 (mW)", "PR4 (mW)"},
         .bode = {}},
        solveC16));
    return def;
}

const CircuitDef& c17SeriesRegulator() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 17,
         .title = "Single triode serial voltage regulator",
         .tubes = 1,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"voltage regulator"},
         .edits =
             {{"EdVb", "EdVb"}, {"EdR", "R"}, {"EdVref", "Vref (V)"}, {"EdIo", "Io : output current (A)"}},
         .checkBoxes = {},
         .captions = {"T1"},
         .resultLabels = {"LabelVo"},
         .grid = {"T1", "Vb (V)", "R (Ω)", "Vref (V)", "Vo (V)", "Io (mA)", "Vak (V)", "Vgk (V)", "Ia (mA)",
                  "Ptot (mW)", "PT1 (mW)", "PR (mW)", "PVref (mW)", "Pout (mW)"},
         .bode = {}},
        solveC17));
    return def;
}

const CircuitDef& c18ShuntRegulator() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 18,
                    .title = "Single triode shunt voltage regulator",
                    .tubes = 1,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = false,
                    .categories = {"voltage regulator"},
                    .edits = {{"EdVb", "EdVb"},
                              {"EdR1", "R1"},
                              {"EdR2", "R2"},
                              {"EdVref", "Vref (V)"},
                              {"EdR3", "R3"},
                              {"EdIo", "Io : output current (A)"}},
                    .checkBoxes = {},
                    .captions = {"T1"},
                    .resultLabels = {"LabelVo", "LabelVg", "LabelIa", "LabelItot"},
                    .grid = {"T1", "Vb (V)", "Ib (mA)", "R1 (Ω)", "R2 (Ω)", "R3 (Ω)", "Vref (V)", "Vo (V)",
                             "Io (mA)", "Vak (V)", "Vgk (V)", "Ia (mA)", "Ptot (mW)", "PT1 (mW)", "PR1 (mW)",
                             "PR2 (mW)", "PR3 (mW)", "PVref (mW)", "Pout (mW)"},
                    .bode = {}},
                   solveC18));
    return def;
}

const CircuitDef& c25CurrentSink() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 25,
                    .title = "Basic current sink",
                    .tubes = 1,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = false,
                    .categories = {},
                    .edits = {{"EdRk", "Rk"}, {"EdVa", "Va :  anode voltage (V)"}, {"EdVg", "Vg (V)"}},
                    .checkBoxes = {},
                    .captions = {"T1"},
                    .resultLabels = {"LabelIa", "LabelVk"},
                    .grid = {"Tube", "Va (V)", "Vg (V)", "Rk (Ω)", "Vak (V)", "Vgk (V)", "Ia (mA)",
                             "PT1 (mW)", "PRk (mW)", "Ri (kΩ)"},
                    .bode = {}},
                   solveC25));
    return def;
}

const CircuitDef& c27JanusShuntRegulator() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 27,
         .title = "Janus cascode shunt regulator after Lumacraft",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"cascode-like", "voltage regulator"},
         .edits = {{"EdVb", "EdVb"},
                   {"EdRa", "Ra"},
                   {"EdR2", "R2"},
                   {"EdR1", "R1"},
                   {"EdRk", "Rk"},
                   {"EdIo", "Io : output current (A)"}},
         .checkBoxes = {},
         .captions = {"T1 and T2", "T2", "T1"},
         .resultLabels = {"LabelVo", "LabelVk", "LabelVg2", "LabelItot", "LabelIa2", "LabelVa1"},
         .grid = {"Tubes",    "Vb (V)",   "Itot",     "Vo (V)",   "Io",        "V1 (V)",   "V2 (V)",
                  "Vk (V)",   "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)",  "Vgk2 (V)", "Ia2 (mA)",
                  "Ra (Ω)",   "R1 (Ω)",   "R2 (Ω)",   "Rk (Ω)",   "Ptot (mW)", "PT1 (mW)", "PT2 (mW)",
                  "PRa (mW)", "PRk (mW)", "PR1 (mW)", "PR2 (mW)"},
         .bode = {}},
        solveC27));
    return def;
}
