// Helpers shared by the benchmarks: the offscreen GUI application that pictures need (text needs
// fonts), and solve requests made as a first opening of a circuit with some values set.
#pragma once

#include "circuits/catalogue.h"
#include "model/builtin_models.h"
#include "solver/solve.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

inline void ensureGuiApp() {
    static std::unique_ptr<QGuiApplication> app;
    if (!app && !QGuiApplication::instance()) {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "valvenix_bench";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
}

using BenchValues = std::vector<std::pair<const char*, const char*>>;

// A first opening of circuit n with the given values and the built-in models: a selector gets the
// value as its only item (a model name), an edit field the text; names the sheet lacks are skipped.
inline SolveRequest sheetOf(int n, const BenchValues& values) {
    SolveRequest rq;
    rq.circuit = n;
    rq.sheet = newSheet(n);
    for (const auto& [name, value] : values) {
        SheetControl* c = rq.sheet.find(name);
        if (c && c->kind == ControlKind::Selector) {
            c->items = {value};
            c->selected = 0;
        } else if (c) {
            c->text = value;
        }
    }
    rq.tubes = builtinTubeFactory();
    return rq;
}
