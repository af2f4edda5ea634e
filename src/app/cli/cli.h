// Shared pieces of the valvenix-cli commands: argument access, errors and exit codes.
#pragma once

#include "solver/sheet.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

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

// Shared by solve and sweep: "C12" or "12" to a circuit number, a NAME=VALUE assignment to the sheet,
// the time of day of a grid row whose verdicts pass.
int circuitOfWord(const std::string& word);
void assign(Sheet& sheet, const std::string& assignment);
std::string timeOfDay();

int runModels(const std::vector<std::string>& words);
int runCurrent(const std::vector<std::string>& words);
int runSolve(const std::vector<std::string>& words);
int runCurves(const std::vector<std::string>& words);
int runInstallData(const std::vector<std::string>& words);
int runSchematic(const std::vector<std::string>& words);
int runSweep(const std::vector<std::string>& words);

} // namespace cli
