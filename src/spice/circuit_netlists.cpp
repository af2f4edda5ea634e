// The netlist tables of the circuits: node names as the schematics label them, element lines with the
// sheet's fields as parameters. A line "?Box ..." is written when the check box is checked, "!Box ..."
// when it is not; "@LBtube" is the subcircuit of the selected model; VIA<n> measures Tn's anode current.
#include "spice/netlist_parts.h"

#include <algorithm>

namespace {

// C1's input network with the stray capacitances where the bandwidth chain puts them: 3 S beside Cg
// on the pull-down node, 2 S beside Cgs on the grid and S more from the grid pin of the stage.
std::vector<std::string> chainInputNetwork(const std::string& series) {
    auto in = inputNetwork(series, "g1");
    in.insert(in.begin() + 5, "CSRG n_rg 0 {3*S}");
    in.back() = "CSG g1 0 {3*S}";
    return in;
}

// The output network with the load's 2 S beside Co.
std::vector<std::string> chainOutputNetwork(const std::string& from, const std::string& coupling) {
    auto out = outputNetwork(from, coupling);
    out.back() = "CSO out 0 {2*S}";
    return out;
}

const char* const kChainStrays =
    "The stray capacitances (multiples of S) sit where the bandwidth chain puts them.";

} // namespace

