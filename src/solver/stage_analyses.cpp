// Single-tube stage analyses (common cathode, cathode follower, cathodyne), the gain helpers and
// the tube parameter line shared by every block.
#include "solver/stage_analyses.h"

#include "markup/formatters.h"
#include "solver/report_pieces.h"
#include "util/format.h"

#include <cmath>

double parallelR(double x, double y) {
    const double sum = x + y;
    return sum == 0 ? 0 : x * y / sum;
}

double gainCommonCathode(const TTube& T, double RL) {
    const double ro = T.getRo();
    const double mu = T.getMu();
    return -mu * RL / (ro + RL);
}

double gainUnbypassed(const TTube& T, double Rk, double RL) {
    const double ro = T.getRo();
    const double mu = T.getMu();
    return -mu * RL / (ro + RL + (mu + 1) * Rk);
}

double gainFollower(const TTube& T, double RL) {
    const double ro = T.getRo();
    const double mu = T.getMu();
    return mu * RL / (RL * (mu + 1) + ro);
}

CommonCathodeGains commonCathodeStage(TTube& T, double Ra, double Rk, double Ro) {
    CommonCathodeGains g;
    T.calculerParamètresIntrinsèques();
    std::string& s = g.text;
    s = strFormat("<br><b>%s %s</b>", T.Reference().c_str(), T.ModelName().c_str());
    s += tubeParameterLine(T, true);

    const double RL = parallelR(Ra, Ro);
    s += "<br>  " + fmtResistance("AC load ", 0, RL);

    s += "<br><br>  * if BYpassed cathode resistor:";
    g.bypassed = gainCommonCathode(T, RL);
    s += "<br>    " + fmtAmplification("gain ", 1, g.bypassed) + dbTail("   ", 1, g.bypassed);
    s += "<br>    " + fmtResistance("output impedance ", 0, parallelR(Ra, T.ρ()));

    s += "<br><br>  * if UNbypassed cathode resistor:";
    g.unbypassed = gainUnbypassed(T, Rk, RL);
    s += "<br>    " + fmtAmplification("gain ", 1, g.unbypassed) + dbTail("  ", 1, g.unbypassed);
    s += "<br>    " + fmtResistance("output impedance ", 0, parallelR(Ra, T.ρ() + (T.µ() + 1) * Rk));
    return g;
}

FollowerFigures cathodeFollowerStage(TTube& T, double Ro, double Rk) {
    FollowerFigures f;
    T.calculerParamètresIntrinsèques();
    std::string& s = f.text;
    s = strFormat("<br><br><b>%s %s</b>", T.Reference().c_str(), T.ModelName().c_str());
    s += tubeParameterLine(T, false);
    s += "<br>  " + fmtResistance("Output load      ", 0, Ro);

    const double RL = parallelR(Ro, Rk);
    f.gain = gainFollower(T, RL);
    s += "<br>  " + fmtAmplification("Voltage gain     ", 2, f.gain) + dbTail("  ", 2, f.gain);

    f.zout = 1 / (1 / Rk + 1 / T.ρ() + T.gm());
    s += "<br>  " + fmtResistance("Output impedance ", 0, f.zout);
    return f;
}

namespace {

// "<br>label gain or xdB"; a zero gain has no dB figure.
std::string gainLine(const char* label, double gain) {
    return "<br>" + fmtAmplification(label, 2, gain) + dbTail(" or ", 1, gain);
}

} // namespace

CathodyneGains cathodyneStage(TTube& T, double Ra, double Rao, double Rk, double Rko) {
    CathodyneGains g;
    T.calculerParamètresIntrinsèques();
    g.text = strFormat("%s %s", T.Reference().c_str(), T.ModelName().c_str());
    g.text += tubeParameterLine(T, false);

    const double mu = T.µ(), ro = T.ρ();
    const double RLa = parallelR(Ra, Rao);
    const double RLk = parallelR(Rk, Rko);
    const double D = RLk * (mu + 1) + RLa + ro;
    g.anode = RLa == 0 ? 0.0 : -mu * RLa / D; // no "-0.00" for a zero anode load
    g.cathode = mu * RLk / D;

    g.text += gainLine("Voltage gain on anode   ", g.anode);
    g.text += gainLine("Voltage gain on cathode  ", g.cathode);
    return g;
}
