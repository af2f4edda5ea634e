// Reading a sheet by control name: a control the sheet lacks (or holds as another kind) reads 0,
// empty or false, and stops the solve in checked mode, where tests run every circuit.
#include "solve_fixture.h"

#include "circuits/solver_common.h"

#include <functional>

TEST(SheetValues, MissingControlsReadEmptyAndThrowWhenChecked) {
    const struct {
        const char* name;
        std::function<bool(const SheetValues&)> readsNothing;
        const char* message;
    } cases[] = {
        {"missing edit field", [](const SheetValues& s) { return s.num("EdRz") == 0; },
         "C1 reads EdRz, which its sheet lacks"},
        {"check box read as a number", [](const SheetValues& s) { return s.num("CheckBoxCkconnected") == 0; },
         "C1 reads CheckBoxCkconnected, which its sheet lacks"},
        {"missing selector", [](const SheetValues& s) { return s.text("LBtube2").empty(); },
         "C1 reads LBtube2, which its sheet lacks"},
        {"missing check box", [](const SheetValues& s) { return !s.checked("CheckBoxRa"); },
         "C1 reads CheckBoxRa, which its sheet lacks"},
        {"result label read as a number", [](const SheetValues& s) { return s.num("LabelVa") == 0; },
         "C1 reads LabelVa, which its sheet lacks"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SolveRequest rq = firstOpening(1, {});
        try {
            c.readsNothing(SheetValues(rq));
            ADD_FAILURE() << "no fault reported";
        } catch (const std::logic_error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        rq.checked = false;
        EXPECT_TRUE(c.readsNothing(SheetValues(rq)));
    }
    const SolveRequest rq = firstOpening(1, {{"EdRa", "47k"}, {"CheckBoxCkconnected", "1"}});
    const SheetValues sheet(rq);
    EXPECT_EQ(sheet.num("EdRa"), 47e3);
    EXPECT_TRUE(sheet.checked("CheckBoxCkconnected"));
    EXPECT_EQ(sheet.text("LBtube"), "12AY7");
}
