// Shared pieces of the valvenix-cli commands: argument access, errors and exit codes.
#pragma once

#include "solver/sheet.h"

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct Sheet;
class QCoreApplication;

namespace cli {

enum Exit { kOk = 0, kInternal = 1, kUsage = 2 };

// A refused command line or sheet: printed on stderr, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Positional words and --options of one command. Options listed as flags take no value.
class Args {
public:
    Args(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
         const std::vector<std::string>& flags);
    const std::vector<std::string>& positional() const { return positional_; }
    std::optional<std::string> value(const std::string& option) const;
    bool flag(const std::string& option) const;
    double number(const std::string& option) const; // required numeric option
    std::optional<double> optionalNumber(const std::string& option) const;
    std::optional<int> optionalInt(const std::string& option) const;

private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::vector<std::string> flags_;
};

double parseNumber(const std::string& text, const std::string& what);
// A text typed by the user, in double quotes, its control characters escaped for the terminal.
std::string quoted(const std::string& text);

// --ac exact|classic (exact when absent): kAcExact or kAcClassic.
int acModeOption(const Args& args);
// "C<n>" or "<n>" for a circuit of the registry; a UsageError otherwise.
int circuitArgument(const std::string& word);
// Applies NAME=VALUE to the sheet's control of that name (edit text, check box, selector item).
void assign(Sheet& sheet, const std::string& assignment);

// An item index option of the Bandwidth tab (0 .. count-1), `fallback` when absent.
int optionIndex(const Args& args, const std::string& option, int count, int fallback);
// The time of day of a grid row whose verdicts pass (solve and sweep).
std::string timeOfDay();

// The application object of a run; `drawing` when the command line asks for pictures. valvenix-cli
// hands such a run over to valvenix-cli-draw (it never returns then); valvenix-cli-draw makes a GUI
// application for the fonts, on the offscreen platform unless one is set.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv, bool drawing);

int runModels(const std::vector<std::string>& words);
int runCurrent(const std::vector<std::string>& words);
int runSolve(const std::vector<std::string>& words);
int runCurves(const std::vector<std::string>& words);
int runInstallData(const std::vector<std::string>& words);
int runSchematic(const std::vector<std::string>& words);
int runBatch(const std::vector<std::string>& words);

// Sets the sheet from its circuit's worked example (solve --example); refuses when there is none.
void applyCircuitExample(Sheet& sheet);
int runSpice(const std::vector<std::string>& words);
int runImportModel(const std::vector<std::string>& words);
int runExportModel(const std::vector<std::string>& words);
int runSweep(const std::vector<std::string>& words);

} // namespace cli
