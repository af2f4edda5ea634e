// Model rows used by the core tests, built without a database file.
#pragma once

#include "model/builtin_models.h"
#include "model/tube.h"

#include <memory>
#include <stdexcept>

inline TubeParams builtinParams(const std::string& name) {
    for (const auto& p : builtinModels())
        if (p.name == name)
            return p;
    throw std::invalid_argument("no built-in model " + name);
}

inline TTube builtinTube(const std::string& name, const std::string& ref = "T1") {
    return TTube(builtinParams(name), ref);
}

// A model row with a name and nothing else, as loading an unknown name gives.
inline TubeParams unknownModel(const std::string& name) {
    TubeParams p;
    p.name = name;
    return p;
}

inline TubeFactory builtinFactory() {
    return builtinTubeFactory();
}

// An ECC83 at Vak 250 V and Vgk -2 V with its small-signal parameters worked out.
inline TTube biasedEcc83() {
    TTube t = builtinTube("ECC83 / 12AX7");
    double ia;
    t.CalculerNK(250, -2, ia);
    t.calculerParamètresIntrinsèques();
    return t;
}
