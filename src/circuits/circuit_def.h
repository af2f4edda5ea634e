// CircuitDef: everything the system knows of one circuit, in one place. A circuit file fills a
// CircuitSpec (number, title, tubes, library groups, sheet, grid columns, Bode legends, flags,
// validation rules, solve function); defineCircuit derives the rest (code, controls, legends...).
#pragma once

#include "solver/sheet.h"
#include "solver/sheet_validation.h"
#include "solver/solve.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Kinds of model a tube selector lists (the t35 column of the model database).
inline constexpr int kTriode = 3;
inline constexpr int kPentode = 5;

// A tube selector of a sheet and the kind of models it lists.
struct TubeSelector {
    std::string name{}; // LBtube, LBtube1, LBtube2
    int kind = kTriode;
};

// Advanced power parameters put into the solver window for the push-pull stages.
struct AdvancedPowerSetup {
    std::string kza{}; // written with '.'; see withDecimalSeparator
    std::string kzb{};
    int fonction = 3; // item index of RGfonction: "f4 Zaa/2"
};

// What marks an output stage: the line naming it on the power plots, single-ended or push-pull,
// self-biased (cathode resistor) or fixed grid bias. Its sheet carries LBparallel and LBYt.
struct PowerStageSetup {
    std::string line{}; // "self-biased triode SE"
    bool pushPull = false;
    bool selfBiased = true;
};

// The library groups a circuit is listed under besides its tube count ("power stage" follows
// from PowerStageSetup), in the library's order.
enum class LibraryGroup {
    GainStage,
    Buffer,
    CascodeLike,
    PhaseInverter,
    Differential,
    Mixer,
    VoltageRegulator
};

// An edit field of the sheet: its first-use text follows from its name (namingRuleDefault).
struct EditField {
    std::string name{};  // EdVb
    std::string label{}; // the text beside it: "V", "Ra", "Vb : power supply (V)"
    std::string hint{};  // tool tip, empty when none
    int maxLength = 0;   // characters the field takes, 0 for no limit
    // The field holds a value below zero (a grid bias): the window's key filter lets "-" in and the
    // solve takes it. Every other field refuses a negative value on every host.
    bool negative = false;
};

struct CheckBoxField {
    std::string name{}; // CheckBoxCkconnected
    std::string caption{};
};

// The controls of a sheet in their order: edit fields (tab order), check boxes, then the
// selectors (from the tube selectors, or LBparallel, LBtube, LBYt for a power stage), the static
// captions and the result labels the solver fills.
struct SheetSpec {
    std::vector<EditField> edits{};
    std::vector<CheckBoxField> checkBoxes{};
    std::vector<std::string> captions{};
    std::vector<std::string> resultLabels{};
};

// A column of the results grid after the status column: the name a solver fills it by, its legend,
// and how its number is written (gridCell of value × factor with `decimals` decimals). A text
// column (the model name) is written as given.
struct GridColumn {
    std::string name{};
    std::string legend{};
    int decimals = 0;
    double factor = 1;
    bool text = false;
};

// A text column (the model name of a tube selector).
inline GridColumn textColumn(const std::string& name, const std::string& legend) {
    return {name, legend, 0, 1, true};
}

// Columns of a tube's quiescent point: "Vak<suffix>" (V), "Vgk<suffix>" (V) and "Ia<suffix>"
// (mA, from amperes), with the legends "Vak<suffix> (V)", "Vgk<suffix> (V)", "Ia<suffix> (mA)".
std::vector<GridColumn> tubeColumns(const std::string& suffix, int vakDecimals, int vgkDecimals = 3,
                                    int iaDecimals = 3);

// A column table from its parts in order: lists of columns and tube triples,
// columnTable({textColumn("model", "T1"), {"Vb", "Vb (V)"}}, tubeColumns("", 0), {{"Ro", "Ro (Ω)"}}).
std::vector<GridColumn> columnTable(std::vector<GridColumn> a, std::vector<GridColumn> b,
                                    std::vector<GridColumn> c = {}, std::vector<GridColumn> d = {},
                                    std::vector<GridColumn> e = {}, std::vector<GridColumn> f = {},
                                    std::vector<GridColumn> g = {}, std::vector<GridColumn> h = {});

using SolveFunction = void (*)(const SolveRequest&, SolveResult&);

// What a circuit file writes.
struct CircuitSpec {
    int number = 0;
    std::string title{}; // entry of Titres
    int tubeCount = 1;
    std::vector<TubeSelector> tubeSelectors{};
    std::vector<LibraryGroup> groups{};
    bool listedByTubeCount = true; // false keeps the circuit out of its "n-tube" category (C15)
    SheetSpec sheet{};
    std::vector<GridColumn> columns{};      // after the status column
    std::vector<std::string> bodeLegends{}; // none: the circuit has no Bode tab
    bool feedback = true;                   // the global feedback choice is offered
    std::optional<PowerStageSetup> power{};
    std::optional<AdvancedPowerSetup> advanced{};
    std::vector<FieldRange> rules{}; // besides the supply range every sheet with EdVb has
    SolveFunction solve = nullptr;
};

// A circuit as the hosts read it: its CircuitSpec and what follows from it. (The schematic description
// will be attached here.)
struct CircuitDef : CircuitSpec {
    std::string code; // "C%d"
    // Gallery names of every category that lists the circuit: "All", its tube count, its groups.
    std::vector<std::string> categories;
    // The sheet as designed: edit fields (text = first-use default), check boxes (text = caption),
    // selectors (LBparallel, LBYt with items; tube selectors empty), captions and result labels.
    std::vector<SheetControl> controls;
    std::vector<std::pair<std::string, std::string>> fieldLabels; // edit field name -> label beside it
    std::vector<std::pair<std::string, std::string>> hints;       // edit field name -> tool tip
    std::vector<std::pair<std::string, int>> maxLengths;          // edit field name -> max characters
    std::vector<std::string> negativeFields;                      // edit fields that take a value below 0
    std::vector<std::string> gridColumns;                         // legends of `columns`
    bool bodeTab = false;                                         // bodeLegends not empty
    int icon = 1;                                                 // index in the icon stream = tube count
};

// Derives the hosts' fields; the validation rules get the supply range first when the sheet has EdVb.
// The grid bias EdVg of an output stage takes negative values whether or not its file says so.
CircuitDef defineCircuit(CircuitSpec spec);

// The gallery name and tree caption of a library group.
const char* groupGalleryName(LibraryGroup group);
const char* groupTreeCaption(LibraryGroup group);
