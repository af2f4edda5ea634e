// Temporary: the cascodes and SRPP stages not converted yet, their entries built by the legacy adapter from
// the rows of the old catalogue. Converting the family replaces this file by one file per circuit.
#include "circuits/cascodes_srpp/cascodes_srpp_common.h"
#include "circuits/legacy/legacy_circuit.h"

const CircuitDef& c06TrueCascode() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 6,
         .title = "True cascode",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = true,
         .categories = {"gain stage", "cascode-like"},
         .edits = {{"EdVb", "V"},
                   {"EdRg1", "Rg1"},
                   {"EdRg2", "Rg2"},
                   {"EdRk", "Rk"},
                   {"EdRa", "Ra"},
                   {"EdRo", "Ro"},
                   {"EdCg", "Cg"},
                   {"EdCa", "Ca"},
                   {"EdCo", "Co"},
                   {"EdCk", "Ck"},
                   {"EdRs", "Rs"},
                   {"EdCs", "Cs"},
                   {"EdRgs", "Rgs"},
                   {"EdCgs", "Cgs"},
                   {"EdRg", "Rg"}},
         .checkBoxes = {},
         .captions = {"T1 and T2", "T2", "T1"},
         .resultLabels = {"LabelVa", "LabelVk", "LabelVg", "LabelVm", "LabelIt", "LabelIa"},
         .grid = {"T1 & T2",   "Vb (V)",    "Rg1 (Ω)",   "Rg2 (Ω)",  "Vg (V)",   "Ra (Ω)",   "Va (V)",
                  "Vm (V)",    "Rk (Ω)",    "Vk (V)",    "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)",
                  "Vgk2 (V)",  "Ia2 (mA)",  "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "PRa (mW)", "PRk (mW)",
                  "PRg1 (mW)", "PRg2 (mW)", "Rao (Ω)",   "Gain",     "Zo (Ω)"},
         .bode = {"RC input", "T1", "T2", "RC output", "Overall gain"}},
        solveC6));
    return def;
}

const CircuitDef& c08CascodeSrpp() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 8,
                    .title = "Cascode SRPP",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = true,
                    .categories = {"gain stage", "cascode-like"},
                    .edits = {{"EdVb", "V"},
                              {"EdRk1", "Rk1"},
                              {"EdRk2", "Rk2"},
                              {"EdRo", "Ro"},
                              {"EdRa", "Ra"},
                              {"EdCgs", "Cgs"},
                              {"EdCa", "Ca"},
                              {"EdCo", "Co"},
                              {"EdCk", "Ck"},
                              {"EdRs", "Rs"},
                              {"EdCs", "Cs"},
                              {"EdRgs", "Rgs"},
                              {"EdRg", "Rg"},
                              {"EdCg", "Cg"}},
                    .checkBoxes = {{"CheckBoxRa", "short Ra"}},
                    .captions = {"T1 and T2", "T2", "T1"},
                    .resultLabels = {"LabelVk2", "LabelVg2", "LabelVk1", "LabelIt", "LabelVa2"},
                    .grid = {"T1 & T2",  "Vb (V)",    "Rk1 (Ω)",  "Rk2 (Ω)",  "Vk1 (V)",   "Vk2 (V)",
                             "Vg2 (V)",  "Vak1 (V)",  "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)",  "Vgk2 (V)",
                             "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "Ra (Ω)",    "Ro (Ω)",
                             "Aopt",     "Zopt (Ω)",  "Abyp",     "Aunbyp",   "Zobyp (Ω)", "Zounbyp (Ω)"},
                    .bode = {"RC input", "T1", "T2", "RC output", "Overall gain"}},
                   solveC8));
    return def;
}

