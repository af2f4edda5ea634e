// Validation then dispatch by circuit number.
#include "circuits/solve_command.h"

#include "circuits/catalogue.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

SolveOutcome solveCommand(const SolveRequest& request, const std::function<void()>& beforeSolve) {
    SolveOutcome out;
    if (request.circuit < 1 || request.circuit > kCircuitCount) {
        out.messages.push_back(strFormat("There is no circuit C%d", request.circuit));
        return out;
    }
    const CircuitInfo& info = circuitInfo(request.circuit);
    out.messages = validateSheet(request.sheet, info.rules, request.locale);
    if (!out.messages.empty())
        return out;
    if (beforeSolve)
        beforeSolve();
    out.result.title = info.title;
    info.solve(request, out.result);
    out.solved = true;
    return out;
}
