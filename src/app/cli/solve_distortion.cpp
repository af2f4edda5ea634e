// The --thd-level option and the "distortion" JSON of valvenix-cli solve.
#include "solve_distortion.h"

#include "solver/distortion.h"
#include "util/format.h"

#include <cmath>

namespace cli {

namespace {
void addHarmonics(Json& o, const Harmonics& h) {
    o["fundamental"] = h.fundamental;
    if (!h.resolved) {
        o["resolved"] = false;
        return;
    }
    for (int k = 2; k <= 5; ++k)
        o[strFormat("h%d", k)] = h.relative(k);
    o["thd"] = h.thd;
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

Json distortionJson(const SolveResult& r) {
    if (r.distortion) {
        const StageDistortion& d = *r.distortion;
        Json o = Json::object();
        o["level"] = d.level;
        o["beyond_swing"] = d.beyondSwing;
        if (d.beyondSwing) {
            o["max_level"] = d.maxLevel;
        } else {
            o["input"] = d.input;
            addHarmonics(o, d.harmonics);
        }
        return o;
    }
    if (!r.power)
        return nullptr;
    // The anode current of a single-ended stage, the primary current of a push-pull pair.
    Json o = Json::object();
    o["current"] = r.power->pushPull ? "primary" : "anode";
    Json cycles = Json::array();
    const std::vector<Harmonics> all = powerHarmonics(*r.power);
    for (std::size_t i = 0; i < all.size(); ++i) {
        Json cycle = Json::object();
        cycle["swing"] = r.power->cycles[i].swing;
        addHarmonics(cycle, all[i]);
        cycles.push_back(std::move(cycle));
    }
    o["cycles"] = std::move(cycles);
    return o;
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
