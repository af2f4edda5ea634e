// Two-tube stage analyses: SRPP, cascode, half-µ follower, follower with current sink and the
// gains of a differential pair.
#include "markup/formatters.h"
#include "solver/report_pieces.h"
#include "solver/stage_analyses.h"
#include "util/format.h"

#include <cmath>

namespace {

// "<br>ref model" followed by the tube's parameter line.
std::string tubeTitle(const TTube& T) {
    return strFormat("<br>%s %s", T.Reference().c_str(), T.ModelName().c_str()) + tubeParameterLine(T, false);
}

// "<br>    label gain or xdB" with the dB of |gain|.
std::string gainLine(const char* prefix, const char* label, int n, double gain) {
    return prefix + fmtAmplification(label, n, gain) + dbTail(" or ", 1, gain);
}

} // namespace

SrppFigures srppOptimisedStage(TTube& T1, TTube& T2, double Ro, double Ra, double Rk2, double Rk1) {
    SrppFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();

    std::string& s = f.text;
    s = "<br><b>SRPP optimised, after Quellbrook</b>" + tubeTitle(T1) + tubeTitle(T2);
    s += "<br>" + fmtResistance("Output load ", 0, Ro);

    s += "<br><br>  * If Rk1 bypassed:</P>";
    const double upper = Ra + ro2; // the upper tube's anode branch
    f.gainBypassed =
        -mu1 * Ro * (upper + mu2 * Rk2) / (Ro * (upper + ro1 + (mu2 + 1) * Rk2) + (Rk2 + ro1) * upper);
    s += gainLine("<br>    ", "Voltage gain    ", 1, f.gainBypassed);
    f.zoutBypassed = upper * (Rk2 + ro1) / (upper + ro1 + (mu2 + 1) * Rk2);
    s += "<br>" + fmtResistance("Output impedance ", 0, f.zoutBypassed);

    s += "<br><br>  * If Rk1 UNbypassed:";
    const double K1 = (mu1 + 1) * Rk1;
    f.gainUnbypassed = -mu1 * Ro * (upper + mu2 * Rk2) /
                       (Ro * (K1 + upper + ro1 + (mu2 + 1) * Rk2) + (K1 + Rk2 + ro1) * upper);
    s += gainLine("<br>    ", "Voltage gain    ", 1, f.gainUnbypassed);
    const double M = (Rk2 + Rk1) / 2, N = (ro1 + ro2) / 2, O = (mu1 + mu2) / 2 + 2;
    f.zoutUnbypassed = (M + N) * (N + M * O) / (2 * O * M + 2 * N);
    s += "<br>" + fmtResistance("Output impedance (if Rk1=Rk2)", 0, f.zoutUnbypassed);
    return f;
}

CascodeFigures cascodeStage(TTube& T1, TTube& T2, double Rk, double Ro, double Ra) {
    CascodeFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();

    std::string& s = f.text;
    s = tubeTitle(T1) + tubeTitle(T2);
    const double RL = parallelR(Ra, Ro);
    // The lower tube's ρ1 is multiplied by (µ2 + 1) when seen from the anode, as in the output
    // impedance; so the overall gain equals the T2-anode gain of the two-step estimate below.
    f.gain = -mu1 * (mu2 + 1) * RL / (RL + ro2 + (mu2 + 1) * ro1);
    s += gainLine("<br><br>", "Voltage gain on anode ", 0, f.gain);
    f.zout = parallelR(RL, ro2 + (mu2 + 1) * ro1);
    s += "<br>" + fmtResistance("Output impedance ", 0, f.zout);
    const double Lload = (RL + ro2) / (mu2 + 1); // T2's cathode as T1's anode load
    s += "<br>" + fmtResistance("Anode load caused by T2  ", 0, Lload);

    const auto stageGains = [&](double g1) {
        const double g2 = g1 * RL * (mu2 + 1) / (RL + ro2);
        return gainLine("<br>    ", "Voltage gain on T1 anode ", 1, g1) +
               gainLine("<br>    ", "Voltage gain on T2 anode ", 0, g2);
    };
    s += "<br><br>  BYpassed cathode resistor Rk:";
    s += stageGains(mu1 * Lload / (Lload + ro1));
    s += "<br><br>  UNbypassed cathode resistor Rk:</P>";
    s += stageGains(mu1 * Lload / ((mu1 + 1) * Rk + Lload + ro1));
    return f;
}

