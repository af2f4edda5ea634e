// The netlist tables of C7, C10, C11, C12, C14, C19, C20, C23 and C26 (see circuit_netlists.cpp for how a
// table is written).
#include "spice/netlist_parts.h"

namespace {

// The anode branch of a pair or a chain: Ra from `supply`, the current probe VIA<n>, the tube.
std::vector<std::string> anodeBranch(int n, const std::string& supply, const std::string& ra,
                                     const std::string& grid, const std::string& cathode,
                                     const std::string& selector) {
    const std::string t = std::to_string(n);
    return {upperName(ra.substr(2)) + " " + supply + " a" + t + "m {" + ra + "}",
            "VIA" + t + " a" + t + "m a" + t + " 0",
            "XT" + t + " a" + t + " " + grid + " " + cathode + " @" + selector,
            "CSA" + t + " a" + t + " 0 {S}"};
}

// The input of the pairs: Cg into T1's grid, Rg from it to the bias node vg, which also holds T2's
// grid (at signal ground).
std::vector<std::string> pairInput() {
    return {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}", "RG g1 vg {EdRg}", "CSG g1 0 {S}", "VG vg 0 DC {EdVg}"};
}

// The output of anode n of a pair: Can into Ron with the capacitor named `co`, at out<n>.
std::vector<std::string> pairOutput(int n, const std::string& co) {
    const std::string t = std::to_string(n);
    return {"CA" + t + " a" + t + " out" + t + " {EdCa" + t + "}",
            "RO" + t + " out" + t + " 0 {EdRo" + t + "}", "CO" + t + " out" + t + " 0 {" + co + "}",
            "CSO" + t + " out" + t + " 0 {S}"};
}

} // namespace

