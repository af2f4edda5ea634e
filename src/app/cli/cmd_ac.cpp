// The --ac option of valvenix-cli solve: the arithmetic of the frequency response.
#include "cli.h"

#include "frequency/bode_options.h"

namespace cli {

int acModeOption(const Args& args) {
    const auto v = args.value("--ac");
    if (!v || *v == "exact")
        return kAcExact;
    if (*v == "classic")
        return kAcClassic;
    throw UsageError("--ac takes exact or classic, not " + quoted(*v));
}

} // namespace cli
