// TTube: one tube of a circuit, the NK (Koren) triode and pentode equations, their small-signal
// derivatives, load-line helpers, inversions and the single-tube bias solvers.
#pragma once

#include "model/convergence.h"
#include "model/tube_params.h"

#include <cmath>
#include <functional>
#include <memory>
#include <string>

class TTube {
public:
    TTube(const TubeParams& params, std::string reference);

    // Identity and model constants.
    const std::string& Reference() const { return FReference; }
    const std::string& ModelName() const { return FName; }
    int t35() const { return FT35; }
    std::string getType() const;
    double kp() const { return Fkp; }
    double mu() const { return Fmu; }
    double kvb() const { return Fkvb; }
    double Ex() const { return FEx; }
    double Kg1() const { return FKg1; }
    double Kg2() const { return FKg2; }
    double Iamax() const { return FIamax; }
    double Pamax() const { return FPamax; }
    double Vamax() const { return FVamax; }
    double Pemax() const { return FPemax; }
    double Vemax() const { return FVemax; }
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

    // Equations; each writes the operating-point fields.
    void CalculerNK(double Vak, double Vgk, double& Ia, int parallel = 1);
    double CalculerNKpentode(double Vak, double Vgk, double Vek, int parallel = 1);
    double CalculerEcranPentode(double Vgk, double Vek);
    double getMaxCurrent(double Vak);
    bool checkOP(double Vak, double Vgk, double Ia, double Vsk, int parallel = 1);
    // Kind-dispatched current: triode or pentode equation, or 0 for an unknown kind.
    double current(double Vgk, double Vak, double Vsk, int parallel = 1);
    // The pentode equation in two factors, for sweeps of the anode at a fixed grid and screen: one
    // tube's anode current is pentodeAnode(pentodeGrid(Vgk, Vek), Vak), as CalculerNKpentode gives it.
    struct PentodeGrid {
        bool conducts = false;
        double factor = 0; // 2·E1^Ex / Kg1
    };
    PentodeGrid pentodeGrid(double Vgk, double Vek) const;
    double pentodeAnode(const PentodeGrid& grid, double Vak) const {
        return grid.conducts ? grid.factor * std::atan(Vak / Fkvb) : 0;
    }

    // Small-signal parameters.
    void calculerParamètresIntrinsèques();
    double getGm();
    double getRo();
    double getMu();
    double getGm(double Va, double Vg, double Vs);
    double getRo(double Va, double Vg, double Vs);
    double getMu(double Va, double Vg, double Vs);

    // Load line and inversions.
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

    double Fkp, Fmu, Fkvb, FEx, FKg1, FKg2;
    double FIamax, FPamax, FVamax, FPemax, FVemax;
    double FIa = 0, FVak = 0, FVgk = 0, FVek = 0, FIe = 0;
    double Fµ = 0, Fgm = 0, Fρ = 0;
    double FCgk, FCga, FCak;
    std::string FReference;
    std::string FName;
    int FT35;
};

// Builds the tube of a model name for a circuit slot; a name no row carries gives a tube of kind 0.
using TubeFactory =
    std::function<std::unique_ptr<TTube>(const std::string& model, const std::string& reference)>;
