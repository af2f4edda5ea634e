// TQuadripole: one passive network or tube stage of a circuit's signal chain, with its node
// capacitances, its gain(s) and input impedance at one frequency: as magnitudes (the classic
// arithmetic) or as complex values (the phase-exact evaluation of the same network).
#pragma once

#include "model/tube.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

// The numbers are fixed: solvers and the per-stage table rely on them.
enum TTypeQuadripole : std::uint8_t {
    tqpInputGrid = 0,
    tqpOutputLoad = 1,
    tqpLevelShifter = 2,
    tqpInterStage = 3,
    tqpTubeCatCom = 4,
    tqpTubeCatFol = 5,
    tqpTubeGriCom = 6,
    tqpTubeAnoCom = 7,
    tqpTubePullUpDn = 8,
    tqpTubeCathodyne = 9,
    tqpTubeDifférentiel = 10,
    tqpTubeMixer = 11,
};

using TArrayDouble = std::vector<double>;
struct TNewGain {
    TArrayDouble gains;
};
using TNewGains = std::vector<TNewGain>;

// A coupling or grid capacitance read as 0 from a sheet becomes 1 pF: the formulas divide by it.
inline double nonZeroCapacitance(double c) {
    return c == 0 ? 1e-12 : c;
}

// "Type" text of a kind in the per-stage table ("RC-in", "Cat-com", ...; empty for the mixer).
std::string quadripoleTypeText(TTypeQuadripole kind);
// Number of outputs of a kind: 2 for the cathodyne and the differential pair, else 1.
int quadripoleOutputs(TTypeQuadripole kind);
// True for the kinds whose main output is in opposite phase to their input (common cathode,
// cathodyne anode, driven side of the differential pair, mixer).
bool quadripoleInverts(TTypeQuadripole kind);

class TQuadripole {
public:
    // parms: the kind's components in order, the stray capacitance unit S last. The differential
    // kind may take Rkg and Rg after Ra1, Ra2, Rk: the cathodes reach the tail Rk through Rkg (kept in
    // Rgk) and both grid resistors Rg return to the junction, T2's grid being at AC ground; the
    // phase-exact evaluation reads them, the magnitudes do not.
    // switches: ignoreBootstrap first; C1Shunted (input grid) or Ckconnected (common cathode,
    // mixer) second; R2Returned (input grid) third. A missing second switch means C1 not shunted and
    // Ck connected.
    // T is not owned and must outlive every evaluation; kinds 0-3 take none (nullptr).
    TQuadripole(TTypeQuadripole nature, const TTube* T, std::vector<int> aval,
                const std::vector<double>& parms, const std::vector<bool>& switches);

    // parms = [f] (output load), [f, L1] (single output) or [f, L1, L2] (two outputs), where L
    // is the input impedance of the two-port on that output. switches are not read: the flags
    // given at construction apply. Sets the gain fields, then the input impedance for f.
    void getVarGains(const std::vector<double>& parms, const std::vector<bool>& switches, double& g0,
                     double& g1);
    void getVarGains(const std::vector<double>& parms, double& g0, double& g1) {
        getVarGains(parms, {}, g0, g1);
    }

    // Input impedance at a frequency for the given external load; reads the last gain(s).
    void setZinQuadripole(double fréquence, double LoadExterne);

    // Phase-exact evaluation of the same network at f: L1, L2 are the complex input impedances of
    // the two-ports on the outputs (infinite when open). Sets exactAv0 (and exactAv1 for two
    // outputs) with their signs, then exactZin. The common-cathode, grounded-grid (unless the effects
    // are ignored) and differential stages are solved node by node with the tube's three capacitances
    // between its pins; the Miller term is (1 - Av) Cga.
    void getExactGains(double f, std::complex<double> L1, std::complex<double> L2);

    TTypeQuadripole Nature() const { return tqp; }
    double ZinQPMémorisé() const { return ZinQuadripole; }
    double GainQPMémorisé() const { return gainQuadripole; }
    double Av0() const { return FAv0; }
    double Av1() const { return Fav1; }
    double Zi() const { return FZi; }
    int outputs() const { return quadripoleOutputs(tqp); }
    std::string typeText() const { return quadripoleTypeText(tqp); }

    TTypeQuadripole tqp;
    double R1 = 0, C1 = 0, R2 = 0, C2 = 0, R3 = 0, C3 = 0;
    double Ca = 0;
    double Cs = 0;
    double Ro = 0, Co = 0;
    double Rg = 0;
    double Rgs = 0, Cgs = 0;
    // Series resistance of the output load; for the cathode follower, the optional resistor after
    // Rk in parms, from the cathode to the output node (0 when absent).
    double Rs = 0;
    double Ra = 0, Rk = 0, Ck = 0;
    double Rgk = 0; // the cathodyne's bias resistor; the differential pair's Rkg (below)
    double Ra1 = 0, Ra2 = 0;
    double Cpin = 0;
    double Cpou = 0;
    double gainQuadripole = 0;
    double ZinQuadripole = 0;
    bool Ckconnected = true;
    bool C1Shunted = false;
    // Input network: R2 returns to a node of the stage it drives (the differential pair's grid return),
    // and that stage counts it in its input impedance. Read by the phase-exact evaluation only; the
    // magnitudes keep R2 to ground.
    bool R2Returned = false;
    const TTube* Tube = nullptr;
    bool ignoreBootstrap = false;
    double FAv0 = 0;
    double Fav1 = 0;
    double FZi = 0;
    double FAvk = 0; // cathode follower: gain to the cathode, which bootstraps Cgk
    std::vector<int> Faval;
    TNewGains Gains;
    std::complex<double> exactAv0 = 0, exactAv1 = 0, exactZin = 0; // last phase-exact evaluation

private:
    // Small-signal values of the tube at its operating point (0 without a tube).
    double mu() const { return Tube ? Tube->µ() : 0; }
    double gm() const { return Tube ? Tube->gm() : 0; }
    // A follower whose anode returns through Ra (C8's upper tube) acts as a tube of plate resistance
    // ρ + Ra and the same µ: its transconductance is gm·ρ/(ρ + Ra). 1 without Ra.
    double anodeShare() const { return Ra > 0 ? rho() / (rho() + Ra) : 1.0; }
    double rho() const { return Tube ? Tube->ρ() : 0; }
    double cgk() const { return Tube ? Tube->Cgk() : 0; }
    double cga() const { return Tube ? Tube->Cga() : 0; }
    double cak() const { return Tube ? Tube->Cak() : 0; }

    void setNodeCapacitances(double S);
    // The cathode impedance of the common-cathode and mixer kinds.
    double cathodeImpedance(double w) const;
    std::complex<double> exactCathodeImpedance(double w) const;
    std::complex<double> exactInputImpedance(double w, std::complex<double> L, std::complex<double> g0,
                                             std::complex<double> g1, std::complex<double> follow) const;
    // The differential pair solved node by node: sets exactAv0, exactAv1 and exactZin.
    void exactDifferential(double w, std::complex<double> L1, std::complex<double> L2);
    // The grounded-grid stage solved node by node: sets exactAv0 and exactZin.
    void exactGroundedGrid(double w, std::complex<double> L1);
};
