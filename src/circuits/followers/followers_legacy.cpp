// Temporary: the cathode followers not converted yet, their entries built by the legacy adapter from
// the rows of the old catalogue. Converting the family replaces this file by one file per circuit.
#include "circuits/followers/followers_internal.h"
#include "circuits/legacy/legacy_circuit.h"

const CircuitDef& c03CathodeFollower() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 3,
                    .title = "Cathode-follower, fixed bias",
                    .tubes = 1,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = true,
                    .categories = {"buffer"},
                    .edits = {{"EdVb", "V"},
                              {"EdVg", "V"},
                              {"EdRk", "Rk"},
                              {"EdRo", "Ro"},
                              {"EdRg", "Rg"},
                              {"EdCs", "Cs"},
                              {"EdRs", "Rs"},
                              {"EdCo", "Co"},
                              {"EdCg", "Cg"}},
                    .checkBoxes = {},
                    .captions = {"T1"},
                    .resultLabels = {"LabelVk", "LabelIa"},
                    .grid = {"T1", "Vb (V)", "Vg (V)", "Rk (Ω)", "Vk (V)", "Vak (V)", "Vgk (V)", "Ia (mA)",
                             "Ptot (mW)", "PT1 (mW)", "PRk (mW)", "Ro (Ω)", "Gain", "Zo (Ω)"},
                    .bode = {"RC input", "T1", "RC output", "Overall gain"}},
                   solveC3));
    return def;
}

const CircuitDef& c04CommonCathodeFollower() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 4,
         .title = "Common-cathode amplifier and DC-coupled cathode-follower",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = true,
         .bodeTab = true,
         .categories = {"gain stage", "buffer"},
         .edits = {{"EdVb", "V"},
                   {"EdRa", "Ra"},
                   {"EdRk2", "Rk2"},
                   {"EdRo", "Ro"},
                   {"EdRg", "Rg"},
                   {"EdCg", "Cg"},
                   {"EdCgs", "Cgs"},
                   {"EdRgs", "Rgs"},
                   {"EdCs", "Cs"},
                   {"EdRs", "Rs"},
                   {"EdCo", "Co"},
                   {"EdCko", "Cko"},
                   {"EdCk", "Ck"},
                   {"EdRk1", "Rk1"},
                   {"EdRko", "Rko"}},
         .checkBoxes = {{"CheckBoxConnected", "connected"}, {"CheckBoxShunted", "shunted"}},
         .captions = {"T1", "T2"},
         .resultLabels = {"LabelVg", "LabelVk1", "LabelVk2", "LabelIt", "LabelIa2", "LabelIa1"},
         .grid = {"T1",       "T2",        "Vb (V)",   "Ra (Ω)",   "Rk1 (Ω)",  "Rk2 (Ω)",   "Va1 (V)",
                  "Vk1 (V)",  "Vk2 (V)",   "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)",  "Vgk2 (V)",
                  "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)", "PRa (mW)", "PT2 (mW)", "PRk2 (mW)", "Ro (Ω)",
                  "A1",       "A2",        "A1.A2",    "Zo (Ω)"},
         .bode = {"RC input", "T1", "T2", "RC output", "Overall gain"}},
        solveC4));
    return def;
}

const CircuitDef& c33WhiteFollower() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 33,
         .title = "White cathode follower",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"buffer", "cascode-like"},
         .edits =
             {{"EdVb", "V"}, {"EdRa", "Ra"}, {"EdVg2", "V"}, {"EdRk", "Rk"}, {"EdRg", "Rg"}, {"EdRo", "Ro"}},
         .checkBoxes = {},
         .captions = {"T2", "T1", "T1 and T2"},
         .resultLabels = {"LabelVa", "LabelVak", "LabelVk", "LabelIa"},
         .grid = {"T1 T2",     "Vb (V)",   "Vg2 (V)",  "Ra (Ω)",   "Rk (Ω)",   "Va1 (V)",  "Va2 (V)",
                  "Vk (V)",    "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)",
                  "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "Ro (Ω)",   "Gain",     "Zout (Ω)"},
         .bode = {}},
        solveC33));
    return def;
}

const CircuitDef& c35FollowerCurrentSink() {
    static const CircuitDef def = defineCircuit(
        legacySpec({.number = 35,
                    .title = "Cathode-follower with current sink",
                    .tubes = 2,
                    .tubeKind = 3,
                    .twoTubeTypes = false,
                    .bodeTab = true,
                    .categories = {"buffer", "cascode-like"},
                    .edits = {{"EdR1", "R1"},
                              {"EdRo", "Ro"},
                              {"EdRso", "Rso"},
                              {"EdVb", "V"},
                              {"EdVg2", "V"},
                              {"EdCo", "Co"},
                              {"EdCso", "Cso"},
                              {"EdRg", "Rg"},
                              {"EdCg", "Cg"}},
                    .checkBoxes = {},
                    .captions = {"T1 and T2", "T2", "T1"},
                    .resultLabels = {"LabelIa", "LabelVa1", "LabelVk1", "LabelVk2"},
                    .grid = {"T1 T2", "Vb (V)", "Vg (V)", "Rk1 (Ω)", "Va1 (V)", "Vk1 (V)", "Vk2 (V)",
                             "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)",
                             "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "Ro (Ω)", "Av", "Zo (Ω)"},
                    .bode = {"RC input", "T2", "T1", "RC output", "Overall gain"}},
                   solveC35));
    return def;
}
