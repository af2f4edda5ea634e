// The compiled-in schematics, read once, and the colours of their controls and symbols.
#include "circuits/schematic.h"

#include "circuits/catalogue.h"
#include "circuits/schematic_parser.h"
#include "circuits/schematic_texts.h"

#include <optional>

namespace {

struct Entry {
    std::optional<Schematic> schematic;
    std::optional<SchematicError> error;
};

const std::vector<Entry>& entries() {
    static const std::vector<Entry> all = [] {
        std::vector<Entry> out(kCircuitCount + 1);
        for (const SchematicText& t : schematicTexts()) {
            if (t.circuit < 1 || t.circuit > kCircuitCount)
                continue;
            Entry& e = out[static_cast<std::size_t>(t.circuit)];
            try {
                e.schematic = parseSchematic(t.text, t.file, t.circuit);
            } catch (const SchematicError& error) {
                e.error = error;
            }
        }
        return out;
    }();
    return all;
}

bool hasLetter(const std::string& name, char c) {
    return name.find(c) != std::string::npos;
}

} // namespace

const SchematicPlacement* Schematic::placement(const std::string& control) const {
    for (const SchematicPlacement& p : placements)
        if (p.control == control)
            return &p;
    return nullptr;
}

const Schematic& schematicOf(int circuit) {
    if (!hasSchematic(circuit))
        throw std::out_of_range("circuit " + std::to_string(circuit) + " has no schematic description");
    const Entry& e = entries()[static_cast<std::size_t>(circuit)];
    if (e.error)
        throw *e.error;
    return *e.schematic;
}

bool hasSchematic(int circuit) {
    if (circuit < 1 || circuit > kCircuitCount)
        return false;
    const Entry& e = entries()[static_cast<std::size_t>(circuit)];
    return e.schematic.has_value() || e.error.has_value();
}

std::uint32_t controlColour(ControlKind kind, const std::string& name) {
    std::uint32_t colour = 0x000000;
    switch (kind) {
    case ControlKind::Edit:
        // Tested in this order, a later match winning.
        if (hasLetter(name, 'V'))
            colour = 0xFF0000;
        if (hasLetter(name, 'R') || hasLetter(name, 'Z'))
            colour = 0x800000;
        if (hasLetter(name, 'C'))
            colour = 0x008000;
        if (hasLetter(name, 'I'))
            colour = 0x800080;
        break;
    case ControlKind::Label:
    case ControlKind::Caption:
        if (hasLetter(name, 'V'))
            colour = 0xFF0000;
        if (hasLetter(name, 'I'))
            colour = 0x800080;
        if (hasLetter(name, 'R'))
            colour = 0x800000;
        break;
    case ControlKind::CheckBox:
        colour = 0x008080;
        break;
    case ControlKind::Selector:
        break;
    }
    return colour;
}

std::uint32_t symbolColour(SymbolKind kind) {
    switch (kind) {
    case SymbolKind::Resistor:
        return 0x800000;
    case SymbolKind::Capacitor:
        return 0x008000;
    case SymbolKind::Supply:
    case SymbolKind::VoltageSource:
        return 0xFF0000;
    case SymbolKind::CurrentSource:
        return 0x800080;
    default:
        return 0x1A1A1A;
    }
}
