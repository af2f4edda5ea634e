// valvenix-cli models [--type triode|pentode] and current MODEL --va V --vg V [--vs V].
#include "cli.h"

#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "util/format.h"
#include "util/utf8.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace cli {

int runModels(const std::vector<std::string>& words) {
    Args args(words, {"--type"}, {});
    if (!args.positional().empty())
        throw UsageError("models takes no argument besides --type");
    int kind = 0;
    const char* what = "tube";
    if (auto type = args.value("--type")) {
        if (*type == "triode")
            kind = 3, what = "triode";
        else if (*type == "pentode")
            kind = 5, what = "pentode";
        else
            throw UsageError("--type is triode or pentode, not " + quoted(*type));
    }
    const ModelNameList list = readModelNameList(kind);
    for (const auto& skipped : list.skipped)
        std::fprintf(stderr, "valvenix-cli: %s\n", escapeControls(skippedRowMessage(skipped)).c_str());
    // An empty list is a fault of the database, never a quiet success.
    if (list.names.empty())
        throw std::runtime_error(std::string("the model database ") +
                                 dataFilePath(modelDatabaseFileName(kModelDatabaseVersion)) + " holds no " +
                                 what + " model");
    for (const auto& n : list.names)
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
        throw UsageError("unknown model " + quoted(model) + " (valvenix-cli models lists them)");
    // Voltages far past any tube's (--vg 1e300) give no finite current: refused, never "inf".
    const auto noCurrent = [&] {
        return UsageError(strFormat("the model gives no finite current at Va %g V, Vg %g V", va, vg) +
                          (vs ? strFormat(", Vs %g V", *vs) : std::string()));
    };
    if (tube.t35() == 5) {
        if (!vs || *vs <= 0)
            throw UsageError("a pentode needs a positive screen voltage: --vs V");
        const double ia = tube.CalculerNKpentode(va, vg, *vs);
        if (!std::isfinite(ia) || !std::isfinite(tube.Ie()))
            throw noCurrent();
        std::printf("%.3g\n%.3g\n", ia * 1000, tube.Ie() * 1000);
    } else {
        double ia;
        tube.CalculerNK(va, vg, ia);
        if (!std::isfinite(ia))
            throw noCurrent();
        std::printf("%.3g\n", ia * 1000);
    }
    return kOk;
}

} // namespace cli