std::vector<CircuitNetlist> differentialMixerNetlists() {
    return {
        {7,
         {"in: input; g1: T1's grid after Cg; vg: the bias Vbias, on Rg and T2's grid (AC grounded)",
          "k: the joined cathodes (Vk); a1, a2: the anodes (Va1, Va2); vb: supply Vb",
          "out1: after Ca1, on Ro1 and Co1 (out 1); out2: after Ca2, on Ro2 and Co2 (out 2)"},
         joinLines({pairInput(),
                    {"VB vb 0 DC {EdVb}"},
                    anodeBranch(1, "vb", "EdRa1", "g1", "k", "LBtube"),
                    anodeBranch(2, "vb", "EdRa2", "vg", "k", "LBtube"),
                    {"RK k 0 {max(EdRk,1)}", "CSK k 0 {S}"},
                    pairOutput(1, "EcCo1"),
                    pairOutput(2, "EdCo2")}),
         "out1",
         "A common resistor Rk typed as 0 is taken as 1 ohm, as the solver takes it."},
        {10,
         {"in: input; g1: T1's grid after Cg; vg: the bias Vg, on Rg and T2's grid (AC grounded)",
          "k: the joined cathodes (Vk), fed by the current source Ics; n_rk: the foot of its impedance Rk",
          "a1, a2: the anodes (Va1, Va2); vb: supply V",
          "out1: after Ca1, on Ro1 and Co1 (out 1); out2: after Ca2, on Ro2 and Co2 (out 2)"},
         joinLines(
             {pairInput(),
              {"VB vb 0 DC {EdVb}"},
              anodeBranch(1, "vb", "EdRa1", "g1", "k", "LBtube"),
              anodeBranch(2, "vb", "EdRa2", "vg", "k", "LBtube"),
              {"ICS k 0 DC {EdIcs>0 ? EdIcs : 1e-4}", "RK k n_rk {EdRk}", "CRK n_rk 0 1", "CSK k 0 {S}"},
              pairOutput(1, "EdCo1"),
              pairOutput(2, "EdCo2")}),
         "out1",
         "The tubes share Ics at the bias point (0.1 mA when none is typed); the source's impedance Rk "
         "counts for the signal only, through CRK (1 F), as the current source's Norton equivalent."},
        {11,
         {"in: input 1; g1: T1's grid after Cg, on Rg; g2: T2's grid, on a network of the same Cg and Rg, "
          "input 2 at signal ground",
          "a: the joined anodes (Va); a1, a2: each anode after its current probe; k: the joined cathodes "
          "(Vk)",
          "vb: supply Vb; out: output after Ca, on Ro and Co"},
         {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}",     "RG g1 0 {EdRg}",  "CSG g1 0 {S}",
          "CG2 g2 0 {EdCg}",    "RG2 g2 0 {EdRg}",     "CSG2 g2 0 {S}",   "VB vb 0 DC {EdVb}",
          "RA vb a {EdRa}",     "CSA a 0 {S}",         "VIA1 a a1 0",     "XT1 a1 g1 k @LBtube",
          "VIA2 a a2 0",        "XT2 a2 g2 k @LBtube", "RK k 0 {EdRk}",   "CK k 0 {EdCk}",
          "CSK k 0 {S}",        "CA a out {EdCa}",     "RO out 0 {EdRo}", "CO out 0 {EdCo}",
          "CSO out 0 {S}"},
         "out",
         {}},
        {12,
         {"in: input 1, T1's grid (0 V DC); T2's grid (input 2) at ground",
          "a: the joined anodes (Va); a1, a2: each anode after its current probe; k1, k2: the cathodes",
          "vb: supply Vb; out: output after Cc, on Ro"},
         {"VIN in 0 DC 0 AC 1", "VB vb 0 DC {min(max(EdVb,50),500)}", "RA vb a {EdRa}", "CSA a 0 {S}",
          "VIA1 a a1 0", "XT1 a1 in k1 @LBtube", "RK1 k1 0 {EdRk1}", "CK1 k1 0 100u", "VIA2 a a2 0",
          "XT2 a2 0 k2 @LBtube", "RK2 k2 0 {EdRk2}", "CK2 k2 0 100u", "CC a out 1u", "RO out 0 {EdRo}"},
         "out",
         "Ck1, Ck2 and Cc have no fields (the solver takes them as ideal): 100 uF, 100 uF, 1 uF; the "
         "supply is held within 50 V and 500 V, as the solver holds it."},
        {14,
         {"in: input; n_rg: after Cs, on Rg1; g1: T1's grid after Rgs1, with Cgs1",
          "a1: T1's anode (Va1), a1t behind VIA1; k1: T1's cathode (Vk1); tap: the divider Rag (with C1) "
          "over Rg2 (Vg2)",
          "g2: T2's grid after Rgs2, with Cgs2; a2: T2's anode (Va2); k2: T2's cathode (Vk2); vb: supply Vb",
          "out: output after Ca, on Ro and Co"},
         joinLines({{"VIN in 0 DC 0 AC 1", "CS in n_rg {EdCs}", "RG1 n_rg 0 {EdRg1}", "RGS1 n_rg g1 {EdRgs1}",
                     "CGS1 g1 0 {EdCgs1}", "CSG1 g1 0 {S}", "VB vb 0 DC {EdVb}"},
                    // The divider hangs from Ra1's foot, outside VIA1, which measures T1 alone.
                    {"RA1 vb a1 {EdRa1}", "VIA1 a1 a1t 0", "XT1 a1t g1 k1 @LBtube1", "CSA1 a1 0 {S}"},
                    {"RK1 k1 0 {EdRk1}", "CK1 k1 0 {EdCk1}", "CSK1 k1 0 {S}", "RAG a1 tap {EdRag}",
                     "C1 a1 tap {EdC1}", "RG2 tap 0 {EdRg2}", "CST tap 0 {S}", "RGS2 tap g2 {EdRgs2}",
                     "CGS2 g2 0 {EdCgs2}", "CSG2 g2 0 {S}"},
                    anodeBranch(2, "vb", "EdRa2", "g2", "k2", "LBtube2"),
                    {"RK2 k2 0 {EdRk2}", "CK2 k2 0 {EdCk2}", "CSK2 k2 0 {S}"},
                    outputNetwork("a2", "EdCa")}),
         "out",
         {}},
        {19,
         {"in: input, T3's grid (0 V DC); vb: supply Vb; v1, v2, v3: the filter's nodes after R1, R2, R3 "
          "(Vb1, Vb2, Vb3)",
          "a3, k3: T3's anode and cathode (input stage); g2: T2's grid on Rg2; a2, k2: T2's anode and "
          "cathode",
          "g1: T1's grid on Rg1; a1, k1: T1's anode and cathode (output stage); out: output after Cc1, on "
          "Ro"},
         joinLines(
             {{"VIN in 0 DC 0 AC 1", "VB vb 0 DC {EdVb}", "R1 vb v1 {EdR1}", "C1F v1 0 100u",
               "R2 v1 v2 {EdR2}", "C2F v2 0 100u", "R3 v2 v3 {EdR3}", "C3F v3 0 100u"},
              anodeBranch(3, "v3", "EdRa3", "in", "k3", "LBtube"),
              {"RK3 k3 0 {EdRk3}", "CSK3 k3 0 {S}", "CC3 a3 g2 1u", "RG2 g2 0 {EdRg2}", "CSG2 g2 0 {S}"},
              anodeBranch(2, "v2", "EdRa2", "g2", "k2", "LBtube"),
              {"RK2 k2 0 {EdRk2}", "CSK2 k2 0 {S}", "CC2 a2 g1 1u", "RG1 g1 0 {EdRg1}", "CSG1 g1 0 {S}"},
              anodeBranch(1, "v1", "EdRa1", "g1", "k1", "LBtube"),
              {"RK1 k1 0 {EdRk1}", "CSK1 k1 0 {S}", "CC1 a1 out 1u", "RO out 0 {EdRo}"}}),
         "out",
         "The filter capacitors C1f, C2f, C3f and the coupling capacitors Cc3, Cc2, Cc1 have no fields: 100 "
         "uF and 1 uF; the cathode resistors are unbypassed, as drawn."},
        {20,
         {"in: input; n_rs: between Rs and Cs; n_rg: after Cs, on Rg2 and Cg2; g2: T2's grid after Rgs2",
          "vb: supply Vb; v1, v2: the filter's nodes after R1 and R2 (Vb1, Vb2); a2, k2: T2's anode and "
          "cathode (input stage)",
          "n_rg1: after Ca2, on Rg1; g1: T1's grid after Rgs1; a1, k1: T1's anode and cathode (output stage)",
          "out: output after Ca1, on Ro and Co"},
         joinLines(
             {{"VIN in 0 DC 0 AC 1", "RS in n_rs {EdRs}", "CS n_rs n_rg {EdCs}", "RG2 n_rg 0 {EdRg2}",
               "CG2 n_rg 0 {EdCg2}", "RGS2 n_rg g2 {EdRgs2}", "CGS2 g2 0 {EdCgs2}", "CSG2 g2 0 {S}",
               "VB vb 0 DC {EdVb}", "R1 vb v1 {EdR1}", "C1F v1 0 100u", "R2 v1 v2 {EdR2}", "C2F v2 0 100u"},
              anodeBranch(2, "v2", "EdRa2", "g2", "k2", "LBtube"),
              {"RK2 k2 0 {EdRk2}", "CK2 k2 0 {EdCk2}", "CSK2 k2 0 {S}", "CA2 a2 n_rg1 {EdCa2}",
               "RG1 n_rg1 0 {EdRg1}", "RGS1 n_rg1 g1 {EdRgs1}", "CGS1 g1 0 {EdCgs1}", "CSG1 g1 0 {S}"},
              anodeBranch(1, "v1", "EdRa1", "g1", "k1", "LBtube"),
              {"RK1 k1 0 {EdRk1}", "CK1 k1 0 {EdCk1}", "CSK1 k1 0 {S}"},
              outputNetwork("a1", "EdCa1")}),
         "out",
         "The filter capacitors C1f and C2f have no fields (the solver takes the nodes as AC grounds): 100 "
         "uF."},
        {23,
         {"in: input; g1: T1's grid, the input riding on Vg1; g2: T2's grid, the tap of Rf1 over Rf2",
          "k12: the joined cathodes of T1 and T2 (Vk12); a1, a2: their anodes (Va1, Va2), a2 also T4's grid",
          "out: the output Vo, T4's cathode and T3's anode; k3: T3's cathode (Vk3); vb: supply Vb"},
         joinLines({{"VIN in 0 DC 0 AC 1", "VG1 g1 in DC {EdVg1}", "VB vb 0 DC {EdVb}"},
                    anodeBranch(1, "vb", "EdRa1", "g1", "k12", "LBtube1"),
                    anodeBranch(2, "vb", "EdRa2", "g2", "k12", "LBtube1"),
                    {"RK12 k12 0 {max(EdRk12,1)}", "CSK12 k12 0 {S}", "VIA3 out a3 0", "XT3 a3 0 k3 @LBtube2",
                     "RK3 k3 0 {EdRk3}", "CSK3 k3 0 {S}", "VIA4 vb a4 0", "XT4 a4 a2 out @LBtube2",
                     "CSO out 0 {S}", "RF1 out g2 {EdRf1}", "RF2 g2 0 {EdRf2}", "CSG2 g2 0 {S}"}}),
         "out",
         "A common resistor Rk12 typed as 0 is taken as 1 ohm, as the solver takes it."},
        {26,
         {"in: input, T1's grid (0 V DC); a1: T1's anode and T2's grid (Va1); k1: T1's cathode, on Rk1 "
          "(Vk1)",
          "out: T2's cathode, the output (Vk2); vk12: between Rk2 and Rk3 (Vk12); vb: supply Vb"},
         joinLines({{"VIN in 0 DC 0 AC 1", "VB vb 0 DC {EdVb}"},
                    anodeBranch(1, "vb", "EdRa", "in", "k1", "LBtube"),
                    {"RK1 k1 0 {EdRk1}", "CSK1 k1 0 {S}", "VIA2 vb a2 0", "XT2 a2 a1 out @LBtube",
                     "RK2 out vk12 {EdRk2}", "RK3 vk12 k1 {EdRk3}", "CSO out 0 {S}"}}),
         "out",
         {}},
    };
}
