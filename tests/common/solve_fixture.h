// Builds a solve request the way a first opening of a circuit does, with built-in tube models, and
// checks what every solve of every circuit must satisfy.
#pragma once

#include "builtin_tubes.h"
#include "text_helpers.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "model/builtin_models.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

inline SolveRequest firstOpening(int circuit,
                                 const std::vector<std::pair<const char*, const char*>>& values) {
    SolveRequest rq;
    rq.circuit = circuit;
    rq.sheet = newSheet(circuit);
    for (const TubeSelector& s : circuitInfo(circuit).tubeSelectors) {
        SheetControl* c = rq.sheet.find(s.name);
        for (const auto& m : builtinModels())
            if (m.t35 == s.kind)
                c->items.push_back(m.name);
        std::sort(c->items.begin(), c->items.end());
        c->selected = 0;
    }
    for (const auto& [name, value] : values) {
        SheetControl* c = rq.sheet.find(name);
        EXPECT_NE(c, nullptr) << name;
        if (!c)
            continue;
        if (c->kind == ControlKind::Selector) {
            const auto it = std::find(c->items.begin(), c->items.end(), value);
            c->selected = it == c->items.end() ? -1 : static_cast<int>(it - c->items.begin());
        } else if (c->kind == ControlKind::CheckBox) {
            c->checked = std::string(value) == "1";
        } else {
            c->text = value;
        }
    }
    rq.tubes = builtinFactory();
    rq.timeOfDay = "12:34:56";
    rq.checked = true; // a solver fault (a control the sheet lacks, a grid column filled twice) throws
    return rq;
}

inline std::string labelOf(const SolveResult& r, const std::string& name) {
    for (const auto& [n, t] : r.labels)
        if (n == name)
            return t;
    return "<none>";
}

using Values = std::initializer_list<std::pair<const char*, const char*>>;

inline double sumOf(const TVoltageStacks& stack) {
    double sum = 0;
    for (const auto& item : stack.Items)
        sum += item.valeur;
    return sum;
}

// The grid cell under a legend of the circuit's results grid, as a number.
inline double gridNumber(const SolveResult& r, int circuit, const std::string& legend) {
    const auto& cols = circuitInfo(circuit).gridColumns;
    const auto it = std::find(cols.begin(), cols.end(), legend);
    EXPECT_NE(it, cols.end()) << legend;
    std::string cell = r.gridRow.at(static_cast<std::size_t>(it - cols.begin()) + 1);
    cell.erase(std::remove(cell.begin(), cell.end(), ','), cell.end());
    return std::stod(cell);
}

// What every solve must satisfy, whatever the circuit and the sheet: the grid row has one cell per
// column (the status first), every label it writes is a result label of its sheet, and a stack item
// named after a tube ("T2") carries that tube's anode-cathode voltage (a tube's reference may go on,
// as in "T2 Amplifier"). A loop that stops within its tolerance may have evaluated the tube a little
// apart from the point it reports, hence the 5 mV allowed.
inline void expectCircuitInvariants(const SolveRequest& rq, const SolveResult& r, const std::string& what) {
    const CircuitInfo& info = circuitInfo(rq.circuit);
    if (!r.gridRow.empty()) {
        EXPECT_EQ(r.gridRow.size(), info.gridColumns.size() + 1) << what;
    }
    for (const auto& [name, text] : r.labels) {
        const SheetControl* c = rq.sheet.find(name);
        EXPECT_TRUE(c && c->kind == ControlKind::Label)
            << what << ": label " << name << " is not on the sheet";
    }
    const auto designation = [](const std::string& ref) { return ref.substr(0, ref.find(' ')); };
    for (const TVoltageStacks& stack : r.stacks)
        for (const TItem& item : stack.Items) {
            if (item.nom.size() < 2 || item.nom[0] != 'T' ||
                item.nom.find_first_not_of("0123456789", 1) != std::string::npos)
                continue;
            const auto tube = std::find_if(r.tubes.begin(), r.tubes.end(), [&](const TTube& t) {
                return designation(t.Reference()) == item.nom;
            });
            if (tube == r.tubes.end()) {
                ADD_FAILURE() << what << ": stack item " << item.nom << " names no solved tube";
                continue;
            }
            if (item.valeur != tube->Vak()) { // equal infinities pass
                EXPECT_NEAR(item.valeur, tube->Vak(), 0.005) << what << ": stack item " << item.nom;
            }
        }
}

// Solves a first opening with the values given, expecting the sheet to pass validation and the
// solve to keep the invariants above.
inline SolveResult solved(int circuit, Values values, bool trace = false) {
    SolveRequest rq = firstOpening(circuit, values);
    rq.traceConvergence = trace;
    const SolveOutcome out = solveCommand(rq);
    EXPECT_TRUE(out.solved) << "C" << circuit << ": " << validationText(out.messages);
    expectCircuitInvariants(rq, out.result, "C" + std::to_string(circuit));
    return out.result;
}

// A result label read as a number ("154.6V" reads 154.6).
inline double labelNumber(const SolveResult& r, const std::string& name) {
    return std::stod(labelOf(r, name));
}
