// The netlist tables of C16, C17, C18, C25, C27 and the power stages C37-C42 (see circuit_netlists.cpp for
// how a table is written).
//
// The regulators have no input: their AC source VIN drives 1 A per volt into the output beside the load
// Io, so that v(out)/v(in) reads the output impedance in ohms (C25: VIN is the anode supply and the
// sink's impedance is v(in)/v(ia), ia its anode current at 1 V per ampere). The power stages drive their
// grids from "in" (and its inverse "inn" for the push-pulls' second side); the output transformer is a pair
// (three windings with the centre tap) of fully coupled inductors whose secondary carries an 8 ohm
// loudspeaker: at DC the primary is a short beside its winding resistance, at mid-band it shows the sheet's
// primary impedance. n tubes in parallel are one tube and current-controlled sources copying its anode and
// screen currents n - 1 times, so VIA<n> measures a single tube.
#include "spice/netlist_parts.h"

namespace {

// The regulators' AC source: 1 A per volt of VIN drawn from the output beside Io.
const std::string kImpedanceNote =
    "VIN drives 1 A per volt into the output (GIN): v(out)/v(in) of the AC analysis is the output impedance.";

// The primary inductance of every output transformer (henry): 100 H keeps the magnetising current
// well below the load's down to 20 Hz for primary impedances of a few kilohm.
constexpr const char* kPrimary = "100";

// The drive of a single-ended power grid: the input coupled by Cin onto the grid, which returns
// through Rg to `gridReturn`.
std::vector<std::string> singleEndedDrive(const std::string& gridReturn) {
    return {"VIN in 0 DC 0 AC 1", "CIN in g1 1u", "RG g1 " + gridReturn + " 220k", "CSG1 g1 0 {S}"};
}

// The drive of a push-pull: "in" and its inverse "inn", each coupled onto one grid that returns
// through its grid resistor to `gridReturn`.
std::vector<std::string> pushPullDrive(const std::string& gridReturn) {
    return {"VIN in 0 DC 0 AC 1",
            "EINV inn 0 in 0 -1",
            "CIN1 in g1 1u",
            "RG1 g1 " + gridReturn + " 220k",
            "CSG1 g1 0 {S}",
            "CIN2 inn g2 1u",
            "RG2 g2 " + gridReturn + " 220k",
            "CSG2 g2 0 {S}"};
}

// The single-ended output transformer from `top` to the anode feed a1m: primary LP, secondary LS with
// the loudspeaker at "out", the secondary sized so that the primary shows `impedance` (a field).
std::vector<std::string> singleEndedTransformer(const std::string& top, const std::string& impedance) {
    return {"LP " + top + " a1m " + kPrimary, "LS out 0 {" + std::string(kPrimary) + "*8/" + impedance + "}",
            "KOT LP LS 1", "RSP out 0 8"};
}

// The push-pull output transformer: the supply vb on the centre tap, the halves LP1 (to a1m) and LP2
// (to a2m) in series aiding from anode to anode, the secondary LS with the loudspeaker at "out", sized
// so that the whole primary shows Zaa.
std::vector<std::string> pushPullTransformer() {
    const std::string half = "{" + std::string(kPrimary) + "/4}";
    return {"LP1 a1m vb " + half, "LP2 vb a2m " + half, "LS out 0 {" + std::string(kPrimary) + "*8/EdZaa}",
            "K12 LP1 LP2 1",      "K1S LP1 LS 1",       "K2S LP2 LS 1",
            "RSP out 0 8"};
}

// Tube n's anode fed from a<n>m through VIA<n>, and its n - 1 companions in parallel: a source copying
// its anode current from a<n>m to `cathode`.
std::vector<std::string> anodeFeed(int tube, const std::string& cathode) {
    const std::string t = std::to_string(tube);
    return {"VIA" + t + " a" + t + "m a" + t + " 0",
            "FT" + t + " a" + t + "m " + cathode + " VIA" + t + " {LBparallel-1}",
            "CSA" + t + " a" + t + " 0 {S}"};
}

// Tube n's screen fed from `supply` through VIS<n>, with the screen currents of its companions.
std::vector<std::string> screenFeed(int tube, const std::string& supply, const std::string& cathode) {
    const std::string t = std::to_string(tube);
    return {"VIS" + t + " " + supply + " s" + t + " 0",
            "FS" + t + " " + supply + " " + cathode + " VIS" + t + " {LBparallel-1}"};
}

// What a power stage's netlist takes that the sheet does not say.
std::string powerNote(bool cathodeCapacitor) {
    return std::string("n tubes in parallel are one tube and sources copying its currents (LBparallel); ") +
           "Cin 1 uF, Rg 220 kohm" + (cathodeCapacitor ? " and Ck 1000 uF (fully decoupled)" : "") +
           " have no fields; the output transformer is ideal (100 H primary, coupling 1, 8 ohm loudspeaker) "
           "and its yield is not in the netlist.";
}

} // namespace

