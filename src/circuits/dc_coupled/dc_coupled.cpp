// DC-coupled and multi-stage amplifiers: C9, C13, C14, C19, C20, C26, C29, C32, C36, and the helpers
// their solvers share.
#include "circuits/dc_coupled/dc_coupled_solvers.h"

#include "util/format.h"

#include <cmath>

namespace dc_coupled {

bool solveFixedGridStage(TTube& T, double Vb, double Vg, double Ra, double Rk, TFormConvergence* trace,
                         SolveResult& result) {
    std::string message;
    if (Rk > 0) {
        message = T.gridFixedBiasDephaseur(Vb, Vg, Ra, Rk, trace);
        if (!message.empty())
            result.messages.push_back(message);
        if (message.empty() || message == "Too many iterations")
            return message.empty();
    }
    // No regular point: the tube at zero bias on its load line.
    T.basicBiasSuccApprox(Vb, Ra + Rk, 0, trace);
    double ia = 0;
    T.CalculerNK(T.Vak(), 0.0, ia); // a clean zero bias, not -0
    return false;
}

} // namespace dc_coupled
