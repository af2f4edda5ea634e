// --kza, --kzb, --load-function: the push-pull's advanced parameters on the command line.
#include "solve_power_options.h"

#include "circuits/catalogue.h"
#include "solver/advanced_power.h"
#include "util/format.h"

namespace cli {

const std::vector<std::string>& powerValueOptions() {
    static const std::vector<std::string> options = {"--kza", "--kzb", "--load-function"};
    return options;
}

void applyPowerOptions(const Args& args, SolveRequest& request) {
    const auto& setup = circuitInfo(request.circuit).advanced;
    if (!setup) {
        for (const std::string& option : powerValueOptions())
            if (args.value(option))
                throw UsageError(
                    strFormat("%s applies to the push-pull stages C39 ... C42 only", option.c_str()));
        return;
    }
    std::string kza = withDecimalSeparator(setup->kza, request.locale);
    std::string kzb = withDecimalSeparator(setup->kzb, request.locale);
    if (args.value("--kza")) {
        parseNumber(*args.value("--kza"), "--kza");
        kza = withDecimalSeparator(*args.value("--kza"), request.locale);
    }
    if (args.value("--kzb")) {
        parseNumber(*args.value("--kzb"), "--kzb");
        kzb = withDecimalSeparator(*args.value("--kzb"), request.locale);
    }
    int fonction = setup->fonction;
    if (const auto name = args.value("--load-function")) {
        fonction = loadFunctionIndex(*name);
        if (fonction < 0)
            throw UsageError("--load-function takes f1, f2, f3 or f4, not \"" + *name + "\"");
    }
    setAdvancedPowerControls(request.sheet, kza, kzb, fonction);
}

} // namespace cli
