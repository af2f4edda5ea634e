// Construction of the two-ports: components read from the parameter list, the switches and the
// stray and tube capacitances of the input and output nodes.
#include "frequency/quadripole.h"

#include <utility>

std::string quadripoleTypeText(TTypeQuadripole kind) {
    switch (kind) {
    case tqpInputGrid:
        return "RC-in";
    case tqpOutputLoad:
        return "RC-out";
    case tqpLevelShifter:
        return "RC-LevShi";
    case tqpInterStage:
        return "RC-inter";
    case tqpTubeCatCom:
        return "Cat-com";
    case tqpTubeCatFol:
        return "Cat-fol";
    case tqpTubeGriCom:
        return "Gri-com";
    case tqpTubeAnoCom:
        return "Ano-com";
    case tqpTubePullUpDn:
        return "Pull UpDn";
    case tqpTubeCathodyne:
        return "Cathodyne";
    case tqpTubeDifférentiel:
        return "Differen.";
    case tqpTubeMixer:
        return "";
    }
    return "";
}

int quadripoleOutputs(TTypeQuadripole kind) {
    return kind == tqpTubeCathodyne || kind == tqpTubeDifférentiel ? 2 : 1;
}

bool quadripoleInverts(TTypeQuadripole kind) {
    return kind == tqpTubeCatCom || kind == tqpTubeCathodyne || kind == tqpTubeDifférentiel ||
           kind == tqpTubeMixer;
}

TQuadripole::TQuadripole(TTypeQuadripole nature, const TTube* T, std::vector<int> aval,
                         const std::vector<double>& parms, const std::vector<bool>& switches)
    : tqp(nature), Faval(std::move(aval)) {
    ignoreBootstrap = !switches.empty() && switches[0];
    const bool second = switches.size() > 1 ? switches[1] : (nature != tqpInputGrid);
    const double S = parms.empty() ? 0 : parms.back();
    // Component i of the list; the final element is S, and a short list reads 0.
    const auto p = [&](std::size_t i) { return i + 1 < parms.size() ? parms[i] : 0.0; };

    switch (nature) {
    case tqpInputGrid:
        R1 = p(0), C1 = p(1), R2 = p(2), R3 = p(4), C3 = p(5);
        C2 = 3 * S + p(3);
        C1Shunted = second;
        R2Returned = switches.size() > 2 && switches[2];
        break;
    case tqpOutputLoad:
        Rs = p(0), Cs = p(1), Ro = p(2), Co = p(3);
        break;
    case tqpLevelShifter:
        R1 = p(0), C1 = p(1), R2 = p(2), R3 = p(3), C3 = p(4);
        C2 = 4 * S;
        break;
    case tqpInterStage:
        Ca = p(0), Rg = p(1), Rgs = p(2), Cgs = p(3);
        break;
    case tqpTubeCatCom:
    case tqpTubeMixer:
        Ra = p(0), Rk = p(1), Ck = p(2);
        Ckconnected = second;
        break;
    case tqpTubeCatFol:
        Rk = p(0), Rs = p(1);
        break;
    case tqpTubeAnoCom:
        Rk = p(0), Ra = p(1);
        break;
    case tqpTubePullUpDn:
        Rk = p(0);
        break;
    case tqpTubeGriCom:
        Ck = p(0), Rk = p(1), Ra = p(2);
        break;
    case tqpTubeCathodyne:
        Ra = p(0), Rk = p(1), Rg = p(2), Rgk = p(3), Ck = p(4);
        break;
    case tqpTubeDifférentiel:
        Ra1 = p(0), Ra2 = p(1), Rk = p(2), Rgk = p(3), Rg = p(4);
        break;
    }
    if (nature >= tqpTubeCatCom)
        Tube = T;
    setNodeCapacitances(S);
}

void TQuadripole::setNodeCapacitances(double S) {
    const double gk = cgk(), ga = cga(), ak = cak();
    switch (tqp) {
    case tqpInputGrid:
    case tqpOutputLoad:
    case tqpInterStage:
        Cpin = S, Cpou = 2 * S;
        break;
    case tqpLevelShifter:
        Cpin = 2 * S, Cpou = 2 * S;
        break;
    case tqpTubeCatCom:
        Cpin = S + gk, Cpou = 2 * S + ak;
        break;
    case tqpTubeCatFol:
        Cpin = S + ga, Cpou = 2 * S + ak;
        break;
    case tqpTubeGriCom:
        Cpin = 3 * S + gk, Cpou = 2 * S + ak + ga;
        break;
    case tqpTubeAnoCom:
        Cpin = 2 * S + gk + ak, Cpou = 2 * S + ak;
        break;
    case tqpTubePullUpDn:
        Cpin = S + gk + ak, Cpou = S + gk + ak;
        break;
    case tqpTubeCathodyne:
        Cpin = 2 * S + gk + ak, Cpou = 2 * S + ak + ga + gk;
        break;
    case tqpTubeDifférentiel:
        Cpin = S + gk + ak, Cpou = 3 * S + ak + ga;
        break;
    case tqpTubeMixer:
        Cpin = S + gk, Cpou = 4 * S + 2 * ak;
        break;
    }
}
