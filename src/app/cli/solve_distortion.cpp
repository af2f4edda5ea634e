// The --thd-level option and the "distortion" JSON of valvenix-cli solve.
#include "solve_distortion.h"

#include "solver/distortion.h"
#include "util/format.h"

#include <cmath>

namespace cli {

namespace {
void writeHarmonics(JsonWriter& j, const Harmonics& h) {
    j.key("fundamental").value(h.fundamental);
    if (!h.resolved) {
        j.key("resolved").value(false);
        return;
    }
    for (int k = 2; k <= 5; ++k)
        j.key(strFormat("h%d", k)).value(h.relative(k));
    j.key("thd").value(h.thd);
}
} // namespace

void applyThdLevel(const Args& args, SolveRequest& rq) {
    const auto level = args.optionalNumber("--thd-level");
    if (!level)
        return;
    if (!(*level > 0))
        throw UsageError("--thd-level takes an output level above 0 V peak, not " +
                         quoted(*args.value("--thd-level")));
    rq.thdLevel = *level;
}

void writeDistortion(JsonWriter& j, const SolveResult& r) {
    j.key("distortion");
    if (r.distortion) {
        const StageDistortion& d = *r.distortion;
        j.beginObject();
        j.key("level").value(d.level);
        j.key("beyond_swing").value(d.beyondSwing);
        if (d.beyondSwing)
            j.key("max_level").value(d.maxLevel);
        else {
            j.key("input").value(d.input);
            writeHarmonics(j, d.harmonics);
        }
        j.endObject();
    } else if (r.power) {
        // The anode current of a single-ended stage, the primary current of a push-pull pair.
        j.beginObject();
        j.key("current").value(r.power->pushPull ? "primary" : "anode");
        j.key("cycles").beginArray();
        const std::vector<Harmonics> all = powerHarmonics(*r.power);
        for (std::size_t i = 0; i < all.size(); ++i) {
            j.beginObject();
            j.key("swing").value(r.power->cycles[i].swing);
            writeHarmonics(j, all[i]);
            j.endObject();
        }
        j.endArray();
        j.endObject();
    } else {
        j.null();
    }
}

std::string powerDistortionText(const SolveResult& r) {
    if (!r.power || r.power->cycles.empty())
        return {};
    const Harmonics h = cycleHarmonics(*r.power, r.power->trackMax());
    return strFormat("Distortion of the %s current at that swing: ",
                     r.power->pushPull ? "primary" : "anode") +
           harmonicsText(h) + "\n";
}

} // namespace cli
