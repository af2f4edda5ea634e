// Pieces every circuit solver shares: sheet access, convergence traces, the report header,
// the grid status, the Bode legends and the bandwidth run.
#pragma once

#include "frequency/quadripole.h"
#include "solver/report_pieces.h"
#include "solver/solve.h"

#include <memory>
#include <string>
#include <vector>

// Reads the request's sheet by control name: a missing control reads 0, empty or false (in checked
// mode it throws, see SolveRequest::checked).
class SheetValues {
public:
    explicit SheetValues(const SolveRequest& request) : rq_(request) {}
    double num(const std::string& name) const; // an edit field
    // A capacitor typed as 0 would open the circuit at every frequency: it reads as 1 pF.
    double capacitance(const std::string& name) const;
    std::string text(const std::string& name) const; // a selector's item (LBtube, LBparallel, LBYt)
    bool checked(const std::string& name) const;     // a check box

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

// "<br><css=error>message</css>": a red line of the DC report.
std::string errorLine(const std::string& message);

// x / y, or 0 when y is 0 or the quotient is not finite (an open branch carries no current).
double ratioOrZero(double x, double y);

// Appends a line unless the report already holds its text (a verdict written once per report).
void addLineOnce(std::string& report, const std::string& line);

// The verdict lines of several checks (one tube of a multi-tube circuit), skipping those the
// report already holds; returns whether all passed.
bool addVerdictsOnce(std::string& report, bool loadLineOk, bool operatingPointOk, bool vgkOk, bool stacksOk,
                     bool iterationsOk);

// The DC load-line diagram of a tube in image `image`: the line from (Vb, 0) to Vb/R; a branch
// without resistance has no line, and the current axis then ends at the tube's zero-bias current.
LoadLineData loadLineOf(const TTube& T, double Vb, double R, int image);

// The time of day when every verdict passed, "ERROR" otherwise.
std::string gridStatus(const SolveRequest& request, bool ok);

// Runs the bandwidth sweep of a chain with the request's options and the circuit's legends.
void runBode(const SolveRequest& request, SolveResult& result, std::vector<TQuadripole>& quads);
