// Builds a solve request the way a first opening of a circuit does, with built-in tube models.
#pragma once

#include "builtin_tubes.h"

#include "circuits/catalogue.h"
#include "model/builtin_models.h"
#include "solver/solve_command.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

inline SolveRequest firstOpening(int circuit,
                                 std::initializer_list<std::pair<const char*, const char*>> values) {
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
    return rq;
}

inline std::string labelOf(const SolveResult& r, const std::string& name) {
    for (const auto& [n, t] : r.labels)
        if (n == name)
            return t;
    return "<none>";
}
