// Validation then dispatch by circuit number.
#include "solver/solve_command.h"

#include "circuits/catalogue.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

SolveOutcome solveCommand(const SolveRequest& request, const std::function<void()>& beforeSolve) {
    SolveOutcome out;
    if (request.circuit < 1 || request.circuit > kCircuitCount) {
        out.messages.push_back(strFormat("There is no circuit C%d", request.circuit));
        return out;
    }
    out.messages = validateSheet(request.sheet, request.locale);
    if (!out.messages.empty())
        return out;
    const CircuitSolver solver = circuitSolver(request.circuit);
    if (!solver) {
        out.messages.push_back(strFormat("The solver of circuit C%d is not available yet", request.circuit));
        return out;
    }
    if (beforeSolve)
        beforeSolve();
    out.result.title = circuitInfo(request.circuit).title;
    solver(request, out.result);
    out.solved = true;
    return out;
}
