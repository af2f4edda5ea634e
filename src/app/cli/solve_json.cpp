// The solve result as one JSON object, and as plain text.
#include "json_writer.h"
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

void writeTube(JsonWriter& j, const TTube& t) {
    j.beginObject();
    j.key("ref").value(t.Reference());
    j.key("model").value(t.ModelName());
    j.key("Ia").value(t.Ia());
    j.key("Vak").value(t.Vak());
    j.key("Vgk").value(t.Vgk());
    j.key("Vek").value(t.Vek());
    j.key("Ie").value(t.Ie());
    j.key("gm").value(t.gm());
    j.key("rho").value(t.ρ());
    j.key("mu").value(t.µ());
    j.endObject();
}

void writeBode(JsonWriter& j, const BodeData& b, const NumberLocale& loc) {
    j.beginObject();
    j.key("freqs").array(b.freqs);
    j.key("gains").beginArray();
    for (std::size_t i = 0; i < b.curves.size(); ++i) {
        j.beginObject();
        j.key("legend").value(i < b.legends.size() ? b.legends[i].titre : std::string());
        j.key("values").array(b.curves[i]);
        if (b.exact && i < b.curvePhases.size())
            j.key("phase").array(b.curvePhases[i]);
        j.endObject();
    }
    j.endArray();
    j.key("overall").array(b.overall);
    if (b.exact) { // phase-exact run: phases in degrees, fL and fH are its corners
        j.key("ac").value(std::string("exact"));
        j.key("phase").array(b.phase);
    }
    j.key("fpk").value(b.fpk);
    j.key("fL").value(b.fL);
    j.key("fH").value(b.fH);
    j.key("summary").value(b.summary);
    j.key("table").beginArray();
    j.array(tableColumns());
    for (const auto& row : b.table)
        j.array(tableCells(row, loc));
    j.endArray();
    j.endObject();
}
void writePower(JsonWriter& j, const PowerData& p) {
    j.beginObject();
    j.key("cycles").beginArray();
    for (const TRecCycle& c : p.cycles) {
        j.beginObject();
        j.key("swing").value(c.swing);
        j.key("Ppri").value(c.Ppri);
        j.key("Psec").value(c.Psec);
        j.key("Imoy").value(c.Imoy);
        j.key("Iem").value(c.Iem);
        j.key("Y").value(c.Y);
        j.key("PVb").value(c.PVb);
        j.endObject();
    }
    j.endArray();
    if (p.pushPull) {
        j.key("bias_mode").value(p.biasMode);
        j.key("class").value(p.className);
        j.key("PA").value(p.PA);
        j.key("PB").value(p.PB);
    } else {
        j.key("bias_mode").null();
        j.key("class").null();
    }
    j.endObject();
}
} // namespace

std::string solveJson(const SolveRequest& rq, const SolveResult& r) {
    const CircuitInfo& info = circuitInfo(rq.circuit);
    JsonWriter j;
    j.beginObject();
    j.key("circuit").value(info.code);
    j.key("title").value(r.title);
    j.key("ok").value(r.ok);
    j.key("dc_report").value(r.dcReport);
    j.key("ac_report").value(r.acReport);
    j.key("dc_text").value(markupToPlainText(r.dcReport));
    j.key("ac_text").value(markupToPlainText(r.acReport));
    j.key("labels").beginObject();
    for (const auto& [name, text] : r.labels)
        j.key(name).value(text);
    j.endObject();
    j.key("grid_columns").array(gridColumnsWithStatus(info));
    j.key("grid_row").array(r.gridRow);
    j.key("tubes").beginArray();
    for (const auto& t : r.tubes)
        writeTube(j, t);
    j.endArray();
    j.key("stacks").beginArray();
    for (const auto& column : r.stacks) {
        j.beginArray();
        for (const auto& item : column.Items) {
            j.beginObject();
            j.key("name").value(item.nom);
            j.key("volts").value(item.valeur);
            j.key("color").value(argb(item.color));
            j.endObject();
        }
        j.endArray();
    }
    j.endArray();
    j.key("bode");
    if (r.bode)
        writeBode(j, *r.bode, rq.locale);
    else
        j.null();
    j.key("power");
    if (r.power)
        writePower(j, *r.power);
    else
        j.null();
    writeDistortion(j, r);
    j.key("messages").array(r.messages);
    // The convergence traces asked for with --trace: caption and points (x0, y0, x1, y1, ...).
    j.key("traces").beginArray();
    for (const TFormConvergence& t : r.traces) {
        j.beginObject();
        j.key("caption").value(t.caption);
        j.key("points").array(t.Points);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return j.str() + "\n";
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
