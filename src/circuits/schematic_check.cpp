// Checks of a read schematic against its circuit's sheet and its own drawing area.
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "circuits/schematic_geometry.h"

#include <algorithm>
#include <map>

namespace {

std::string at(const Schematic& s, int line) {
    return s.file + ":" + std::to_string(line) + ": ";
}

std::string symbolName(const SchematicSymbol& sym) {
    std::string out = schematic_geometry::symbolKeyword(sym.kind);
    if (!sym.name.empty())
        out += " " + sym.name;
    else if (!sym.text.empty())
        out += " \"" + sym.text + "\"";
    return out;
}

} // namespace

std::vector<std::string> schematicProblems(const Schematic& s) {
    std::vector<std::string> problems;
    const SchematicRect sheet{0, 0, s.width, s.height};

    std::map<std::string, int> placed;
    for (const SchematicPlacement& p : s.placements) {
        auto [it, fresh] = placed.emplace(p.control, p.line);
        if (!fresh)
            problems.push_back(at(s, p.line) + p.control + " is placed twice (first on line " +
                               std::to_string(it->second) + ")");
    }
    if (s.circuit >= 1 && s.circuit <= kCircuitCount)
        for (const SheetControl& c : circuitInfo(s.circuit).controls)
            if (!placed.count(c.name))
                problems.push_back(s.file + ": " + c.name + " is not placed" +
                                   (c.kind == ControlKind::Caption ? " (caption \"" + c.text + "\")" : ""));

    for (std::size_t i = 0; i < s.placements.size(); ++i) {
        const SchematicPlacement& p = s.placements[i];
        if (!sheet.contains(p.rect()))
            problems.push_back(at(s, p.line) + p.control + " lies outside the drawing");
        for (std::size_t j = i + 1; j < s.placements.size(); ++j)
            if (p.rect().overlaps(s.placements[j].rect()))
                problems.push_back(at(s, s.placements[j].line) + s.placements[j].control + " overlaps " +
                                   p.control + " (line " + std::to_string(p.line) + ")");
    }

    for (const SchematicSymbol& sym : s.symbols) {
        bool outside = false;
        std::vector<const SchematicPlacement*> hit;
        for (const SchematicRect& area : schematic_geometry::symbolAreas(sym)) {
            outside = outside || !sheet.contains(area);
            for (const SchematicPlacement& p : s.placements)
                if (area.overlaps(p.rect()) && std::find(hit.begin(), hit.end(), &p) == hit.end())
                    hit.push_back(&p);
        }
        if (outside)
            problems.push_back(at(s, sym.line) + symbolName(sym) + " lies outside the drawing");
        for (const SchematicPlacement* p : hit)
            problems.push_back(at(s, sym.line) + symbolName(sym) + " runs under " + p->control + " (line " +
                               std::to_string(p->line) + ")");
    }
    return problems;
}
