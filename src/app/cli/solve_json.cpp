// The solve result as one JSON object, and as plain text.
#include "json_text.h"
#include "solve_distortion.h"
#include "solve_output.h"

#include "circuits/catalogue.h"
#include "frequency/bode_text.h"
#include "markup/markup.h"
#include "util/format.h"

#include <cmath>
#include <cstdio>

namespace cli {

namespace {
std::string argb(std::uint32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%08X", c);
    return buf;
}

// The grid's column titles, the status column "-" first, aligned with the row.
std::vector<std::string> gridColumnsWithStatus(const CircuitInfo& info) {
    std::vector<std::string> columns = {"-"};
    columns.insert(columns.end(), info.gridColumns.begin(), info.gridColumns.end());
    return columns;
}

Json tubeJson(const TTube& t) {
    Json o = Json::object();
    o["ref"] = t.Reference();
    o["model"] = t.ModelName();
    o["Ia"] = t.Ia();
    o["Vak"] = t.Vak();
    o["Vgk"] = t.Vgk();
    o["Vek"] = t.Vek();
    o["Ie"] = t.Ie();
    o["gm"] = t.gm();
    o["rho"] = t.ρ();
    o["mu"] = t.µ();
    return o;
}

Json bodeJson(const BodeData& b, const NumberLocale& loc) {
    Json o = Json::object();
    o["freqs"] = b.freqs;
    Json gains = Json::array();
    for (std::size_t i = 0; i < b.curves.size(); ++i) {
        Json curve = Json::object();
        curve["legend"] = i < b.legends.size() ? b.legends[i].titre : std::string();
        curve["values"] = b.curves[i];
        if (b.exact && i < b.curvePhases.size())
            curve["phase"] = b.curvePhases[i];
        gains.push_back(std::move(curve));
    }
    o["gains"] = std::move(gains);
    o["overall"] = b.overall;
    if (b.exact) { // phase-exact run: phases in degrees, fL and fH are its corners
        o["ac"] = "exact";
        o["phase"] = b.phase;
    }
    o["fpk"] = b.fpk;
    o["fL"] = b.fL;
    o["fH"] = b.fH;
    o["summary"] = b.summary;
    Json table = Json::array();
    table.push_back(tableColumns());
    for (const auto& row : b.table)
        table.push_back(tableCells(row, loc));
    o["table"] = std::move(table);
    return o;
}

Json powerJson(const PowerData& p) {
    Json o = Json::object();
    Json cycles = Json::array();
    for (const TRecCycle& c : p.cycles) {
        Json cycle = Json::object();
        cycle["swing"] = c.swing;
        cycle["Ppri"] = c.Ppri;
        cycle["Psec"] = c.Psec;
        cycle["Imoy"] = c.Imoy;
        cycle["Iem"] = c.Iem;
        cycle["Y"] = c.Y;
        cycle["PVb"] = c.PVb;
        cycles.push_back(std::move(cycle));
    }
    o["cycles"] = std::move(cycles);
    if (p.pushPull) {
        o["bias_mode"] = p.biasMode;
        o["class"] = p.className;
        o["PA"] = p.PA;
        o["PB"] = p.PB;
    } else {
        o["bias_mode"] = nullptr;
        o["class"] = nullptr;
    }
    return o;
}

Json stacksJson(const SolveResult& r) {
    Json stacks = Json::array();
    for (const auto& column : r.stacks) {
        Json items = Json::array();
        for (const auto& item : column.Items) {
            Json o = Json::object();
            o["name"] = item.nom;
            o["volts"] = item.valeur;
            o["color"] = argb(item.color);
            items.push_back(std::move(o));
        }
        stacks.push_back(std::move(items));
    }
    return stacks;
}
} // namespace

std::string solveJson(const SolveRequest& rq, const SolveResult& r) {
    const CircuitInfo& info = circuitInfo(rq.circuit);
    Json j = Json::object();
    j["circuit"] = info.code;
    j["title"] = r.title;
    j["ok"] = r.ok;
    j["dc_report"] = r.dcReport;
    j["ac_report"] = r.acReport;
    j["dc_text"] = markupToPlainText(r.dcReport);
    j["ac_text"] = markupToPlainText(r.acReport);
    Json labels = Json::object();
    for (const auto& [name, text] : r.labels)
        labels[name] = text;
    j["labels"] = std::move(labels);
    j["grid_columns"] = gridColumnsWithStatus(info);
    j["grid_row"] = r.gridRow;
    Json tubes = Json::array();
    for (const auto& t : r.tubes)
        tubes.push_back(tubeJson(t));
    j["tubes"] = std::move(tubes);
    j["stacks"] = stacksJson(r);
    j["bode"] = r.bode ? bodeJson(*r.bode, rq.locale) : Json();
    j["power"] = r.power ? powerJson(*r.power) : Json();
    j["distortion"] = distortionJson(r);
    j["messages"] = r.messages;
    // The convergence traces asked for with --trace: caption and points (x0, y0, x1, y1, ...).
    Json traces = Json::array();
    for (const TFormConvergence& t : r.traces) {
        Json trace = Json::object();
        trace["caption"] = t.caption;
        trace["points"] = t.Points;
        traces.push_back(std::move(trace));
    }
    j["traces"] = std::move(traces);
    return jsonText(std::move(j)) + "\n";
}

std::string solveText(const SolveRequest& rq, const SolveResult& r) {
    const CircuitInfo& info = circuitInfo(rq.circuit);
    std::string out = markupToPlainText(r.dcReport) + "\n";
    if (!r.acReport.empty())
        out += "\n" + markupToPlainText(r.acReport) + "\n";
    for (const auto& m : r.messages)
        out += "\n" + m + "\n";
    if (!r.labels.empty()) {
        out += "\nSchematic:";
        for (const auto& [name, text] : r.labels)
            out += "  " + name + " " + text;
        out += "\n";
    }
    if (!r.gridRow.empty()) {
        out += "\nLogged results:\n";
        const std::vector<std::string> columns = gridColumnsWithStatus(info);
        for (std::size_t i = 0; i < r.gridRow.size(); ++i)
            out += "  " + (i < columns.size() ? columns[i] : std::string()) + "\t" + r.gridRow[i] + "\n";
    }
    if (r.bode && !r.bode->summary.empty())
        out += "\nBandwidth: " + r.bode->summary + "\n";
    if (r.power && !r.power->cycles.empty()) {
        const TRecCycle& last = r.power->cycles.back();
        // A push-pull cycle records the grid-to-grid swing (each grid moves by half of it).
        out += strFormat("\nOutput power: %.1f W at a %s swing of %.1f V, efficiency %.0f%%", last.Psec,
                         r.power->pushPull ? "grid-to-grid" : "grid", std::fabs(last.swing), 100 * last.Y);
        if (r.power->pushPull)
            out += " — " + r.power->caption;
        out += "\n" + powerDistortionText(r);
    }
    return out;
}

} // namespace cli