std::vector<CircuitNetlist> singleStageNetlists() {
    return {
        {1,
         {"in: input; n_rs: between Rs and Cin; n_rg: Cin, Rg and Cg; g1: T1's grid after Rgs",
          "a1: T1's anode (Va); k1: T1's cathode (Vk); vb: supply V; out: output after Cout, on Ro and Co"},
         [] {
             auto in = chainInputNetwork("EdCi");
             // "Cin shunted": the series capacitor is a short.
             in[2] = "!CheckBoxC1shunted " + in[2];
             in.insert(in.begin() + 3, "?CheckBoxC1shunted VCI n_rs n_rg 0");
             return joinLines({in,
                               {"VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0",
                                "XT1 a1 g1 k1 @LBtube", "CSA1 a1 0 {2*S}", "RK k1 0 {EdRk}",
                                "?CheckBoxCkconnected CK k1 0 {EdCk}", "CSK1 k1 0 {2*S}"},
                               chainOutputNetwork("a1", "EdCs")});
         }(),
         "out",
         kChainStrays},
        {2,
         {"in: input; g1: T1's grid after Cg; k1: T1's cathode; j: the junction of Rgk and Rk, where Rg "
          "returns",
          "a1: T1's anode; outa: out A, after Ca on Rao and Cao; outk: out K, after Ck on Rko and Cko"},
         {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}", "RG g1 j {EdRg}", "CSG g1 0 {S}", "VB vb 0 DC {EdVb}",
          "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube", "CSA1 a1 0 {S}", "RGK k1 j {EdRgk}",
          "CGK k1 j {EdCgk}", "RK j 0 {EdRk}", "CSK1 j 0 {S}", "CA a1 outa {EdCa}", "RAO outa 0 {EdRao}",
          "CAO outa 0 {EdCao}", "CK j outk {EdCk}", "RKO outk 0 {EdRko}", "CKO outk 0 {EdCko}"},
         "outa",
         {}},
        {3,
         {"in: input; g1: T1's grid, held at Vg through Rg; k1: T1's cathode (Vk)",
          "n_rs: between Rs and Cs; out: output after Cs, on Ro and Co; vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}", "RG g1 vg {EdRg}", "VG vg 0 DC {EdVg}", "CSG g1 0 {6*S}",
          "VB vb 0 DC {EdVb}", "VIA1 vb a1 0", "XT1 a1 g1 k1 @LBtube", "RK k1 0 {EdRk}", "CSK1 k1 0 {2*S}",
          "RS k1 n_rs {EdRs}", "CS n_rs out {EdCs}", "RO out 0 {EdRo}", "CO out 0 {EdCo}", "CSO out 0 {2*S}"},
         "out",
         "The stray capacitances (multiples of S) sit where the bandwidth chain puts them: 5 S from the "
         "input network and S from the grid pin on the grid."},
        {4,
         {"in: input; n_rs: between Rs and Cs; n_rg: Cs, Rg and Cg; g1: T1's grid after Rgs",
          "a1: T1's anode and T2's grid; k1: T1's cathode; k2: T2's cathode; vb: supply V",
          "n_rko: between Rko and Cko; out: output after Cko, on Ro and Co"},
         [] {
             auto in = inputNetwork("EdCs", "g1");
             in[2] = "!CheckBoxShunted " + in[2];
             in.insert(in.begin() + 3, "?CheckBoxShunted VCS n_rs n_rg 0");
             return joinLines(
                 {in,
                  {"VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube1",
                   "CSA1 a1 0 {S}", "RK1 k1 0 {EdRk1}", "?CheckBoxConnected CK k1 0 {EdCk}", "CSK1 k1 0 {S}",
                   "VIA2 vb a2 0", "XT2 a2 a1 k2 @LBtube2", "RK2 k2 0 {EdRk2}", "CSK2 k2 0 {S}",
                   "RKO k2 n_rko {EdRko}", "CKO n_rko out {EdCko}", "RO out 0 {EdRo}", "CO out 0 {EdCo}",
                   "CSO out 0 {S}"}});
         }(),
         "out",
         {}},
        {5,
         {"in: input; g1: T1's grid, held at Vg through Rg; a1: T1's anode; k1: T1's cathode",
          "outa: out A, after Ca on Rao and Cao; outk: out K, after Ck on Rko and Cko; vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}", "RG g1 vg {EdRg}", "VG vg 0 DC {EdVg}", "CSG g1 0 {S}",
          "VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube", "CSA1 a1 0 {S}",
          "RK k1 0 {EdRk}", "CSK1 k1 0 {S}", "CA a1 outa {EdCa}", "RAO outa 0 {EdRao}", "CAO outa 0 {EdCao}",
          "CK k1 outk {EdCk}", "RKO outk 0 {EdRko}", "CKO outk 0 {EdCko}"},
         "outa",
         {}},
        {6,
         {"in: input; n_rs: between Rs and Cs; n_rg: Cs, Rg and Cg; g1: T1's grid after Rgs",
          "k1: T1's cathode (Vk); m: T1's anode and T2's cathode (Vm); g2: T2's grid on the divider (Vg)",
          "a2: T2's anode (Va); vb: supply V; out: output after Ca, on Ro and Co"},
         joinLines({chainInputNetwork("EdCs"),
                    {"VB vb 0 DC {EdVb}", "RG2 vb g2 {EdRg2}", "RG1 g2 0 {EdRg1}", "CD g2 0 100u",
                     "RA vb a2m {EdRa}", "VIA2 a2m a2 0", "XT2 a2 g2 m @LBtube", "CSA2 a2 0 {2*S}",
                     "VIA1 m a1 0", "XT1 a1 g1 k1 @LBtube", "CSM m 0 {5*S}", "RK k1 0 {EdRk}",
                     "CK k1 0 {EdCk}", "CSK1 k1 0 {2*S}"},
                    chainOutputNetwork("a2", "EdCa")}),
         "out",
         "CD, the decoupling capacitor of T2's grid, has no field: 100 uF. The stray capacitances (multiples "
         "of S) sit where the bandwidth chain puts them: 2 S from T1's anode and 3 S from T2's cathode on "
         "m."},
        {9,
         {"in: input; n_rs: between Rs and Cs; n_rg: Cs, Rg and Cg; g1: T1's grid after Rgs",
          "a1: T1's anode and T2's grid; k1: T1's cathode; a2: T2's anode; k2: T2's cathode; vb: supply V",
          "out: output after Ca, on Ro and Co"},
         joinLines({inputNetwork("EdCs", "g1"),
                    {"VB vb 0 DC {EdVb}", "RA1 vb a1m {EdRa1}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube1",
                     "CSA1 a1 0 {S}", "RK1 k1 0 {EdRk1}", "CK1 k1 0 {EdCk1}", "CSK1 k1 0 {S}",
                     "RA2 vb a2m {EdRa2}", "VIA2 a2m a2 0", "XT2 a2 a1 k2 @LBtube2", "CSA2 a2 0 {S}",
                     "RK2 k2 0 {EdRk2}", "CK2 k2 0 {EdCk2}", "CSK2 k2 0 {S}"},
                    outputNetwork("a2", "EdCa")}),
         "out",
         {}},
        {13,
         {"in: input; g1: T1's grid, held at Vg through Rg; k1: T1's cathode, fed by the current sink Ik",
          "a1: T1's anode; out: output after Cout, on Ro; vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "CIN in g1 1u", "RG g1 vg 1meg", "VG vg 0 DC {EdVg}", "CSG g1 0 {S}",
          "VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube", "CSA1 a1 0 {S}",
          "IK k1 0 DC {EdIk}", "CK k1 0 100u", "COUT a1 out 1u", "RO out 0 {EdRo}"},
         "out",
         "Cin, Rg, Ck and Cout have no fields (the solver takes them as ideal): 1 uF, 1 megohm, 100 uF, 1 "
         "uF."},
        {15,
         {"in: input; g1: T1's grid after Cg; j: the junction of Rkg and Rk, where both grids return (Vg)",
          "k: the joined cathodes (Vk); g2: T2's grid; a1, a2: the anodes (Va1, Va2)",
          "out1: after Ca1, on Ro1 and Co1 (out 1); out2: after Ca2, on Ro2 and Co2 (out 2); vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "CG in g1 {EdCg}",    "RG g1 j {EdRg}",      "CSG g1 0 {6*S+2e-12}",
          "VB vb 0 DC {EdVb}",  "RA1 vb a1m {EdRa1}", "VIA1 a1m a1 0",       "XT1 a1 g1 k @LBtube",
          "CSA1 a1 0 {3*S}",    "RA2 vb a2m {EdRa2}", "VIA2 a2m a2 0",       "XT2 a2 g2 k @LBtube",
          "CSA2 a2 0 {3*S}",    "RG2 g2 j {EdRg}",    "CD g2 0 100u",        "RKG k j {EdRkg}",
          "RK j 0 {EdRk}",      "CSK k 0 {S}",        "CA1 a1 out1 {EdCa1}", "RO1 out1 0 {EdRo1}",
          "CO1 out1 0 {EdCo1}", "CSO1 out1 0 {2*S}",  "CA2 a2 out2 {EdCa2}", "RO2 out2 0 {EdRo2}",
          "CO2 out2 0 {EdCo2}", "CSO2 out2 0 {2*S}"},
         "out1",
         "T2's grid resistor and its decoupling capacitor have no fields: Rg and 100 uF. The stray "
         "capacitances (multiples of S) sit where the bandwidth chain puts them, with the chain's 2 pF of "
         "grid and stopper capacitance on the grid."},
        {29,
         {"in: input; g1: T1's grid after Rg; n_rf: between Rf and Cf; a1: T1's anode; k1: T1's cathode",
          "out: output after Ca, on Rao; vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "RG in g1 {EdRg}", "CSG g1 0 {S}", "RF g1 n_rf {EdRf}", "CF n_rf a1 1u",
          "VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 k1 @LBtube", "CSA1 a1 0 {S}",
          "RK k1 0 {EdRk}", "CK k1 0 100u", "CSK1 k1 0 {S}", "CA a1 out 1u", "RAO out 0 {EdRao}"},
         "out",
         "Cf, Ck and Ca have no fields: 1 uF, 100 uF, 1 uF; the grid returns to 0 V through Rg and the "
         "source."},
        {32,
         {"in: input; k1: T1's cathode, fed through Ck; a1: T1's anode; T1's grid is grounded",
          "out: output after Cs, on Ro and Co; vb: supply V"},
         {"VIN in 0 DC 0 AC 1", "CK in k1 {EdCk}", "RK k1 0 {EdRk}", "CSK1 k1 0 {S}", "VB vb 0 DC {EdVb}",
          "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 0 k1 @LBtube", "CSA1 a1 0 {S}", "CS a1 out {EdCs}",
          "RO out 0 {EdRo}", "CO out 0 {EdCo}", "CSO out 0 {S}"},
         "out",
         {}},
        {36,
         {"in: input; n_rs: between Rs and Cs; n_rg: Cs, Rg and Cg; g1: T1's control grid after Rgs",
          "a1: T1's anode (Va); s1: T1's screen grid (Ve); k1: T1's cathode (Vk); vb: supply V",
          "out: output after Ca, on Ro and Co"},
         joinLines({chainInputNetwork("EdCs"),
                    {"VB vb 0 DC {EdVb}", "RA vb a1m {EdRa}", "VIA1 a1m a1 0", "XT1 a1 g1 s1 k1 @LBtube",
                     "CSA1 a1 0 {2*S}", "RE vb s1 {max((EdVb+T1_VGK-T1_VEK)/T1_IE,1e-3)}", "CD s1 0 100u",
                     "RK k1 0 {EdRk}", "CK k1 0 {EdCk}", "CSK1 k1 0 {2*S}"},
                    chainOutputNetwork("a1", "EdCa")}),
         "out",
         "RE, the screen resistor, is the value the solve computes for the screen voltage Vek (Re); its "
         "decoupling capacitor CD has no field: 100 uF. The stray capacitances (multiples of S) sit where "
         "the "
         "bandwidth chain puts them."},
    };
}

namespace {

const std::vector<CircuitNetlist>& tables() {
    static const std::vector<CircuitNetlist> all = [] {
        std::vector<CircuitNetlist> out;
        for (auto group : {singleStageNetlists, cascodeFollowerNetlists, differentialMixerNetlists,
                           regulatorPowerNetlists}) {
            auto part = group();
            out.insert(out.end(), part.begin(), part.end());
        }
        return out;
    }();
    return all;
}

} // namespace

const CircuitNetlist* circuitNetlist(int circuit) {
    for (const CircuitNetlist& t : tables())
        if (t.circuit == circuit)
            return &t;
    return nullptr;
}

std::vector<int> circuitsWithNetlist() {
    std::vector<int> out;
    for (const CircuitNetlist& t : tables())
        out.push_back(t.circuit);
    std::sort(out.begin(), out.end());
    return out;
}
