// Shared pieces of the circuit solvers.
#include "circuits/solver_common.h"

#include "circuits/catalogue.h"
#include "frequency/bode.h"
#include "frequency/bode_options.h"
#include "markup/formatters.h"
#include "solver/field_reader.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// In checked mode a read of a control the sheet lacks (or holds as another kind) is a fault of the
// solver, not of the sheet: it stops the solve.
void requireControl(const SolveRequest& rq, const std::string& name, ControlKind kind) {
    if (!rq.checked)
        return;
    const SheetControl* c = findField(rq.sheet, name);
    if (!c || c->kind != kind)
        throw std::logic_error(strFormat("C%d reads %s, which its sheet lacks", rq.circuit, name.c_str()));
}

} // namespace

double SheetValues::num(const std::string& name) const {
    requireControl(rq_, name, ControlKind::Edit);
    return fieldNumber(rq_.sheet, name, rq_.locale);
}

double SheetValues::capacitance(const std::string& name) const {
    const double c = num(name);
    return c == 0 ? 1e-12 : c;
}

std::string SheetValues::text(const std::string& name) const {
    requireControl(rq_, name, ControlKind::Selector);
    return fieldText(rq_.sheet, name);
}

bool SheetValues::checked(const std::string& name) const {
    requireControl(rq_, name, ControlKind::CheckBox);
    return fieldChecked(rq_.sheet, name);
}

Traces::Traces(const SolveRequest& request, int n) {
    if (!request.traceConvergence)
        return;
    traces_.resize(static_cast<std::size_t>(n));
    for (auto& t : traces_)
        t.Tag = request.circuit;
}

void Traces::moveTo(SolveResult& result) {
    for (auto& t : traces_)
        result.traces.push_back(std::move(t));
    traces_.clear();
}

std::unique_ptr<TTube> makeTube(const SolveRequest& request, const std::string& selector,
                                const std::string& ref) {
    requireControl(request, selector, ControlKind::Selector);
    return request.tubes(fieldText(request.sheet, selector), ref);
}

std::string errorLine(const std::string& message) {
    return "<br><css=error>" + message + "</css>";
}

double ratioOrZero(double x, double y) {
    if (y == 0)
        return 0;
    const double q = x / y;
    return std::isfinite(q) ? q : 0;
}

void addLineOnce(std::string& report, const std::string& line) {
    if (report.find(line) == std::string::npos)
        report += line;
}

bool addVerdictsOnce(std::string& report, bool loadLineOk, bool operatingPointOk, bool vgkOk, bool stacksOk,
                     bool iterationsOk) {
    std::string lines;
    const bool ok = verdicts(lines, loadLineOk, operatingPointOk, vgkOk, stacksOk, iterationsOk);
    static const std::string kLineStart = "<br><css=error>";
    for (std::size_t pos = 0; pos < lines.size();) {
        std::size_t next = lines.find(kLineStart, pos + 1);
        if (next == std::string::npos)
            next = lines.size();
        addLineOnce(report, lines.substr(pos, next - pos));
        pos = next;
    }
    return ok;
}

LoadLineData loadLineOf(const TTube& T, double Vb, double R, int image) {
    if (R > 0 && Vb > 0 && std::isfinite(Vb / R))
        return {T, Vb / R, Vb, true, image};
    double Imax = std::max(nkTriodeCurrent(T.constants(), std::max(Vb, 0.0), 0), T.Ia());
    if (!(Imax > 0) || !std::isfinite(Imax))
        Imax = 1e-3;
    return {T, Imax, Vb, false, image};
}

std::string gridStatus(const SolveRequest& request, bool ok) {
    return ok ? request.timeOfDay : "ERROR";
}

void runBode(const SolveRequest& request, SolveResult& result, std::vector<TQuadripole>& quads) {
    const CircuitInfo& info = circuitInfo(request.circuit);
    TLegendes legends;
    for (std::size_t i = 0; i < info.bodeLegends.size(); ++i) {
        const bool shown = i >= request.legendsShown.size() || request.legendsShown[i];
        legends.push_back({info.bodeLegends[i], shown, legendColour(i)});
    }
    const double beta = info.feedback ? feedbackRatioOf(request.bode.feedback) : 0;
    const double fmax = freqMaxOf(request.bode.freqmax), fmin = freqMinOf(request.bode.freqmin);
    result.bode = request.bode.ac == kAcExact ? calculBodeExact(request.configTitle, quads, legends,
                                                                info.code, beta, fmax, fmin, request.locale)
                                              : calculBode(request.configTitle, quads, legends, info.code,
                                                           beta, fmax, fmin, request.locale);
}
