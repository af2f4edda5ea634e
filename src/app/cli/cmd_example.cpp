// solve --example: the circuit's worked example from the data folder's examples file, set on the
// sheet before the NAME=VALUE assignments of the command line (which therefore override it).
#include "cli.h"

#include "storage/builtin_configs.h"
#include "util/format.h"

namespace cli {

void applyCircuitExample(Sheet& sheet) {
    const ExamplesRead read = readExamples();
    if (!read.ok)
        throw UsageError(read.error + " (install-data places it in the data folder)");
    const CircuitExample* example = read.set.find(sheet.circuit);
    if (!example)
        throw UsageError(strFormat("C%d has no example in %s", sheet.circuit, kExamplesFile));
    const std::vector<std::string> problems = applyExample(sheet, *example);
    if (!problems.empty()) {
        std::string text = strFormat("the example of C%d does not fit its sheet:", sheet.circuit);
        for (const std::string& p : problems)
            text += "\n  " + p;
        throw UsageError(text);
    }
}

} // namespace cli
