// The named grid row: cells written with their column's format, a tube's three columns at once, and
// the faults of a solver (a column filled twice, an unknown name, a column left empty).
#include "builtin_tubes.h"

#include "circuits/grid_row.h"
#include "solver/grid_cells.h"

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

const CircuitDef& sampleCircuit() {
    static const CircuitDef def = [] {
        CircuitSpec spec;
        spec.number = 99;
        spec.columns = {textColumn("model", "T1"), {"Vb", "Vb (V)"}, {"Ptot", "Ptot (mW)", 1, 1000}};
        for (const GridColumn& c : tubeColumns("1", 1))
            spec.columns.push_back(c);
        return defineCircuit(spec);
    }();
    return def;
}

SolveRequest request(bool checked) {
    SolveRequest rq;
    rq.timeOfDay = "12:34:56";
    rq.checked = checked;
    return rq;
}

TTube tubeAtPoint() {
    TTube t = builtinTube("ECC83 / 12AX7");
    double ia = 0;
    t.CalculerNK(150, -1.2, ia);
    return t;
}

// Every column but the tube's, filled once.
void fillAllButTheTube(GridRow& row) {
    row.text("model", "ECC83").set("Vb", 1250.4).set("Ptot", 0.23456);
}

} // namespace

TEST(GridRow, CellsFollowTheColumnTable) {
    const SolveRequest rq = request(true);
    const TTube t = tubeAtPoint();
    GridRow row(rq, sampleCircuit());
    fillAllButTheTube(row);
    row.tube("1", t);
    EXPECT_EQ(row.finish(true), (std::vector<std::string>{"12:34:56", "ECC83", "1,250", "234.6", "150.0",
                                                          "-1.200", gridCell(3, 1000, t.Ia(), rq.locale)}));
    EXPECT_EQ(row.finish(false).front(), "ERROR");
    EXPECT_EQ(sampleCircuit().gridColumns,
              (std::vector<std::string>{"T1", "Vb (V)", "Ptot (mW)", "Vak1 (V)", "Vgk1 (V)", "Ia1 (mA)"}));
}

// A column left without a figure on purpose counts as filled, with an empty cell.
TEST(GridRow, ColumnWithoutFigure) {
    const SolveRequest rq = request(true);
    GridRow row(rq, sampleCircuit());
    row.text("model", "ECC83").set("Vb", 250).none("Ptot").tube("1", tubeAtPoint());
    EXPECT_EQ(row.finish(true).at(3), "");
}

TEST(GridRow, SolverFaultsThrowInCheckedModeOnly) {
    const TTube t = tubeAtPoint();
    const struct {
        const char* name;
        std::function<void(GridRow&)> fill;
        const char* message;
    } cases[] = {
        {"filled twice", [&](GridRow& r) { fillAllButTheTube(r), r.tube("1", t).set("Vb", 300); },
         "C99 fills grid column Vb twice"},
        {"unknown column", [&](GridRow& r) { fillAllButTheTube(r), r.tube("2", t); },
         "C99 has no grid column Vak2"},
        {"left empty", [&](GridRow& r) { fillAllButTheTube(r), r.set("Vak1", 1).set("Ia1", 1e-3); },
         "C99 leaves grid column Vgk1 empty"},
        {"number in a text column", [&](GridRow& r) { r.set("model", 3); },
         "C99 fills grid column model with a number"},
        {"left without a figure, then filled", [&](GridRow& r) { r.none("Ptot").set("Ptot", 1); },
         "C99 fills grid column Ptot twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SolveRequest checked = request(true);
        GridRow strict(checked, sampleCircuit());
        try {
            c.fill(strict);
            strict.finish(true);
            ADD_FAILURE() << "no fault reported";
        } catch (const std::logic_error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        // Unchecked, the row keeps its length and the last value written stands.
        const SolveRequest lenient = request(false);
        GridRow row(lenient, sampleCircuit());
        c.fill(row);
        EXPECT_EQ(row.finish(true).size(), sampleCircuit().columns.size() + 1);
    }
    const SolveRequest lenient = request(false);
    GridRow twice(lenient, sampleCircuit());
    twice.set("Vb", 250).set("Vb", 300);
    EXPECT_EQ(twice.finish(true)[2], "300");
}
