// Shared pieces of the circuit solvers.
#include "circuits/solver_common.h"

#include "circuits/catalogue.h"
#include "frequency/bode.h"
#include "frequency/bode_options.h"
#include "solver/field_reader.h"
#include "util/format.h"

double SheetValues::num(const std::string& name) const {
    return fieldNumber(rq_.sheet, name, rq_.locale);
}

double SheetValues::capacitance(const std::string& name) const {
    const double c = num(name);
    return c == 0 ? 1e-12 : c;
}

std::string SheetValues::text(const std::string& name) const {
    return fieldText(rq_.sheet, name);
}

bool SheetValues::checked(const std::string& name) const {
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
    return request.tubes(fieldText(request.sheet, selector), ref);
}

std::string reportHeader(const std::string& title) {
    return strFormat("<b>%s</b>%s", title.c_str(), "<br><color=909090>Valvenix</color>");
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
    const double beta = feedbackEnabledFor(request.circuit) ? feedbackRatioOf(request.bode.feedback) : 0;
    result.bode =
        calculBode(request.configTitle, quads, legends, info.code, beta, freqMaxOf(request.bode.freqmax),
                   freqMinOf(request.bode.freqmin), request.locale);
}
