// Temporary: the DC-coupled and multi-stage amplifiers not converted yet, their entries built by the legacy
// adapter from the rows of the old catalogue. Converting the family replaces this file by one file per
// circuit.
#include "circuits/dc_coupled/dc_coupled_solvers.h"
#include "circuits/legacy/legacy_circuit.h"

const CircuitDef& c09DirectCoupled() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 9,
         .title = "Common-cathode amplifier with DC direct coupling",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = true,
         .bodeTab = true,
         .categories = {"gain stage"},
         .edits = {{"EdVb", "V"},
                   {"EdRa1", "Ra1"},
                   {"EdRk1", "Rk1"},
                   {"EdRk2", "Rk2"},
                   {"EdRa2", "Ra2"},
                   {"EdRo", "Ro"},
                   {"EdCa", "Ca"},
                   {"EdRgs", "Rgs"},
                   {"EdRs", "Rs"},
                   {"EdCs", "Cs"},
                   {"EdRg", "Rg"},
                   {"EdCg", "Cg"},
                   {"EdCgs", "Cgs"},
                   {"EdCk1", "Ck1"},
                   {"EdCk2", "Ck2"},
                   {"EdCo", "Co"}},
         .checkBoxes = {},
         .captions = {"T1", "T2"},
         .resultLabels = {"LabelVa2", "LabelVa1", "LabelVk1", "LabelVk2", "LabelIt", "LabelIa2", "LabelIa1"},
         .grid = {"T1",        "T2",        "Vb (V)",   "Ra1 (Ω)",   "Ra2 (Ω)",  "Rk1 (Ω)",   "Rk2 (Ω)",
                  "Va1 (V)",   "Va2 (V)",   "Vk1 (V)",  "Vk2 (V)",   "Vak1 (V)", "Vgk1 (V)",  "Ia1 (mA)",
                  "Vak2 (V)",  "Vgk2 (V)",  "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)", "PRa1 (mW)", "PT2 (mW)",
                  "PRa2 (mW)", "PRk2 (mW)", "Ro (Ω)",   "A1b",       "A1u",      "A2b",       "A2u"},
         .bode = {"RC input", "T1", "T2", "RC output", "Overall gain"}},
        solveC9));
    return def;
}

const CircuitDef& c13ConstantCurrentBias() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 13,
                    .title = "Common-cathode amplifier, constant current bias",
                    .tubes = 1,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = false,
                    .categories = {"gain stage"},
                    .edits = {{"EdVb", "EdVb"},
                              {"EdRa", "Ra"},
                              {"EdVg", "Vg"},
                              {"EdIk", "Ik : constant current (A)"},
                              {"EdRo", "Ro"}},
                    .checkBoxes = {},
                    .captions = {"T1"},
                    .resultLabels = {"LabelVa", "LabelVk"},
                    .grid = {"T1", "Vb (V)", "Ra (Ω)", "Va (V)", "Ia (mA)", "Vg (V)", "Vk (V)", "Vak (V)",
                             "Vgk (V)", "Ptot (mW)", "PT1 (mW)", "PRa (mW)", "Ro", "Abyp", "Zo (Ω)"},
                    .bode = {}},
                   solveC13));
    return def;
}

const CircuitDef& c14LevelShifting() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 14,
                    .title = "Common-cathode amplifier with DC level shifting",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = true,
                    .bodeTab = true,
                    .categories = {"gain stage"},
                    .edits = {{"EdVb", "V"},
                              {"EdRa1", "Ra1"},
                              {"EdRk1", "Rk1"},
                              {"EdRk2", "Rk2"},
                              {"EdRa2", "Ra2"},
                              {"EdRag", "R1"},
                              {"EdRg2", "R2"},
                              {"EdRo", "Ro"},
                              {"EdCgs1", "Cg"},
                              {"EdCo", "Co"},
                              {"EdCa", "Ca"},
                              {"EdCk2", "Ck2"},
                              {"EdCk1", "Ck1"},
                              {"EdRgs1", "Rs"},
                              {"EdCs", "Cs"},
                              {"EdRg1", "Rg"},
                              {"EdRgs2", "Rgs"},
                              {"EdCgs2", "Cgs"},
                              {"EdC1", "C1"}},
                    .checkBoxes = {},
                    .captions = {"T1", "T2"},
                    .resultLabels = {"LabelVa1", "LabelVa2", "LabelVg2", "LabelVk1", "LabelVk2", "LabelIt",
                                     "LabelIa2", "LabelIa1", "LabelIg"},
                    .grid = {"T1",       "T2",        "Vb (V)",    "Ra1 (Ω)",   "Ra2 (Ω)",    "Rk1 (Ω)",
                             "Rk2 (Ω)",  "Rag (Ω)",   "Rg2 (Ω)",   "Ig (mA)",   "Va1 (V)",    "Va2 (V)",
                             "Vg2 (V)",  "Vk1 (V)",   "Vk2 (V)",   "Vak1 (V)",  "Vgk1 (V)",   "Ia1 (mA)",
                             "Vak2 (V)", "Vgk2 (V)",  "Ia2 (mA)",  "Ptot (mW)", "PT1 (mW)",   "PRa1 (mW)",
                             "PT2 (mW)", "PRa2 (mW)", "PRk2 (mW)", "PRag (mW)", "PRg2 (mW)",  "Ro (Ω)",
                             "A1byp",    "A1unbyp",   "A2byp",     "A2unbyp",   "Zo2byp (Ω)", "Zo2unbyp (Ω)"},
                    .bode = {"RC input", "T1", "Level shifter", "T2", "RC output", "Overall gain"}},
                   solveC14));
    return def;
}

