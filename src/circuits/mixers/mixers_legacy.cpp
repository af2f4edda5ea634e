// Temporary: the mixers not converted yet, their entries built by the legacy adapter from
// the rows of the old catalogue. Converting the family replaces this file by one file per circuit.
#include "circuits/legacy/legacy_circuit.h"
#include "circuits/mixers/mixers_internal.h"

const CircuitDef& c11BalancedMixer() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 11,
         .title = "Dual triode mixer, balanced",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = true,
         .categories = {"gain stage", "mixer"},
         .edits = {{"EdVb", "V"},
                   {"EdRa", "Ra"},
                   {"EdRk", "Rk"},
                   {"EdRo", "Ro"},
                   {"EdCg", "Cg"},
                   {"EdCo", "Co"},
                   {"EdCk", "Ck"},
                   {"EdRg", "Rg"},
                   {"EdCa", "Ca"}},
         .checkBoxes = {},
         .captions = {"T2", "T1"},
         .resultLabels = {"LabelVa", "LabelVk", "LabelIt", "LabelIa1", "LabelIa2"},
         .grid = {"T1 & T2",  "Vb (V)",   "Ra (Ω)",   "Rk (Ω)",   "Va (V)",    "Vk (V)",    "Vak1 (V)",
                  "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)", "Vgk2 (V)", "Ia2 (mA)",  "Ptot (mW)", "PT1 (mW)",
                  "PT2 (mW)", "PRa (mW)", "Ro (Ω)",   "Abyp",     "Zobyp (Ω)", "Aunbyp",    "Zounbyp (Ω)"},
         .bode = {"RC input", "T1", "RC output", "Overall gain"}},
        solveC11));
    return def;
}

const CircuitDef& c12AsymmetricalMixer() {
    static const CircuitDef def = defineCircuit(legacySpec(
        {.number = 12,
         .title = "Dual triode mixer, asymmetrical",
         .tubes = 2,
         .tubeKind = 3,
         .twoTubeTypes = false,
         .bodeTab = false,
         .categories = {"gain stage", "mixer"},
         .edits = {{"EdVb", "EdVb"}, {"EdRa", "Ra"}, {"EdRk1", "Rk1"}, {"EdRk2", "Rk2"}, {"EdRo", "Ro"}},
         .checkBoxes = {},
         .captions = {"T1", "T2"},
         .resultLabels = {"LabelVa", "LabelVk2", "LabelVk1", "LabelIt", "LabelIa1", "LabelIa2"},
         .grid = {"T1 & T2",  "Vb (V)",   "Ra (Ω)",    "Va (V)",   "Rk1 (Ω)",  "Vk1 (V)",
                  "Rk2 (Ω)",  "Vk2 (V)",  "Vak1 (V)",  "Vgk1 (V)", "Ia1 (mA)", "Vak2 (V)",
                  "Vgk2 (V)", "Ia2 (mA)", "Ptot (mW)", "PT1 (mW)", "PT2 (mW)", "PRa (mW)",
                  "Ro",       "A1",       "A2",        "Zo (Ω)"},
         .bode = {}},
        solveC12));
    return def;
}
