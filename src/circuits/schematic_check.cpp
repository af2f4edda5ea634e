// Checks of a read schematic against its circuit's sheet and its own drawing area.
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "circuits/schematic_geometry.h"
#include "util/format.h"

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

// A point in grid units, as the descriptions write it.
std::string gridPoint(SchematicPoint p) {
    return strFormat("%g,%g", static_cast<double>(p.x) / kSchematicGrid,
                     static_cast<double>(p.y) / kSchematicGrid);
}

struct Segment {
    SchematicPoint a, b;
    // 2 where the point lies inside the segment, 1 at either end, 0 off it.
    int touches(SchematicPoint p) const {
        if (p == a || p == b)
            return 1;
        const bool inX = p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x);
        const bool inY = p.y >= std::min(a.y, b.y) && p.y <= std::max(a.y, b.y);
        return inX && inY && (a.x == b.x ? p.x == a.x : p.y == a.y) ? 2 : 0;
    }
};

// Wires and terminals: every end of a wire or a part meets something, three or more branches meet
// at a dot, and a dot joins three branches at least. Two wires that cross without a dot are not joined.
void checkConnections(const Schematic& s, std::vector<std::string>& problems) {
    struct Terminal {
        SchematicPoint p;
        const SchematicSymbol* owner;
    };
    std::vector<Segment> segments;
    std::vector<Terminal> terminals;
    std::vector<const SchematicSymbol*> dots;
    for (const SchematicSymbol& sym : s.symbols) {
        if (sym.kind == SymbolKind::Wire) {
            for (std::size_t i = 1; i < sym.points.size(); ++i)
                segments.push_back({sym.points[i - 1], sym.points[i]});
        } else if (sym.kind == SymbolKind::Junction) {
            dots.push_back(&sym);
        }
        for (SchematicPoint p : schematic_geometry::terminalsOf(sym))
            terminals.push_back({p, &sym});
    }
    auto degree = [&](SchematicPoint p) {
        int n = 0;
        for (const Segment& seg : segments)
            n += seg.touches(p);
        for (const Terminal& t : terminals)
            n += t.owner->kind != SymbolKind::Wire && t.p == p;
        return n;
    };
    std::vector<SchematicPoint> reported;
    auto once = [&](SchematicPoint p) {
        if (std::find(reported.begin(), reported.end(), p) != reported.end())
            return false;
        reported.push_back(p);
        return true;
    };
    for (const Terminal& t : terminals) {
        const int n = degree(t.p);
        const bool dotted =
            std::any_of(dots.begin(), dots.end(), [&](auto* d) { return d->points[0] == t.p; });
        if (n < 2 && once(t.p))
            problems.push_back(at(s, t.owner->line) + symbolName(*t.owner) + " ends at " + gridPoint(t.p) +
                               " where nothing meets it");
        else if (n >= 3 && !dotted && once(t.p))
            problems.push_back(at(s, t.owner->line) + "three branches or more meet at " + gridPoint(t.p) +
                               " without a dot");
    }
    for (const SchematicSymbol* d : dots)
        if (degree(d->points[0]) < 3)
            problems.push_back(at(s, d->line) + "the dot at " + gridPoint(d->points[0]) +
                               " joins fewer than three branches");
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
    checkConnections(s, problems);
    return problems;
}
