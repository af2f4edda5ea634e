// valvenix-cli solve C<n> [--example] [NAME=VALUE ...] [--json] [--png-dir DIR] [--save] [bandwidth options]:
// fills the circuit's sheet as a first opening does, applies the assignments, solves, prints. The
// user's settings are neither read nor written unless --save asks to store the sheet.
#include "cli.h"
#include "solve_distortion.h"
#include "solve_output.h"
#include "solve_power_options.h"
#include "solve_request.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "storage/model_database.h"
#include "storage/settings.h"
#include "storage/sheet_persistence.h"
#include "util/format.h"
#include "util/utf8.h"

#include <cstdio>
#include <ctime>

namespace cli {

int circuitArgument(const std::string& word) {
    std::string digits = word;
    if (!digits.empty() && (digits[0] == 'C' || digits[0] == 'c'))
        digits.erase(0, 1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 3)
        throw UsageError(strFormat("expected a circuit C1 ... C%d, not ", kCircuitCount) + quoted(word));
    const int n = std::stoi(digits);
    if (n < 1 || n > kCircuitCount)
        throw UsageError(strFormat("expected a circuit C1 ... C%d, not ", kCircuitCount) + quoted(word));
    return n;
}

namespace {
std::string controlMissing(int circuit, const std::string& name) {
    return strFormat("C%d has no control %s", circuit, escapeControls(name).c_str());
}

bool parseCheck(const std::string& name, const std::string& value) {
    for (const char* yes : {"1", "true", "yes", "on"})
        if (value == yes)
            return true;
    for (const char* no : {"0", "false", "no", "off"})
        if (value == no)
            return false;
    throw UsageError(name + " is a check box: give 1 or 0, not " + quoted(value));
}

} // namespace

void assign(Sheet& sheet, const std::string& assignment) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0)
        throw UsageError("expected NAME=VALUE, not " + quoted(assignment));
    const std::string name = assignment.substr(0, eq);
    const std::string value = assignment.substr(eq + 1);
    SheetControl* c = sheet.find(name);
    if (!c || c->kind == ControlKind::Label || c->kind == ControlKind::Caption)
        throw UsageError(controlMissing(sheet.circuit, name));
    switch (c->kind) {
    case ControlKind::Edit:
        c->text = value;
        break;
    case ControlKind::CheckBox:
        c->checked = parseCheck(name, value);
        break;
    case ControlKind::Selector: {
        for (std::size_t i = 0; i < c->items.size(); ++i)
            if (c->items[i] == value) {
                c->selected = static_cast<int>(i);
                return;
            }
        std::string list;
        for (const auto& item : c->items)
            list += "\n  " + item;
        throw UsageError(name + " has no item " + quoted(value) + "; its items are:" + list);
    }
    default:
        break;
    }
}

int optionIndex(const Args& args, const std::string& option, int count, int fallback) {
    const auto v = args.optionalInt(option);
    if (!v)
        return fallback;
    if (*v < 0 || *v >= count)
        throw UsageError(strFormat("%s takes an item index from 0 to %d", option.c_str(), count - 1));
    return *v;
}

std::string timeOfDay() {
    const std::time_t now = std::time(nullptr);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", std::localtime(&now));
    return buf;
}

ModelLister databaseModelLister() {
    return [](int kind) { return listModelNamesByType(kind); };
}

SolveWords readSolveWords(const std::vector<std::string>& words, const ModelLister& models) {
    std::vector<std::string> valueOptions = {"--png-dir",  "--freqmin", "--freqmax",  "--straycaps",
                                             "--feedback", "--ac",      "--thd-level"};
    valueOptions.insert(valueOptions.end(), powerValueOptions().begin(), powerValueOptions().end());
    Args args(words, valueOptions, {"--json", "--ignore-miller", "--trace", "--save", "--example"});
    if (args.positional().empty())
        throw UsageError("solve needs a circuit: solve C<n> [NAME=VALUE ...]");
    SolveWords out;
    out.json = args.flag("--json");
    out.save = args.flag("--save");
    out.pngDir = args.value("--png-dir");

    SolveRequest& rq = out.request;
    rq.circuit = circuitArgument(args.positional()[0]);
    rq.sheet = newSheet(rq.circuit);
    const CircuitInfo& info = circuitInfo(rq.circuit);
    for (const TubeSelector& s : info.tubeSelectors) {
        if (SheetControl* c = rq.sheet.find(s.name)) {
            c->items = models(s.kind);
            c->selected = c->items.empty() ? -1 : 0;
        }
    }
    if (args.flag("--example"))
        applyCircuitExample(rq.sheet);
    for (std::size_t i = 1; i < args.positional().size(); ++i)
        assign(rq.sheet, args.positional()[i]);
    applyPowerOptions(args, rq);
    applyThdLevel(args, rq);

    // Unset bandwidth options are those a solver window shows the first time it opens the circuit.
    rq.bode.freqmin = optionIndex(args, "--freqmin", 4, kDefaultFreqMin);
    rq.bode.freqmax = optionIndex(args, "--freqmax", 4, kDefaultFreqMax);
    rq.bode.straycaps = optionIndex(args, "--straycaps", 5, kDefaultCircuitStrayCaps);
    rq.bode.feedback = optionIndex(args, "--feedback", 8, 0);
    rq.bode.ignoreMiller = args.flag("--ignore-miller");
    rq.bode.ac = acModeOption(args);
    rq.traceConvergence = args.flag("--trace");
    rq.tubes = databaseTubeFactory();
    rq.timeOfDay = timeOfDay();
    return out;
}

int runSolve(const std::vector<std::string>& words) {
    const SolveWords line = readSolveWords(words, databaseModelLister());
    const auto& pngDir = line.pngDir;
    if (pngDir)
        checkPictureFolder(*pngDir);
    const SolveRequest& rq = line.request;
    const CircuitInfo& info = circuitInfo(rq.circuit);

    const SolveOutcome outcome = solveCommand(rq);
    if (!outcome.solved) {
        for (const auto& m : outcome.messages)
            std::fprintf(stderr, "%s\n", escapeControls(m).c_str());
        return kUsage;
    }
    if (pngDir)
        writeSolvePictures(*pngDir, rq, outcome.result);
    const std::string text = line.json ? solveJson(rq, outcome.result) : solveText(rq, outcome.result);
    std::fwrite(text.data(), 1, text.size(), stdout);

    // --save stores what the window stores at a solve: the sheet in its circuit's section, and the
    // circuit as the last one solved. Only a solve that went through to the end is stored.
    if (line.save) {
        TIniPosDim settings;
        settings.Open();
        if (!SaveAutoParams(rq.sheet, rq.bode, settings) || !settings.setLastCircuit(rq.circuit)) {
            std::fflush(stdout);
            std::fprintf(stderr, "valvenix-cli: the sheet of %s could not be saved to %s: %s\n",
                         info.code.c_str(), escapeControls(settings.filePath()).c_str(),
                         settings.problem().c_str());
            return kInternal;
        }
    }
    return kOk;
}

} // namespace cli