const CircuitDef& c19ThreeStageFiltered() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 19,
         .title = "3-tube amplifier common-cathode, filtered power supply",
         .tubes = 3,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage"},
         .edits = {{"EdVb", "V"},
                   {"EdRa1", "Ra1"},
                   {"EdRk1", "Rk1"},
                   {"EdRa2", "Ra2"},
                   {"EdRk2", "Rk2"},
                   {"EdRa3", "Ra3"},
                   {"EdRk3", "Rk3"},
                   {"EdR1", "R1"},
                   {"EdR2", "R2"},
                   {"EdR3", "R3"},
                   {"EdRg2", "Rg2"},
                   {"EdRg1", "Rg1"},
                   {"EdRo", "Ro"}},
         .checkBoxes = {},
         .captions = {"T1 T2 T3", "T1", "T2", "T3"},
         .resultLabels = {"LabelVk3", "LabelVk2", "LabelVk1", "LabelVa1", "LabelVa2", "LabelVa3", "LabelVb3",
                          "LabelVb2", "LabelVb1", "LabelItot", "LabelI3", "LabelI2", "LabelI1"},
         .grid = {"T1",       "Vb (V)",   "V1 (V)",    "V2 (V)",    "V3 (V)",    "IR1 (mA)",
                  "IR2 (mA)", "IR3 (mA)", "Ia1 (mA)",  "Ia2 (mA)",  "Ia3 (mA)",  "Va1 (V)",
                  "Va2 (V)",  "Va3 (V)",  "R1 (Ω)",    "R2 (Ω)",    "R3 (Ω)",    "Ra1 (Ω)",
                  "Ra2 (Ω)",  "Ra3 (Ω)",  "Ptot (mW)", "PT1 (mW)",  "PT2 (mW)",  "PT3 (mW)",
                  "PR1 (mW)", "PR2 (mW)", "PR3 (mW)",  "PRa1 (mW)", "PRa2 (mW)", "PRa3 (mW)"},
         .bode = {}},
        solveC19));
    return def;
}

const CircuitDef& c20TwoStageFiltered() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 20,
         .title = "2-tube amplifier common-cathode, filtered power supply",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = true,
         .categories = {"gain stage"},
         .edits = {{"EdVb", "V"},      {"EdRa1", "Ra1"},   {"EdRk1", "Rk1"},   {"EdRa2", "Ra2"},
                   {"EdRk2", "Rk2"},   {"EdR1", "R1"},     {"EdR2", "R2"},     {"EdRg1", "Rg1"},
                   {"EdRo", "Ro"},     {"EdRs", "Rs"},     {"EdCa1", "Ca1"},   {"EdCa2", "Ca2"},
                   {"EdRgs1", "Rgs1"}, {"EdCk1", "Ck1"},   {"EdCk2", "Ck2"},   {"EdRg2", "Rg2"},
                   {"EdCg2", "Cg"},    {"EdCgs2", "Cgs2"}, {"EdRgs2", "Rgs2"}, {"EdCs", "Cs"},
                   {"EdCo", "Co"},     {"EdCgs1", "Cgs1"}},
         .checkBoxes = {},
         .captions = {"T1 T2", "T2", "T1"},
         .resultLabels = {"LabelItot", "LabelVa1", "LabelVa2", "LabelI1", "LabelI2", "LabelVk1", "LabelVk2",
                          "LabelVb1", "LabelVb2"},
         .grid = {"T1",        "Vb (V)",   "V1 (V)",   "V2 (V)",   "IR1 (mA)", "IR2 (mA)",  "Ia1 (mA)",
                  "Ia2 (mA)",  "Va1 (V)",  "Va2 (V)",  "R1 (Ω)",   "R2 (Ω)",   "Ra1 (Ω)",   "Ra2 (Ω)",
                  "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "PR1 (mW)", "PR2 (mW)", "PRa1 (mW)", "PRa2 (mW)",
                  "Rg2 (Ω)",   "Ro (Ω)",   "A1b",      "A1u",      "A2b",      "A2u"},
         .bode = {"RC input", "T2", "RC T2->T1", "T1", "RC output", "Overall gain"}},
        solveC20));
    return def;
}

