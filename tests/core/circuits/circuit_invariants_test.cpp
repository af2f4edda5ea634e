// Every circuit over first-use and realistic sheets, in checked mode: a solver that reads a control
// its sheet lacks or fills its grid row wrongly throws; rows, labels and stacks agree with the sheet,
// the column table and the solved tubes.
#include "solve_fixture.h"

#include <string>

namespace {

// One model per selector kind, and what the sheet's supply becomes.
struct Variant {
    const char* name;
    const char* triode;
    const char* pentode;
    const char* supply;
};

constexpr Variant kVariants[] = {
    {"first use", nullptr, nullptr, nullptr},
    {"ECC83 / EF86", "ECC83 / 12AX7", "EF86", "300"},
    {"ECC82 / EL34", "ECC82 / 12AU7", "EL34", "350"},
    {"300B / KT88", "300B", "KT88", "450"},
};

SolveRequest variantOf(int n, const Variant& v) {
    SolveRequest rq = firstOpening(n, {});
    for (SheetControl& c : rq.sheet.controls) {
        const int kind = selectorTubeKind(circuitInfo(n), c.name);
        const char* model = kind == kTriode ? v.triode : kind == kPentode ? v.pentode : nullptr;
        if (model) {
            const auto it = std::find(c.items.begin(), c.items.end(), model);
            c.selected = static_cast<int>(it - c.items.begin());
        }
        if (c.name == "EdVb" && v.supply)
            c.text = v.supply;
        if (c.name == "EdZaa") // the push-pull sheets start without a primary impedance
            c.text = "5k";
        if (c.name == "EdVg" && powerStageOf(n) && powerStageOf(n)->pushPull)
            c.text = "-30";
    }
    return rq;
}

} // namespace

TEST(CircuitInvariants, EveryCircuitOverSeveralSheets) {
    for (int n = 1; n <= kCircuitCount; ++n) {
        for (const Variant& v : kVariants) {
            const SolveRequest rq = variantOf(n, v);
            const std::string what = circuitInfo(n).code + " " + v.name;
            SolveOutcome out;
            try {
                out = solveCommand(rq);
            } catch (const std::logic_error& e) {
                ADD_FAILURE() << what << ": " << e.what();
                continue;
            }
            ASSERT_TRUE(out.solved) << what << ": " << validationText(out.messages);
            expectCircuitInvariants(rq, out.result, what);
        }
    }
}
