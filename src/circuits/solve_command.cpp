// Validation then dispatch by circuit number.
#include "circuits/solve_command.h"

#include "circuits/catalogue.h"
#include "solver/result_guard.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

SolveOutcome solveCommand(const SolveRequest& request, const std::function<void()>& beforeSolve) {
    SolveOutcome out;
    if (request.circuit < 1 || request.circuit > kCircuitCount) {
        out.messages.push_back(strFormat("There is no circuit C%d", request.circuit));
        return out;
    }
    const CircuitInfo& info = circuitInfo(request.circuit);
    out.messages = validateSheet(request.sheet, info.rules, request.locale, info.negativeFields);
    if (!out.messages.empty())
        return out;
    if (beforeSolve)
        beforeSolve();
    out.result.title = info.title;
    const long nonFiniteBefore = nonFiniteFiguresFormatted();
    info.solve(request, out.result);
    // Last guard: a figure that came out as NaN or an infinity (in a number or in a text) is not shown.
    if (nonFiniteFiguresFormatted() != nonFiniteBefore || !resultNumbersFinite(out.result))
        refuseNonFiniteResult(out.result);
    out.solved = true;
    return out;
}
