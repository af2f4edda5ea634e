// valvenix-cli models [--type triode|pentode] and current MODEL --va V --vg V [--vs V].
#include "cli.h"

#include "storage/model_database.h"

#include <cstdio>

namespace cli {

int runModels(const std::vector<std::string>& words) {
    Args args(words, {"--type"}, {});
    if (!args.positional().empty())
        throw UsageError("models takes no argument besides --type");
    std::vector<std::string> names;
    if (auto type = args.value("--type")) {
        if (*type == "triode")
            names = listModelNamesByType(3);
        else if (*type == "pentode")
            names = listModelNamesByType(5);
        else
            throw UsageError("--type is triode or pentode, not \"" + *type + "\"");
    } else {
        names = listModelNames();
    }
    for (const auto& n : names)
        std::printf("%s\n", n.c_str());
    return kOk;
}

int runCurrent(const std::vector<std::string>& words) {
    Args args(words, {"--va", "--vg", "--vs"}, {});
    if (args.positional().size() != 1)
        throw UsageError("current takes one model name: current MODEL --va V --vg V [--vs V]");
    const std::string& model = args.positional()[0];
    const double va = args.number("--va");
    const double vg = args.number("--vg");
    const auto vs = args.optionalNumber("--vs");

    TTube tube(loadTubeParams(model), "T1");
    if (tube.t35() == 0)
        throw UsageError("unknown model \"" + model + "\" (valvenix-cli models lists them)");
    if (tube.t35() == 5) {
        if (!vs || *vs <= 0)
            throw UsageError("a pentode needs a positive screen voltage: --vs V");
        const double ia = tube.CalculerNKpentode(va, vg, *vs);
        std::printf("%.3g\n%.3g\n", ia * 1000, tube.Ie() * 1000);
    } else {
        double ia;
        tube.CalculerNK(va, vg, ia);
        std::printf("%.3g\n", ia * 1000);
    }
    return kOk;
}

} // namespace cli
