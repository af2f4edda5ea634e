// valvenix-cli sweep C<n> FIELD FROM TO STEPS [--log] [NAME=VALUE ...] [--csv|--json]: the sheet as a
// first opening fills it, the assignments applied, then one solve per value of FIELD and one grid
// row per solve. A step that does not solve prints an "ERROR" row and the sweep goes on.
#include "cli.h"
#include "json_text.h"
#include "solve_distortion.h"
#include "solve_power_options.h"

#include "circuits/catalogue.h"
#include "circuits/sweep.h"
#include "solver/value_parser.h"
#include "storage/model_database.h"
#include "util/utf8.h"

#include <cstdio>

namespace cli {

namespace {

double endOfRange(const std::string& text, const char* what) {
    bool ok = false;
    const double v = parseValue(text, NumberLocale{}, &ok);
    if (!ok)
        throw UsageError(std::string(what) + " is not a number: " + quoted(text));
    return v;
}

int stepCount(const std::string& text) {
    const double v = parseNumber(text, "STEPS");
    if (v != static_cast<double>(static_cast<long long>(v)) || v < 0 || v > 1e9)
        throw UsageError("STEPS takes a whole number, not " + quoted(text));
    return static_cast<int>(v);
}

// A CSV cell, quoted when it holds a comma (a grouped number), a quote or a line break.
std::string csvCell(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos)
        return text;
    std::string q = "\"";
    for (char c : text)
        q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string table(const SweepResult& r, char separator) {
    const auto cell = [&](const std::string& s) { return separator == ',' ? csvCell(s) : escapeControls(s); };
    std::string out = cell(r.plan.field);
    for (const auto& c : r.columns)
        out += separator + cell(c);
    out += "\n";
    for (const SweepRow& row : r.rows) {
        out += cell(row.text);
        if (row.solved) {
            for (const auto& c : row.gridRow)
                out += separator + cell(c);
        } else {
            out += separator + std::string("ERROR") + separator + cell(row.error);
        }
        out += "\n";
    }
    return out;
}

std::string json(const SweepResult& r, const CircuitInfo& info) {
    Json j = Json::object();
    j["circuit"] = info.code;
    j["field"] = r.plan.field;
    j["log"] = r.plan.log;
    j["columns"] = r.columns;
    Json rows = Json::array();
    for (const SweepRow& row : r.rows) {
        Json o = Json::object();
        o["value"] = row.value;
        o["text"] = row.text;
        o["solved"] = row.solved;
        if (row.solved)
            o["grid_row"] = row.gridRow;
        else
            o["error"] = row.error;
        rows.push_back(std::move(o));
    }
    j["rows"] = std::move(rows);
    return jsonText(std::move(j)) + "\n";
}

} // namespace

int runSweep(const std::vector<std::string>& words) {
    std::vector<std::string> valueOptions = {"--thd-level"};
    valueOptions.insert(valueOptions.end(), powerValueOptions().begin(), powerValueOptions().end());
    Args args(words, valueOptions, {"--log", "--csv", "--json"});
    const auto& pos = args.positional();
    if (pos.size() < 5)
        throw UsageError("sweep needs C<n> FIELD FROM TO STEPS [NAME=VALUE ...]");
    if (args.flag("--csv") && args.flag("--json"))
        throw UsageError("give --csv or --json, not both");

    SolveRequest rq;
    rq.circuit = circuitArgument(pos[0]);
    rq.sheet = newSheet(rq.circuit);
    const CircuitInfo& info = circuitInfo(rq.circuit);
    for (const TubeSelector& s : info.tubeSelectors) {
        if (SheetControl* c = rq.sheet.find(s.name)) {
            c->items = listModelNamesByType(s.kind);
            c->selected = c->items.empty() ? -1 : 0;
        }
    }
    for (std::size_t i = 5; i < pos.size(); ++i)
        assign(rq.sheet, pos[i]);
    applyPowerOptions(args, rq);
    applyThdLevel(args, rq);
    rq.tubes = databaseTubeFactory();
    rq.timeOfDay = timeOfDay();

    SweepPlan plan;
    plan.field = pos[1];
    plan.from = endOfRange(pos[2], "FROM");
    plan.to = endOfRange(pos[3], "TO");
    plan.steps = stepCount(pos[4]);
    plan.log = args.flag("--log");
    if (const std::string problem = sweepProblem(rq.sheet, plan); !problem.empty())
        throw UsageError(escapeControls(problem));

    const SweepResult result = runSweep(rq, plan);
    const std::string text =
        args.flag("--json") ? json(result, info) : table(result, args.flag("--csv") ? ',' : '\t');
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

} // namespace cli
