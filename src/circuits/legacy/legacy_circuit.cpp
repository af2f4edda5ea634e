// The old catalogue rows turned into circuit specs.
#include "circuits/legacy/legacy_circuit.h"

#include <stdexcept>
#include <string>

namespace {

LibraryGroup groupNamed(const std::string& galleryName) {
    for (LibraryGroup g : {LibraryGroup::GainStage, LibraryGroup::Buffer, LibraryGroup::CascodeLike,
                           LibraryGroup::PhaseInverter, LibraryGroup::Differential, LibraryGroup::Mixer,
                           LibraryGroup::VoltageRegulator})
        if (galleryName == groupGalleryName(g))
            return g;
    throw std::logic_error("no library group " + galleryName);
}

} // namespace

CircuitSpec legacySpec(const LegacyCircuitRow& row, SolveFunction solve) {
    if (row.bodeTab == row.bode.empty())
        throw std::logic_error("C" + std::to_string(row.number) + ": Bode tab and legends disagree");
    CircuitSpec spec;
    spec.number = row.number;
    spec.title = row.title;
    spec.tubeCount = row.tubes;
    if (row.twoTubeTypes)
        spec.tubeSelectors = {{"LBtube1", row.tubeKind}, {"LBtube2", row.tubeKind}};
    else
        spec.tubeSelectors = {{"LBtube", row.tubeKind}};
    for (const char* category : row.categories)
        if (std::string(category) != "power stage")
            spec.groups.push_back(groupNamed(category));
    for (const auto& [name, label] : row.edits)
        spec.sheet.edits.push_back({name, label});
    for (const auto& [name, caption] : row.checkBoxes)
        spec.sheet.checkBoxes.push_back({name, caption});
    spec.sheet.captions.assign(row.captions.begin(), row.captions.end());
    spec.sheet.resultLabels.assign(row.resultLabels.begin(), row.resultLabels.end());
    for (const char* legend : row.grid)
        spec.columns.push_back({legend, legend});
    spec.bodeLegends.assign(row.bode.begin(), row.bode.end());
    spec.solve = solve;
    return spec;
}