const CircuitDef& c26Ccda() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 26,
                    .title = "CCDA line amplifier after Lumacraft",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = false,
                    .categories = {"gain stage", "buffer"},
                    .edits = {{"EdVb", "Vb : power supply (V)"},
                              {"EdRa", "Ra"},
                              {"EdRk2", "Rk2"},
                              {"EdRk1", "Rk1"},
                              {"EdRk3", "Rk3"}},
                    .checkBoxes = {},
                    .captions = {"T1", "T2", "T1 and T2"},
                    .resultLabels = {"LabelItot", "LabelVa1", "LabelI1", "LabelI2", "LabelVk1", "LabelVk12",
                                     "LabelVk2", "Label9"},
                    .grid = {"Tubes",    "Vb (V)",   "Va1 (V)",   "Vk1 (V)",   "Vk2 (V)",   "Vk12 (V)",
                             "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)",  "Vak2 (V)",  "Vgk2 (V)",  "Ia2 (mA)",
                             "Ra (Ω)",   "Rk1 (Ω)",  "Rk2 (Ω)",   "Rk3 (Ω)",   "Ptot (mW)", "PT1 (mW)",
                             "PT2 (mW)", "PRa (mW)", "PRk1 (mW)", "PRk2 (mW)", "PRk3 (mW)"},
                    .bode = {}},
                   solveC26));
    return def;
}

const CircuitDef& c29AnodeFeedback() {
    static const CircuitDef def =
        defineCircuit(legacySpec({.number = 29,
                                  .title = "Amplifier with local feedback anode to grid",
                                  .tubes = 1,
                                  .tubeKind = 3,
                                  .twoTubeTypes = false,
                                  .bodeTab = false,
                                  .categories = {"gain stage"},
                                  .edits = {{"EdRg", "Rg"},
                                            {"EdRk", "Rk"},
                                            {"EdRao", "Rao"},
                                            {"EdRf", "Rf"},
                                            {"EdRa", "Ra"},
                                            {"EdVb", "Vb"}},
                                  .checkBoxes = {},
                                  .captions = {"T1"},
                                  .resultLabels = {"LabelIa", "LabelVa", "LabelVk"},
                                  .grid = {"Tube", "Vb (V)", "Va", "Vk", "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)",
                                           "Ra (Ω)", "Rao (Ω)", "Rk (Ω)", "Rg (Ω)", "Rf (Ω)", "Ptot (mW)",
                                           "PT1 (mW)", "PRa (mW)", "Ao", "Avf", "Zin (Ω)", "Zout (Ω)"},
                                  .bode = {}},
                                 solveC29));
    return def;
}

const CircuitDef& c32CommonGrid() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 32,
         .title = "Common-grid amplifier",
         .tubes = 1,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = true,
         .categories = {"gain stage"},
         .edits = {{"EdVb", "V"},
                   {"EdRk", "Rk"},
                   {"EdRa", "Ra"},
                   {"EdRo", "Ro"},
                   {"EdCs", "Cs"},
                   {"EdCo", "Co"},
                   {"EdCk", "Ck"}},
         .checkBoxes = {},
         .captions = {"T1"},
         .resultLabels = {"LabelIa", "LabelVa", "LabelVk"},
         .grid = {"T1", "Vb (V)", "Ra (Ω)", "Rk (Ω)", "Va (V)", "Vk (V)", "Vak (V)", "Vgk (V)", "Ia (mA)",
                  "Ptot (mW)", "PT1 (mW)", "PRa (mW)", "Ro (Ω)", "Gain", "Zin (Ω)", "Zout (Ω)"},
         .bode = {"T1 gain", "RC output", "Overall gain"}},
        solveC32));
    return def;
}

const CircuitDef& c36PentodeCommonCathode() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 36,
         .title = "Cathode-common pentode amplifier",
         .tubes = 1,
         .tubeKind = 5,
         .twoTubeTypes = false,
         .bodeTab = true,
         .categories = {"gain stage"},
         .edits = {{"EdVb", "V"},
                   {"EdRa", "Ra"},
                   {"EdRo", "Ro"},
                   {"EdVek", "Screen-cathode voltage"},
                   {"EdRk", "Rk"},
                   {"EdRs", "Rs"},
                   {"EdCk", "Ck"},
                   {"EdCo", "Co"},
                   {"EdCgs", "Cgs"},
                   {"EdRgs", "Rgs"},
                   {"EdRg", "Rg"},
                   {"EdCg", "EdCg"},
                   {"EdCs", "Cs"},
                   {"EdCa", "Ca"}},
         .checkBoxes = {},
         .captions = {"T1"},
         .resultLabels = {"LabelI", "LabelVa", "LabelVk", "LabelRe", "LabelVe"},
         .grid = {"T1", "Vb (V)", "Vsk (V)", "Rk (Ω)", "Ra (Ω)", "Rs (Ω)", "Vak (V)", "Vgk (V)", "Vsk (V)",
                  "Ia (mA)", "Is (mA)", "Ptot (mW)", "PT1a (mW)", "PT1s (mW)", "Ro (Ω)", "Av", "Zo (Ω)"},
         .bode = {"RC input", "T1", "RC output", "Overall gain"}},
        solveC36));
    return def;
}
