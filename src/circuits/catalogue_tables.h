// Raw tables of the circuit catalogue, kept as literal data; catalogue.cpp turns them into CircuitInfo.
#pragma once

#include <utility>
#include <vector>

namespace catalogue_detail {

struct CircuitData {
    int number = 0;
    const char* title = "";
    int tubes = 1;
    int tubeKind = 3;          // 3 triode, 5 pentode or beam tetrode
    bool twoTubeTypes = false; // LBtube1 and LBtube2 instead of LBtube
    bool bodeTab = false;
    std::vector<const char*> categories;                         // besides the tube count
    std::vector<std::pair<const char*, const char*>> edits;      // name, label, in tab order
    std::vector<std::pair<const char*, const char*>> checkBoxes; // name, caption
    std::vector<const char*> captions;                           // static texts of the schematic
    std::vector<const char*> resultLabels;
};

struct LegendData {
    int number = 0;
    std::vector<const char*> grid; // result-grid columns after "-"
    std::vector<const char*> bode; // curve check boxes, empty without a Bode tab
};

const std::vector<CircuitData>& circuitDataC1toC21();
const std::vector<CircuitData>& circuitDataC22toC42();
// Both halves in circuit order.
const std::vector<CircuitData>& circuitData();
const std::vector<LegendData>& legendData();

} // namespace catalogue_detail
