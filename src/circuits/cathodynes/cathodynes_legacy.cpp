// Temporary: the cathodynes not converted yet, their entries built by the legacy adapter from
// the rows of the old catalogue. Converting the family replaces this file by one file per circuit.
#include "circuits/cathodynes/cathodynes_solvers.h"
#include "circuits/legacy/legacy_circuit.h"

const CircuitDef& c02SelfBiasCathodyne() {
    static const CircuitDef def = [] {
        CircuitSpec spec =
            legacySpec({.number = 2,
                        .title = "Phase inverter, self bias cathodyne",
                        .tubes = 1,
                        .tubeKind = 3,
                        .twoTubeTypes = false,
                        .bodeTab = true,
                        .categories = {"buffer", "phase inverter"},
                        .edits = {{"EdVb", "V"},
                                  {"EdRa", "Ra"},
                                  {"EdRgk", "Rgk"},
                                  {"EdRk", "Rk"},
                                  {"EdRko", "Rko"},
                                  {"EdRao", "Rao"},
                                  {"EdRg", "Rg"},
                                  {"EdCko", "Cko"},
                                  {"EdCa", "Ca"},
                                  {"EdCgk", "Cgk"},
                                  {"EdCk", "Ck"},
                                  {"EdCg", "Cg"},
                                  {"EdCao", "Cao"}},
                        .checkBoxes = {},
                        .captions = {"T1"},
                        .resultLabels = {"LabelVa", "LabelVk", "LabelVg", "LabelIa"},
                        .grid = {"T1", "Vb (V)", "Ra (Ω)", "Rgk (Ω)", "Rk (Ω)", "Va (V)", "Vk (V)", "Vg (V)",
                                 "Vak (V)", "Vgk (V)", "Ia (mA)", "Ptot (mW)", "PT1 (mW)", "PRa (mW)",
                                 "PRk (mW)", "Rao (Ω)", "Rko (Ω)", "Aa", "Ak"},
                        .bode = {"RC input", "T1A", "T1K", "RCa output", "RCk output"}},
                       solveC2);
        spec.feedback = false; // a phase splitter
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c05FixedBiasCathodyne() {
    static const CircuitDef def = [] {
        CircuitSpec spec =
            legacySpec({.number = 5,
                        .title = "Phase inverter, fixed bias cathodyne",
                        .tubes = 1,
                        .tubeKind = 3,
                        .twoTubeTypes = false,
                        .bodeTab = true,
                        .categories = {"phase inverter"},
                        .edits = {{"EdVb", "V"},
                                  {"EdVg", "V"},
                                  {"EdRk", "Rk"},
                                  {"EdRa", "Ra"},
                                  {"EdRao", "Rao"},
                                  {"EdRko", "Rko"},
                                  {"EdCg", "Cg"},
                                  {"EdCao", "Cao"},
                                  {"EdCko", "Cko"},
                                  {"EdRg", "Rg"},
                                  {"EdCa", "Ca"},
                                  {"EdCk", "Ck"}},
                        .checkBoxes = {},
                        .captions = {"T1", "T1"},
                        .resultLabels = {"LabelVk", "LabelVa", "LabelIa"},
                        .grid = {"T1", "Vb (V)", "Vg (V)", "Ra (Ω)", "Va (V)", "Rk (Ω)", "Vk (V)", "Vak (V)",
                                 "Vgk (V)", "Ia (mA)", "Ptot (mW)", "PT1 (mW)", "PRa (mW)", "PRk (mW)",
                                 "Rao (Ω)", "Rko (Ω)", "Aa", "Ak"},
                        .bode = {"RC input", "T1A", "T1K", "RCa output", "RCk output"}},
                       solveC5);
        spec.feedback = false; // a phase splitter
        return defineCircuit(spec);
    }();
    return def;
}

const CircuitDef& c28TotemPoleSplitter() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 28,
         .title = "Totem pole split load phase splitter after Lumacraft",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage", "cascode-like", "phase inverter"},
         .edits = {{"EdVb", "EdVb"},
                   {"EdRa2", "Ra2"},
                   {"EdRa1", "Ra1"},
                   {"EdRk2", "Rk2"},
                   {"EdRok", "Rok"},
                   {"EdRk1", "Rk1"}},
         .checkBoxes = {},
         .captions = {"T1 and T2", "T1", "T2"},
         .resultLabels = {"LabelItot", "LabelVa2", "LabelVo", "LabelVk1", "LabelVa1", "LabelVk2", "LabelIa1",
                          "LabelIok", "LabelIa2"},
         .grid = {"Tubes",    "Vb (V)",    "Va2",       "Vk2",       "Vo (V)",    "Va1",       "Vk1",
                  "Iok",      "Vak1 (V)",  "Vgk1 (V)",  "Ia1 (mA)",  "Vak2 (V)",  "Vgk2 (V)",  "Ia2 (mA)",
                  "Ra1 (Ω)",  "Ra2 (Ω)",   "Rk1 (Ω)",   "Rk2 (Ω)",   "Rok",       "Ptot (mW)", "PT1 (mW)",
                  "PT2 (mW)", "PRa1 (mW)", "PRa2 (mW)", "PRk1 (mW)", "PRk2 (mW)", "PRok (mW)"},
         .bode = {}},
        solveC28));
    return def;
}
