// valvenix-cli spice C<n> [NAME=VALUE ...] [--out FILE]: the ngspice netlist of a sheet;
// import-model FILE [--name N] [--kg1 koren|single] and export-model MODEL [--out FILE]: tube models
// as Koren subcircuits.
#include "cli.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "spice/koren_model.h"
#include "spice/model_reader.h"
#include "spice/netlist.h"
#include "storage/model_database.h"
#include "storage/model_import.h"
#include "storage/sheet_persistence.h"
#include "util/utf8.h"

#include <cstdio>
#include <fstream>

namespace cli {

namespace {
// Writes the text to the file, or to stdout without --out.
void writeOut(const std::optional<std::string>& path, const std::string& text) {
    if (!path) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return;
    }
    std::ofstream out(*path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + quoted(*path));
}
} // namespace

int runSpice(const std::vector<std::string>& words) {
    Args args(words, {"--out", "--freqmin", "--freqmax", "--straycaps", "--feedback"}, {"--ignore-miller"});
    if (args.positional().empty())
        throw UsageError("spice needs a circuit: spice C<n> [NAME=VALUE ...] [--out FILE]");
    SolveRequest rq;
    rq.circuit = circuitArgument(args.positional()[0]);
    rq.sheet = newSheet(rq.circuit);
    for (const TubeSelector& s : circuitInfo(rq.circuit).tubeSelectors)
        if (SheetControl* c = rq.sheet.find(s.name)) {
            c->items = listModelNamesByType(s.kind);
            c->selected = c->items.empty() ? -1 : 0;
        }
    for (std::size_t i = 1; i < args.positional().size(); ++i)
        assign(rq.sheet, args.positional()[i]);
    rq.bode.freqmin = optionIndex(args, "--freqmin", 4, kDefaultFreqMin);
    rq.bode.freqmax = optionIndex(args, "--freqmax", 4, kDefaultFreqMax);
    rq.bode.straycaps = optionIndex(args, "--straycaps", 5, kDefaultCircuitStrayCaps);
    rq.bode.feedback = optionIndex(args, "--feedback", 8, 0);
    rq.bode.ignoreMiller = args.flag("--ignore-miller");
    rq.tubes = databaseTubeFactory();

    const SpiceExport netlist = spiceNetlist(rq, solveCommand(rq));
    if (!netlist.written)
        throw UsageError(netlist.problem);
    writeOut(args.value("--out"), netlist.text);
    // A sheet that does not solve still gives a netlist; the problem is said on stderr as well.
    if (!netlist.problem.empty())
        std::fprintf(stderr, "valvenix-cli: %s\n", escapeControls(netlist.problem).c_str());
    return kOk;
}

int runImportModel(const std::vector<std::string>& words) {
    Args args(words, {"--name", "--kg1"}, {});
    if (args.positional().size() != 1)
        throw UsageError("import-model needs one file: import-model FILE [--name N] [--kg1 koren|single]");
    Kg1Convention choice = Kg1Convention::Unknown;
    if (const auto kg1 = args.value("--kg1")) {
        if (*kg1 == "koren")
            choice = Kg1Convention::Double;
        else if (*kg1 == "single")
            choice = Kg1Convention::Single;
        else
            throw UsageError("--kg1 takes koren (2*E1^EX/KG1) or single (E1^EX/KG1), not " + quoted(*kg1));
    }
    std::string text, problem;
    if (!readModelFile(args.positional()[0], kMaxSpiceModelBytes, text, problem))
        throw UsageError(problem);
    const SpiceModelRead read = readSpiceModel(text, choice);
    if (!read.params) {
        std::string message = read.error;
        if (read.needsConvention)
            message += "\nSay which with --kg1 koren (2*E1^EX/KG1) or --kg1 single (E1^EX/KG1).";
        throw UsageError(message);
    }
    TubeParams params = *read.params;
    if (const auto name = args.value("--name"))
        params.name = *name;
    for (const auto& line : read.found)
        std::printf("%s\n", escapeControls(line).c_str());
    const ModelImport stored = storeImportedModel(params);
    if (!stored.stored)
        throw UsageError(stored.message + "\nNothing stored.");
    std::printf("Stored the %s \"%s\".\n", params.t35 == 5 ? "pentode" : "triode",
                escapeControls(params.name).c_str());
    return kOk;
}

int runExportModel(const std::vector<std::string>& words) {
    Args args(words, {"--out"}, {});
    if (args.positional().size() != 1)
        throw UsageError("export-model needs a model name: export-model MODEL [--out FILE]");
    ModelRow row;
    if (!readModel(args.positional()[0], row))
        throw UsageError("no model is named " + quoted(args.positional()[0]));
    writeOut(args.value("--out"), spiceModelText(row.params));
    return kOk;
}

} // namespace cli