const CircuitDef& c21DoubleCascode() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 21,
                    .title = "Double cascode after Aikido Lumacraft",
                    .tubes = 4,
                    .tubeKind = 3,
                    .twoTubeTypes = true,
                    .bodeTab = true,
                    .categories = {"gain stage", "cascode-like"},
                    .edits = {{"EdVb", "V"},
                              {"EdR1", "R1"},
                              {"EdR2", "R2"},
                              {"EdR3", "R3"},
                              {"EdR4", "R4"},
                              {"EdRo", "Ro"},
                              {"EdCo", "Co"},
                              {"EdCg", "Cg"},
                              {"EdRg", "Rg"},
                              {"EdRgs", "Rgs"},
                              {"EdC1", "C1"},
                              {"EdCgs", "Cgs"},
                              {"EdCa", "Ca"}},
                    .checkBoxes = {},
                    .captions = {"T1 and T2", "T3 and T4"},
                    .resultLabels = {"LabelVa1", "LabelVk2", "LabelVk4", "LabelVa3", "LabelVk3", "LabelVk1",
                                     "LabelI1", "LabelI3", "LabelItot"},
                    .grid = {"T1,T2",    "T3,T4",    "Vb (V)",   "Va1 (V)",  "Va3 (V)",   "ΣIa (mA)",
                             "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)",  "Ia2 (mA)",
                             "Vak3 (V)", "Vgk3 (V)", "Ia3 (mA)", "Vak4 (V)", "Vgk4 (V)",  "Ia4 (mA)",
                             "R1 (Ω)",   "R2 (Ω)",   "R3 (Ω)",   "R4 (Ω)",   "Ptot (mW)", "PT1 (mW)",
                             "PT2 (mW)", "PT3 (mW)", "PT4 (mW)", "A1",       "A2",        "Zo"},
                    .bode = {"RC input", "T1", "T2", "T4", "T3", "RC output", "Overall gain"}},
                   solveC21));
    return def;
}

const CircuitDef& c22FixedBiasCascodeSrpp() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 22,
         .title = "Cascode SRPP, fixed bias",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage", "cascode-like"},
         .edits = {{"EdVb", "V"}, {"EdR1", "R1"}, {"EdR2", "R2"}, {"EdVg2", "EdVg2"}, {"EdRo", "Ro"}},
         .checkBoxes = {},
         .captions = {"T1 and T2", "T2", "T1"},
         .resultLabels = {"LabelVk2", "LabelVa1", "LabelVk1", "LabelI2"},
         .grid = {"T1-T2",    "Vb (V)",   "Vg2 (V)",  "Vo (V)",   "Va1 (V)", "Vak1 (V)", "Vgk1 (V)",
                  "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)", "R1 (Ω)",  "R2 (Ω)",   "Ptot (mW)",
                  "PT1 (mW)", "PT2 (mW)", "PR1 (mW)", "PR2 (mW)", "Ro (Ω)",  "Av",       "Zo (Ω)"},
         .bode = {}},
        solveC22));
    return def;
}

const CircuitDef& c24SrppHeadphone() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 24,
         .title = "SRPP headphone amplifier after Lumacraft",
         .tubes = 3,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage", "buffer", "cascode-like"},
         .edits = {{"EdVb", "Vb : power supply (V)"},
                   {"EdR1", "R1"},
                   {"EdRk1", "Rk1"},
                   {"EdR2", "R2"},
                   {"EdRk2", "Rk2"}},
         .checkBoxes = {},
         .captions = {"T1 and T2 and T3", "T3", "T1", "T2"},
         .resultLabels = {"LabelVo", "LabelItot", "LabelVa1", "LabelVk1", "LabelVk2", "LabelI3", "LabelI2",
                          "LabelI1", "LabelI9"},
         .grid = {"Tubes",    "Vb (V)",   "Vo (V)",   "Va1 (V)",  "Vk1 (V)",   "Vk2",       "Vak1 (V)",
                  "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)",  "Vak3 (V)",  "Vgk3 (V)",
                  "Ia3 (mA)", "Rk1 (Ω)",  "Rk2 (Ω)",  "R1 (Ω)",   "R2 (Ω)",    "Ptot (mW)", "PT1 (mW)",
                  "PT2 (mW)", "PT3 (mW)", "PR1 (mW)", "PR2 (mW)", "PRk1 (mW)", "PRk2 (mW)"},
         .bode = {}},
        solveC24));
    return def;
}

