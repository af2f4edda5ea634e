// Pieces every circuit solver shares: sheet access, convergence traces, the report header,
// the grid status, the Bode legends and the bandwidth run.
#pragma once

#include "frequency/quadripole.h"
#include "solver/solve.h"

#include <memory>
#include <string>
#include <vector>

// Reads the request's sheet by control name.
class SheetValues {
public:
    explicit SheetValues(const SolveRequest& request) : rq_(request) {}
    double num(const std::string& name) const;
    // A capacitor typed as 0 would open the circuit at every frequency: it reads as 1 pF.
    double capacitance(const std::string& name) const;
    std::string text(const std::string& name) const;
    bool checked(const std::string& name) const;

private:
    const SolveRequest& rq_;
};

// The convergence traces of one solve: n records when the request asks for them, none otherwise.
class Traces {
public:
    Traces(const SolveRequest& request, int n);
    TFormConvergence* at(int i) { return i < static_cast<int>(traces_.size()) ? &traces_[i] : nullptr; }
    void moveTo(SolveResult& result);

private:
    std::vector<TFormConvergence> traces_;
};

std::unique_ptr<TTube> makeTube(const SolveRequest& request, const std::string& selector,
                                const std::string& ref);

// "<b>title</b>" and the grey footer line that opens every DC report.
std::string reportHeader(const std::string& title);

// The time of day when every verdict passed, "ERROR" otherwise.
std::string gridStatus(const SolveRequest& request, bool ok);

// Runs the bandwidth sweep of a chain with the request's options and the circuit's legends.
void runBode(const SolveRequest& request, SolveResult& result, std::vector<TQuadripole>& quads);