HalfMuFigures halfMuStage(TTube& T1, TTube& T2, double R2, double R1) {
    HalfMuFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();

    std::string& s = f.text;
    s = strFormat("<br><b>Stage (half-µ follower) %s (%s) %s (%s)</b>", T1.Reference().c_str(),
                  T1.ModelName().c_str(), T2.Reference().c_str(), T2.ModelName().c_str());
    s += tubeTitle(T1) + tubeTitle(T2);

    f.gainBypassed = -mu1 * ro2 / (ro2 + ro1);
    f.gainUnbypassed = -mu1 * (ro2 + (mu2 + 1) * R2) / (ro2 + (mu1 + 1) * R1 + ro1 + (mu2 + 1) * R2);
    f.zoutBypassed = (ro1 + ro2) / 4;
    f.zoutUnbypassed = (mu1 + mu2) * R1 / 8 + f.zoutBypassed;
    f.load2 = ro2 + (mu2 + 1) * R2;

    s += "<br>BYpassed cathode resistors:";
    s += gainLine("<br>    ", "Voltage gain ", 1, f.gainBypassed);
    s += "<br>" + fmtResistance("Output impedance ", 0, f.zoutBypassed);
    s += "<br><br>UNbypassed cathode resistors:";
    s += gainLine("<br>    ", "Voltage gain ", 1, f.gainUnbypassed);
    s += "<br>" + fmtResistance("Output impedance ", 0, f.zoutUnbypassed);
    s += "<br><br>" + fmtResistance("Load presented by " + T2.Reference() + " ", 0, f.load2) + "<br>";
    return f;
}

FollowerFigures followerWithSinkStage(TTube& T1, TTube& T2, double Ro, double Rs, double R1) {
    FollowerFigures f;
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();

    std::string& s = f.text;
    s = strFormat("<br><b>Cathode-follower and current sink %s (%s) %s (%s)</b>", T1.Reference().c_str(),
                  T1.ModelName().c_str(), T2.Reference().c_str(), T2.ModelName().c_str());
    s += tubeTitle(T1) + tubeTitle(T2);

    const double Zsink = ro1 + (mu1 + 1) * R1;
    const double RL = parallelR(Zsink, Ro);
    f.gain = mu2 * RL / ((RL + Rs) * (mu2 + 1) + ro2);
    f.zout = parallelR(Zsink, Rs + ro2 / (mu2 + 1));

    s += strFormat("<br>Impedance presented by %s %s", T1.Reference().c_str(),
                   fmtResistance("", 0, Zsink).c_str());
    s += "<br>" + fmtAmplification("Voltage gain     ", 2, f.gain) + dbTail("   ", 1, f.gain);
    s += "<br>" + fmtResistance("Output impedance ", 0, f.zout);
    return f;
}

DifferentialGains differentialPairGains(TTube& T1, TTube& T2, double Rk, double RL2, double RL1) {
    T1.calculerParamètresIntrinsèques();
    T2.calculerParamètresIntrinsèques();
    const double mu1 = T1.µ(), ro1 = T1.ρ(), mu2 = T2.µ(), ro2 = T2.ρ();

    const double P1 = RL1 + ro1 + (mu1 + 1) * Rk;
    const double P2 = RL2 + ro2 + (mu2 + 1) * Rk;
    const double H = P1 * P2 - (mu1 + 1) * (mu2 + 1) * Rk * Rk;
    DifferentialGains g;
    g.anode1 = -mu1 * RL1 * P2 / H;
    // The signal enters at T1's grid, so T2's anode gain carries µ1 (the two are equal in a
    // matched pair).
    g.anode2 = mu1 * (mu2 + 1) * RL2 * Rk / H;
    g.differential = std::fabs(g.anode1) + g.anode2;
    return g;
}