const CircuitDef& c30MuFollower() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 30,
         .title = "Mu-follower",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage", "buffer", "cascode-like"},
         .edits = {{"EdVb", "Vb"},
                   {"EdRk2", "Rk2"},
                   {"EdRa", "Ra"},
                   {"EdRk1", "Rk1"},
                   {"EdRg2", "Rg2 for AC estimation"}},
         .checkBoxes = {},
         .captions = {"T2", "T1", "T1, T2"},
         .resultLabels = {"LabelVk2", "LabelVg2", "LabelVa1", "LabelVk1", "LabelIa"},
         .grid = {"Tube",     "Vb (V)",    "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)",
                  "Ia2 (mA)", "Va1",       "Vk1",      "Vg2",      "Vk2",      "Rk1 (Ω)",  "Ra (Ω)",
                  "Rk2 (Ω)",  "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "PRa (mW)", "µ1",       "µ2",
                  "Gain T1",  "Gain T2",   "Gain",     "Zout (Ω)"},
         .bode = {}},
        solveC30));
    return def;
}

const CircuitDef& c31CascodeSrppPlus() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 31,
                    .title = "Cascode SRPP+",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = false,
                    .categories = {"gain stage", "buffer", "cascode-like"},
                    .edits = {{"EdVb", "Vb"}, {"EdR1", "R1"}, {"EdR2", "R2"}, {"EdRk", "Rk"}, {"EdRo", "Ro"}},
                    .checkBoxes = {},
                    .captions = {"T1, T2", "T2", "T1"},
                    .resultLabels = {"LabelIa", "LabelVk2", "LabelVo", "LabelVa1", "LabelVk1"},
                    .grid = {"Tube",     "Vb (V)",   "Vak1 (V)", "Vgk1 (V)",  "Ia1 (mA)", "Vak2 (V)",
                             "Vgk2 (V)", "Ia2 (mA)", "Va1",      "Vk1",       "Vm",       "Vk2",
                             "Rk1 (Ω)",  "R1 (Ω)",   "R2 (Ω)",   "Ptot (mW)", "PT1 (mW)", "PT2 (mW)",
                             "Ro (Ω)",   "µ",        "Gain byp", "Gain unbyp"},
                    .bode = {}},
                   solveC31));
    return def;
}

const CircuitDef& c34HalfMu() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 34,
                    .title = "Half-mu stage",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = true,
                    .categories = {"gain stage", "cascode-like"},
                    .edits = {{"EdVb", "V"},
                              {"EdR1", "R1"},
                              {"EdR2", "R2"},
                              {"EdRs", "Rs"},
                              {"EdCs", "Cs"},
                              {"EdRgs", "Rgs"},
                              {"EdCg", "Cg"},
                              {"EdRg", "Rg"},
                              {"EdCgs", "Cgs"},
                              {"EdCk", "Ck"},
                              {"EdRo", "Ro"},
                              {"EdCo", "Co"},
                              {"EdCa", "Ca"}},
                    .checkBoxes = {},
                    .captions = {"T1 and T2", "T1", "T2"},
                    .resultLabels = {"LabelVa1", "LabelVk2", "LabelVk1", "LabelIa"},
                    .grid = {"T1 T2", "Vb (V)", "Rk1 (Ω)", "Rk2 (Ω)", "Va1 (V)", "Vak1 (V)", "Vgk1 (V)",
                             "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)",
                             "PT2 (mW)", "Ab", "Au", "Zb (Ω)", "Zu (Ω)"},
                    .bode = {"RC input", "T1", "T2", "RC output", "Overall gain"}},
                   solveC34));
    return def;
}
