// Builds a solve request the way a first opening of a circuit does, with built-in tube models.
#pragma once

#include "builtin_tubes.h"

#include "circuits/catalogue.h"
#include "model/builtin_models.h"
#include "solver/solve_command.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
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

using Values = std::initializer_list<std::pair<const char*, const char*>>;

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

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
