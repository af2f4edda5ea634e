// Temporary adapter: the descriptor of a circuit not converted yet, built from its row of the old
// catalogue tables (kept in its family's *_legacy.cpp beside the solver it names). A converted
// circuit writes its CircuitSpec in its own file instead; this folder goes with the last family.
#pragma once

#include "circuits/circuit_def.h"

#include <utility>
#include <vector>

struct LegacyCircuitRow {
    int number = 0;
    const char* title = "";
    int tubes = 1;
    int tubeKind = 3;          // 3 triode, 5 pentode or beam tetrode
    bool twoTubeTypes = false; // LBtube1 and LBtube2 instead of LBtube
    bool bodeTab = false;
    std::vector<const char*> categories;                         // gallery names besides the tube count
    std::vector<std::pair<const char*, const char*>> edits;      // name, label, in tab order
    std::vector<std::pair<const char*, const char*>> checkBoxes; // name, caption
    std::vector<const char*> captions;                           // static texts of the schematic
    std::vector<const char*> resultLabels;
    std::vector<const char*> grid; // result-grid legends after "-"
    std::vector<const char*> bode; // curve check boxes, empty without a Bode tab
};

// The CircuitSpec of a row: grid columns named after their legends (the solver fills the row by position),
// "power stage" left to the caller's PowerStageSetup.
CircuitSpec legacySpec(const LegacyCircuitRow& row, SolveFunction solve);