std::vector<CircuitNetlist> regulatorPowerNetlists() {
    return {
        {16,
         {"in: the AC test source VIN; vb: supply Vb; g1: T1's grid (Vg1), fed by R1 and pulled down by T2's "
          "anode",
          "out: the output Vo, T1's cathode, loaded by Io; g2: T2's grid on the divider R3/R4 (Vg2)",
          "vref: the reference Vref at T2's cathode, fed by R2 from the output"},
         {"VB vb 0 DC {EdVb}", "VIA1 vb a1 0", "XT1 a1 g1 out @LBtube1", "R1 vb g1 {EdR1}", "VIA2 g1 a2 0",
          "XT2 a2 g2 vref @LBtube2", "R3 out g2 {EdR3}", "R4 g2 0 {EdR4}", "R2 out vref {EdR2}",
          "VREF vref 0 DC {EdVref}", "IO out 0 DC {EdIo}", "VIN in 0 DC 0 AC 1", "GIN out 0 in 0 1"},
         "out",
         "The reference is an ideal source. " + kImpedanceNote},
        {17,
         {"in: the AC test source VIN; vb: supply Vb; vref: the reference Vref, fed by R, on T1's grid",
          "out: the output Vo, T1's cathode, loaded by Io"},
         {"VB vb 0 DC {EdVb}", "R vb vref {EdR}", "VREF vref 0 DC {EdVref}", "VIA1 vb a1 0",
          "XT1 a1 vref out @LBtube", "IO out 0 DC {EdIo}", "VIN in 0 DC 0 AC 1", "GIN out 0 in 0 1"},
         "out",
         "The reference is an ideal source. " + kImpedanceNote},
        {18,
         {"in: the AC test source VIN; vb: supply Vb; out: the output Vo after R1, loaded by Io; a1: T1's "
          "anode on the output",
          "g1: T1's grid on the divider R2/R3 (Vg); vref: the reference Vref at T1's cathode"},
         {"VB vb 0 DC {EdVb}", "R1 vb out {EdR1}", "VIA1 out a1 0", "XT1 a1 g1 vref @LBtube",
          "VREF vref 0 DC {EdVref}", "R2 out g1 {EdR2}", "R3 g1 0 {EdR3}", "IO out 0 DC {EdIo}",
          "VIN in 0 DC 0 AC 1", "GIN out 0 in 0 1"},
         "out",
         "The reference is an ideal source. " + kImpedanceNote},
        {25,
         {"in: the anode supply Va; a1: T1's anode; ia: T1's anode current (1 V per A); g1: T1's grid at Vg; "
          "k1: T1's cathode on Rk (Vk)"},
         {"VIN in 0 DC {EdVa} AC 1", "VIA1 in a1 0", "XT1 a1 g1 k1 @LBtube", "VG g1 0 DC {EdVg}",
          "RK k1 0 {EdRk}", "HIA ia 0 VIA1 1"},
         "ia",
         "The anode supply Va is the AC source; ia is the anode current at 1 V per ampere, so v(in)/v(ia) "
         "of the AC analysis is the sink's impedance."},
        {27,
         {"in: the AC test source VIN; vb: supply Vb; out: the output Vo after Ra, loaded by Io; g2: T2's "
          "grid on the divider R1/R2 "
          "(Vg2)",
          "a2: T2's anode on the output; k2: T2's cathode; a1: T1's anode (Va1), T1's grid is grounded",
          "k1: T1's cathode on Rk (Vk)"},
         {"VB vb 0 DC {EdVb}", "RA vb out {EdRa}", "R1 out g2 {EdR1}", "R2 g2 0 {EdR2}", "VIA2 out a2 0",
          "XT2 a2 g2 k2 @LBtube", "VIA1 k2 a1 0", "XT1 a1 0 k1 @LBtube", "RK k1 0 {EdRk}",
          "IO out 0 DC {EdIo}", "VIN in 0 DC 0 AC 1", "GIN out 0 in 0 1"},
         "out",
         kImpedanceNote},
        {37,
         {"in: input; g1: T1's grid after Cin, held at Vg through Rg (vg); vb: supply V",
          "p: between Rp and the primary; a1: T1's anode (Va); k1: T1's cathode on Rk (Vk)",
          "out: the secondary, on the loudspeaker"},
         joinLines({singleEndedDrive("vg"),
                    {"VG vg 0 DC {EdVg}", "VB vb 0 DC {EdVb}", "RP vb p {EdRp}"},
                    singleEndedTransformer("p", "EdRa"),
                    anodeFeed(1, "k1"),
                    {"XT1 a1 g1 k1 @LBtube", "RK k1 0 {EdRk}", "CK k1 0 1000u", "CSK1 k1 0 {S}"}}),
         "out",
         powerNote(true)},
        {38,
         {"in: input; g1: T1's control grid after Cin, held at Vg through Rg (vg); vb: supply V",
          "p: between Rp and the primary; a1: T1's anode (Va); vs: the screen supply Vg2; s1: T1's screen",
          "k1: T1's cathode on Rk (Vk); out: the secondary, on the loudspeaker"},
         joinLines({singleEndedDrive("vg"),
                    {"VG vg 0 DC {EdVg}", "VB vb 0 DC {EdVb}", "RP vb p {EdRp}", "VG2 vs 0 DC {EdVg2}"},
                    singleEndedTransformer("p", "EdRa"),
                    anodeFeed(1, "k1"),
                    screenFeed(1, "vs", "k1"),
                    {"XT1 a1 g1 s1 k1 @LBtube", "RK k1 0 {EdRk}", "CK k1 0 1000u", "CSK1 k1 0 {S}"}}),
         "out",
         powerNote(true)},
        {39,
         {"in, inn: the drive (AC swing + and -); g1, g2: the grids after Cin1, Cin2, returning through Rg1, "
          "Rg2",
          "vb: supply V on the centre tap; a1, a2: the anodes; k: the joined cathodes on Rk (Vk)",
          "out: the secondary, on the loudspeaker"},
         joinLines({pushPullDrive("0"),
                    {"VB vb 0 DC {EdVb}"},
                    pushPullTransformer(),
                    anodeFeed(1, "k"),
                    anodeFeed(2, "k"),
                    {"XT1 a1 g1 k @LBtube", "XT2 a2 g2 k @LBtube", "RK k 0 {EdRk}", "CK k 0 1000u",
                     "CSK k 0 {S}"}}),
         "out",
         powerNote(true)},
        {40,
         {"in, inn: the drive (AC swing + and -); g1, g2: the control grids after Cin1, Cin2, returning "
          "through Rg1, Rg2",
          "vb: supply V on the centre tap; a1, a2: the anodes; ve: the screen supply Ve; s1, s2: the screens",
          "k: the joined cathodes on Rk (Vk); out: the secondary, on the loudspeaker"},
         joinLines({pushPullDrive("0"),
                    {"VB vb 0 DC {EdVb}", "VE ve 0 DC {EdVe}"},
                    pushPullTransformer(),
                    anodeFeed(1, "k"),
                    anodeFeed(2, "k"),
                    screenFeed(1, "ve", "k"),
                    screenFeed(2, "ve", "k"),
                    {"XT1 a1 g1 s1 k @LBtube", "XT2 a2 g2 s2 k @LBtube", "RK k 0 {EdRk}", "CK k 0 1000u",
                     "CSK k 0 {S}"}}),
         "out",
         powerNote(true)},
        {41,
         {"in, inn: the drive (AC swing + and -); g1, g2: the grids after Cin1, Cin2, returning through Rg1, "
          "Rg2 to the bias supply Vg (vg)",
          "vb: supply V on the centre tap; a1, a2: the anodes; the cathodes are grounded",
          "out: the secondary, on the loudspeaker"},
         joinLines({pushPullDrive("vg"),
                    {"VG vg 0 DC {EdVg}", "VB vb 0 DC {EdVb}"},
                    pushPullTransformer(),
                    anodeFeed(1, "0"),
                    anodeFeed(2, "0"),
                    {"XT1 a1 g1 0 @LBtube", "XT2 a2 g2 0 @LBtube"}}),
         "out",
         powerNote(false)},
        {42,
         {"in, inn: the drive (AC swing + and -); g1, g2: the control grids after Cin1, Cin2, returning "
          "through Rg1, Rg2 to the bias supply Vg (vg)",
          "vb: supply V on the centre tap; a1, a2: the anodes; ve: the screen supply Ve; s1, s2: the screens",
          "the cathodes are grounded; out: the secondary, on the loudspeaker"},
         joinLines({pushPullDrive("vg"),
                    {"VG vg 0 DC {EdVg}", "VB vb 0 DC {EdVb}", "VE ve 0 DC {EdVe}"},
                    pushPullTransformer(),
                    anodeFeed(1, "0"),
                    anodeFeed(2, "0"),
                    screenFeed(1, "ve", "0"),
                    screenFeed(2, "ve", "0"),
                    {"XT1 a1 g1 s1 0 @LBtube", "XT2 a2 g2 s2 0 @LBtube"}}),
         "out",
         powerNote(false)},
    };
}
