// TTube: one tube of a circuit with its operating point: the NK (Koren) equations of
// model/tube_equations evaluated there, their small-signal derivatives, load-line helpers,
// inversions and the single-tube bias solvers.
#pragma once

#include "model/convergence.h"
#include "model/tube_equations.h"
#include "model/tube_params.h"

#include <functional>
#include <memory>
#include <string>

class TTube {
public:
    TTube(const TubeParams& params, std::string reference);

    // Identity and model constants.
    const std::string& Reference() const { return FReference; }
    const std::string& ModelName() const { return FName; }
    // The constants the pure equation functions take.
    const TubeConstants& constants() const { return FC; }
    int t35() const { return FC.t35; }
    std::string getType() const;
    double kp() const { return FC.kp; }
    double mu() const { return FC.mu; }
    double kvb() const { return FC.kvb; }
    double Ex() const { return FC.ex; }
    double Kg1() const { return FC.kg1; }
    double Kg2() const { return FC.kg2; }
    double Iamax() const { return FC.Iamax; }
    double Pamax() const { return FC.Pamax; }
    double Vamax() const { return FC.Vamax; }
    double Pemax() const { return FC.Pemax; }
    double Vemax() const { return FC.Vemax; }
    double Cgk() const { return FCgk; }
    double Cga() const { return FCga; }
    double Cak() const { return FCak; }

    // Operating point of the last evaluation and the small-signal parameters derived there.
    double Ia() const { return FIa; }
    double Vak() const { return FVak; }
    double Vgk() const { return FVgk; }
    double Vek() const { return FVek; }
    double Ie() const { return FIe; }
    double µ() const { return Fµ; }
    double gm() const { return Fgm; }
    double ρ() const { return Fρ; }

    void CopyOperatingMode(TTube& T) const;

    // Equations; each writes the operating-point fields (nkCurrent and its kin evaluate without).
    void CalculerNK(double Vak, double Vgk, double& Ia, int parallel = 1);
    double CalculerNKpentode(double Vak, double Vgk, double Vek, int parallel = 1);
    double CalculerEcranPentode(double Vgk, double Vek);
    double getMaxCurrent(double Vak);
    bool checkOP(double Vak, double Vgk, double Ia, double Vsk, int parallel = 1);
    // Kind-dispatched current: triode or pentode equation, or 0 for an unknown kind.
    double current(double Vgk, double Vak, double Vsk, int parallel = 1);
    // The pentode equation in two factors, for sweeps of the anode at a fixed grid and screen: one
    // tube's anode current is pentodeAnode(pentodeGrid(Vgk, Vek), Vak), as CalculerNKpentode gives it.
    using PentodeGrid = ::PentodeGrid;
    PentodeGrid pentodeGrid(double Vgk, double Vek) const { return nkPentodeGrid(FC, Vgk, Vek); }
    double pentodeAnode(const PentodeGrid& grid, double Vak) const { return nkPentodeAnode(FC, grid, Vak); }

    // Small-signal parameters: calculerParamètresIntrinsèques stores ρ, gm and µ of the operating
    // point; the triode getters without arguments read them afresh there and change nothing; those with
    // voltages leave the operating point at their last evaluation.
    void calculerParamètresIntrinsèques();
    double getGm() const { return nkTriodeGm(FC, FVak, FVgk); }
    double getRo() const { return nkTriodeRo(FC, FVak, FVgk); }
    double getMu() const { return getRo() * getGm(); }
    double getGm(double Va, double Vg, double Vs);
    double getRo(double Va, double Vg, double Vs);
    double getMu(double Va, double Vg, double Vs);

    // Load line and inversions; each leaves the operating point at its last evaluation.
    bool LoadLineNullVgk(double Vb, double sumR, double& Vakmin, double& Iamax);
    bool loadLineOK(double VB, double sumR, double Vakmin, double Iamax) const;
    double whichVg(double Ia, double Va, double Vs);
    double whichVgOld(double Ia, double Va, double Vs, double vgstart);
    double whichVa(double Ia, double Vg, double Vs);

    // Single-tube bias solvers (grid, cathode and anode resistors around one triode).
    double basicBiasSuccApprox(double Vb, double Ra, double Rk, TFormConvergence* FormConvergence = nullptr);
    int basicBiasPoints(double Vb, double Ra, double Rk, double& Vak, double& Vgk, double& Ia,
                        TFormConvergence* FormConvergence = nullptr);
    int gridBiasPoints(double Vb, double Ra, double Rk, double Vg, double& Vak, double& Vgk, double& Ia,
                       TFormConvergence* FormConvergence = nullptr);
    std::string gridFixedBiasDephaseur(double Vb, double Vg, double Ra, double Rk,
                                       TFormConvergence* FormConvergence = nullptr);
    std::string basicFollower(double Vb, double Vg, double Rk, TFormConvergence* FormConvergence = nullptr);

    // Quiescent-state report block for npar identical tubes in parallel.
    std::string displayOP(int npar = 1) const;

    // Writes the trace title "C%d - ref model - n iter. Res ±xµA Ia a=>bmA".
    void titleTrace(TFormConvergence* trace, int count, double tolerance, double start) const;

private:
    double triode(double Vgk, double Vak) {
        double ia;
        CalculerNK(Vak, Vgk, ia, 1);
        return ia;
    }

    TubeConstants FC;
    double FIa = 0, FVak = 0, FVgk = 0, FVek = 0, FIe = 0;
    double Fµ = 0, Fgm = 0, Fρ = 0;
    double FCgk, FCga, FCak;
    std::string FReference;
    std::string FName;
};

// Builds the tube of a model name for a circuit slot; a name no row carries gives a tube of kind 0.
using TubeFactory =
    std::function<std::unique_ptr<TTube>(const std::string& model, const std::string& reference)>;
