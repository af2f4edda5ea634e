// Checks the numbers of a solve result and replaces a result that holds a non-finite one.
#include "solver/result_guard.h"

#include "solver/report_pieces.h"

#include <cmath>
#include <initializer_list>

const char* const kNonFiniteVerdict = "No finite result for these values";

namespace {

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool finite(const std::vector<double>& values) {
    for (double v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

bool tubeFinite(const TTube& t) {
    return finite({t.Ia(), t.Vak(), t.Vgk(), t.Vek(), t.Ie(), t.gm(), t.ρ(), t.µ()});
}

bool bodeFinite(const BodeData& b) {
    if (!finite(b.freqs) || !finite(b.overall) || !finite({b.fpk, b.Apk, b.fL, b.fH, b.Amax}))
        return false;
    for (const auto& curve : b.curves)
        if (!finite(curve))
            return false;
    for (const TDataQP& row : b.table)
        if (!finite({row.freq, row.av, row.zin}))
            return false;
    return true;
}

bool powerFinite(const PowerData& p) {
    if (!finite({p.Ia0, p.Va0, p.Vgk, p.Vek, p.Ie0, p.load, p.Rdc, p.Vb, p.Yt, p.biasMode, p.PA, p.PB}))
        return false;
    for (const TRecCycle& c : p.cycles)
        if (!finite({c.swing, c.Ppri, c.Psec, c.Imoy, c.Iem, c.Y, c.PVb}))
            return false;
    return !p.tube || tubeFinite(*p.tube);
}

} // namespace

bool resultNumbersFinite(const SolveResult& r) {
    for (const TTube& t : r.tubes)
        if (!tubeFinite(t))
            return false;
    for (const TVoltageStacks& column : r.stacks)
        for (const TItem& item : column.Items)
            if (!std::isfinite(item.valeur))
                return false;
    for (const LoadLineData& line : r.loadLines)
        if (!finite({line.Imax, line.Vmax}) || !tubeFinite(line.tube))
            return false;
    for (const TFormConvergence& trace : r.traces)
        if (!finite(trace.Points))
            return false;
    return (!r.bode || bodeFinite(*r.bode)) && (!r.power || powerFinite(*r.power));
}

void refuseNonFiniteResult(SolveResult& r) {
    SolveResult refused;
    refused.title = r.title;
    refused.dcReport = reportHeader(r.title) + "<br><css=error>No convergence !</css><br><css=error>" +
                       kNonFiniteVerdict + "</css>";
    refused.ok = false;
    r = std::move(refused);
}
