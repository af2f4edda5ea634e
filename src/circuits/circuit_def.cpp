// Derives a circuit's host fields from what its file writes.
#include "circuits/circuit_def.h"

#include "circuits/catalogue.h"

#include <stdexcept>

namespace {

const std::vector<std::string> kParallelItems = {"1", "2", "3", "4"};
const std::vector<std::string> kYieldItems = {"100", "99", "98", "97", "96", "95", "94",
                                              "93",  "92", "91", "90", "85", "80"};

SheetControl makeControl(const std::string& name, ControlKind kind, const std::string& text = {}) {
    SheetControl c;
    c.name = name;
    c.kind = kind;
    c.text = text;
    return c;
}

SheetControl makeSelector(const std::string& name, const std::vector<std::string>& items) {
    SheetControl c = makeControl(name, ControlKind::Selector);
    c.items = items;
    return c;
}

struct GroupNames {
    LibraryGroup group;
    const char* gallery;
    const char* tree;
};

constexpr GroupNames kGroups[] = {
    {LibraryGroup::GainStage, "gain stage", "Gain stage"},
    {LibraryGroup::Buffer, "buffer", "Buffer"},
    {LibraryGroup::CascodeLike, "cascode-like", "Cascode-like"},
    {LibraryGroup::PhaseInverter, "phase inverter", "Phase inverter"},
    {LibraryGroup::Differential, "differential", "Differential"},
    {LibraryGroup::Mixer, "mixer", "Mixer"},
    {LibraryGroup::VoltageRegulator, "voltage regulator", "Voltage regulator"},
};

const GroupNames& namesOf(LibraryGroup group) {
    for (const GroupNames& g : kGroups)
        if (g.group == group)
            return g;
    throw std::logic_error("library group without names");
}

} // namespace

const char* groupGalleryName(LibraryGroup group) {
    return namesOf(group).gallery;
}

const char* groupTreeCaption(LibraryGroup group) {
    return namesOf(group).tree;
}

std::vector<GridColumn> tubeColumns(const std::string& suffix, int vakDecimals, int vgkDecimals,
                                    int iaDecimals) {
    return {{"Vak" + suffix, "Vak" + suffix + " (V)", vakDecimals},
            {"Vgk" + suffix, "Vgk" + suffix + " (V)", vgkDecimals},
            {"Ia" + suffix, "Ia" + suffix + " (mA)", iaDecimals, 1000}};
}

std::vector<GridColumn> columnTable(std::vector<GridColumn> a, std::vector<GridColumn> b,
                                    std::vector<GridColumn> c, std::vector<GridColumn> d,
                                    std::vector<GridColumn> e, std::vector<GridColumn> f,
                                    std::vector<GridColumn> g, std::vector<GridColumn> h) {
    std::vector<GridColumn> all = std::move(a);
    for (std::vector<GridColumn>* part : {&b, &c, &d, &e, &f, &g, &h})
        all.insert(all.end(), part->begin(), part->end());
    return all;
}

CircuitDef defineCircuit(CircuitSpec spec) {
    CircuitDef def;
    static_cast<CircuitSpec&>(def) = std::move(spec);
    def.code = "C" + std::to_string(def.number);
    def.icon = def.tubeCount;
    def.bodeTab = !def.bodeLegends.empty();

    def.categories.push_back("All");
    if (def.listedByTubeCount && def.tubeCount >= 1 && def.tubeCount <= 4)
        def.categories.push_back(std::to_string(def.tubeCount) + "-tube");
    for (const GroupNames& g : kGroups)
        for (LibraryGroup mine : def.groups)
            if (mine == g.group)
                def.categories.push_back(g.gallery);
    if (def.power)
        def.categories.push_back("power stage");

    bool hasSupply = false;
    for (const EditField& e : def.sheet.edits) {
        def.controls.push_back(makeControl(e.name, ControlKind::Edit, namingRuleDefault(e.name)));
        def.fieldLabels.emplace_back(e.name, e.label);
        if (!e.hint.empty())
            def.hints.emplace_back(e.name, e.hint);
        if (e.maxLength > 0)
            def.maxLengths.emplace_back(e.name, e.maxLength);
        hasSupply = hasSupply || e.name == "EdVb";
        if (e.negative || (def.power && e.name == "EdVg"))
            def.negativeFields.push_back(e.name);
    }
    for (const CheckBoxField& c : def.sheet.checkBoxes)
        def.controls.push_back(makeControl(c.name, ControlKind::CheckBox, c.caption));
    if (def.power) {
        def.controls.push_back(makeSelector("LBparallel", kParallelItems));
        for (const TubeSelector& sel : def.tubeSelectors)
            def.controls.push_back(makeSelector(sel.name, {}));
        def.controls.push_back(makeSelector("LBYt", kYieldItems));
    } else {
        for (const TubeSelector& sel : def.tubeSelectors)
            def.controls.push_back(makeSelector(sel.name, {}));
    }
    int captionNo = 0;
    for (const std::string& caption : def.sheet.captions)
        def.controls.push_back(
            makeControl("Caption" + std::to_string(++captionNo), ControlKind::Caption, caption));
    for (const std::string& label : def.sheet.resultLabels)
        def.controls.push_back(makeControl(label, ControlKind::Label));

    for (const GridColumn& column : def.columns)
        def.gridColumns.push_back(column.legend);
    if (hasSupply)
        def.rules.insert(def.rules.begin(), supplyRange());
    return def;
}
