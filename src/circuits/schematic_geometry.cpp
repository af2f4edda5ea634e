// Widget sizes, text widths, tube pins and symbol areas of the schematics.
#include "circuits/schematic_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace schematic_geometry {

namespace {

// Advances of Noto Sans in thousandths of the em, characters 32 to 126.
constexpr std::array<int, 95> kAdvance = {
    260, 269, 408, 646, 572, 831, 732, 225, 300, 300, 551, 572, 268, 322, 268, 372, // space to /
    572, 572, 572, 572, 572, 572, 572, 572, 572, 572, 268, 268, 572, 572, 572, 434, // 0 to ?
    899, 639, 650, 632, 730, 556, 519, 728, 741, 339, 273, 619, 524, 907, 760, 781, // @ to O
    605, 781, 622, 549, 556, 731, 600, 930, 586, 566, 572, 329, 372, 329, 572, 444, // P to _
    281, 561, 615, 480, 615, 564, 344, 615, 618, 258, 258, 534, 258, 935, 618, 605, // ` to o
    615, 615, 413, 479, 361, 618, 508, 786, 529, 510, 470, 380, 551, 380, 572,      // p to ~
};

int advanceOf(char32_t c) {
    if (c >= 32 && c < 127)
        return kAdvance[c - 32];
    switch (c) {
    case U'\u00b5': // micro
        return 623;
    case U'\u03a9': // ohm
        return 782;
    case U'\u00b0':
        return 428;
    default:
        return 1000;
    }
}

// Code points of a UTF-8 text; a broken sequence counts as one wide character per byte.
std::vector<char32_t> codePoints(const std::string& s) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        bool broken = extra < 0 || i + static_cast<std::size_t>(extra) >= s.size();
        for (int k = 1; !broken && k <= extra; ++k)
            broken = (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2;
        if (broken) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3F);
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

SchematicRect spanning(SchematicPoint a, SchematicPoint b, int across) {
    const int x0 = std::min(a.x, b.x), x1 = std::max(a.x, b.x);
    const int y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    if (a.y == b.y)
        return {x0, y0 - across, x1 - x0, 2 * across};
    return {x0 - across, y0, 2 * across, y1 - y0};
}

SchematicRect around(SchematicPoint p, int half) {
    return {p.x - half, p.y - half, 2 * half, 2 * half};
}

} // namespace

int textWidth(const std::string& utf8, bool bold) {
    const double pixels = kSheetPointSize * 96.0 / 72.0; // pixels per em at 100 %
    double width = 0;
    for (char32_t c : codePoints(utf8))
        width += std::ceil(advanceOf(c) * pixels / 1000.0);
    if (bold)
        width *= 1.1;
    return static_cast<int>(std::ceil(width)) + 2;
}

ControlSize controlSize(ControlKind kind, const std::string& label, const std::string& text,
                        bool tubeSelector) {
    switch (kind) {
    case ControlKind::Edit: {
        const int labelWidth = label.empty() ? 0 : textWidth(label) + kLabelGap;
        return {labelWidth + kEditBoxWidth, kEditHeight, labelWidth};
    }
    case ControlKind::Selector: {
        if (tubeSelector)
            return {kTubeSelectorWidth, kSelectorHeight, 0};
        const int w = textWidth(text, true) + kSelectorArrow;
        return {(w + kSchematicGrid - 1) / kSchematicGrid * kSchematicGrid, kSelectorHeight, 0};
    }
    case ControlKind::CheckBox:
        return {kCheckIndicator + textWidth(text), kCheckHeight, 0};
    case ControlKind::Caption:
        return {textWidth(text), kTextHeight, 0};
    case ControlKind::Label:
        return {kResultLabelWidth, kTextHeight, 0};
    }
    return {};
}

SchematicRect textRect(SchematicPoint p, const std::string& text, SchematicTextAlign align) {
    const int w = textWidth(text);
    int left = p.x;
    if (align == SchematicTextAlign::Centre)
        left = p.x - w / 2;
    else if (align == SchematicTextAlign::Right)
        left = p.x - w;
    return {left, p.y - kTextAscent, w, kTextAscent + kTextDescent};
}

std::optional<SchematicPoint> pinOf(const SchematicSymbol& s, const std::string& pin) {
    if (s.points.empty())
        return std::nullopt;
    const SchematicPoint c = s.points.front();
    const int side = s.mirrored ? 1 : -1; // the control grid's side
    const int up = s.flipped ? 1 : -1;    // the anode's side
    if (s.kind == SymbolKind::Triode) {
        const int d = kTriodePin;
        if (pin == "a")
            return SchematicPoint{c.x, c.y + up * d};
        if (pin == "g" || pin == "g1")
            return SchematicPoint{c.x + side * d, c.y};
        if (pin == "k")
            return SchematicPoint{c.x, c.y - up * d};
        return std::nullopt;
    }
    if (s.kind == SymbolKind::Pentode) {
        const int d = kPentodePin;
        if (pin == "a")
            return SchematicPoint{c.x, c.y + up * d};
        if (pin == "g" || pin == "g1")
            return SchematicPoint{c.x + side * d, c.y - up * kSchematicGrid};
        if (pin == "g2")
            return SchematicPoint{c.x - side * d, c.y};
        if (pin == "k")
            return SchematicPoint{c.x, c.y - up * d};
        return std::nullopt;
    }
    if (s.kind == SymbolKind::Transformer) {
        if (pin == "p1")
            return SchematicPoint{c.x - kTransformerPin, c.y - kPrimaryHalf};
        if (pin == "p2")
            return SchematicPoint{c.x - kTransformerPin, c.y + kPrimaryHalf};
        if (pin == "ct" && s.centreTap)
            return SchematicPoint{c.x - kTransformerPin, c.y};
        if (pin == "s1")
            return SchematicPoint{c.x + kTransformerPin, c.y - kSecondaryHalf};
        if (pin == "s2")
            return SchematicPoint{c.x + kTransformerPin, c.y + kSecondaryHalf};
        return std::nullopt;
    }
    if (s.points.size() == 2) {
        if (pin == "1")
            return s.points[0];
        if (pin == "2")
            return s.points[1];
    }
    return std::nullopt;
}

std::vector<SchematicPoint> terminalsOf(const SchematicSymbol& s) {
    if (s.points.empty())
        return {};
    switch (s.kind) {
    case SymbolKind::Wire:
        return {s.points.front(), s.points.back()};
    case SymbolKind::Triode:
    case SymbolKind::Pentode: {
        std::vector<SchematicPoint> pins;
        for (const char* pin : {"a", "g", "k", "g2"})
            if (auto p = pinOf(s, pin))
                pins.push_back(*p);
        return pins;
    }
    case SymbolKind::Transformer: {
        std::vector<SchematicPoint> pins;
        for (const char* pin : {"p1", "ct", "p2", "s1", "s2"})
            if (auto p = pinOf(s, pin))
                pins.push_back(*p);
        return pins;
    }
    case SymbolKind::Junction:
    case SymbolKind::Text:
        return {};
    default:
        return s.points;
    }
}

std::vector<SchematicRect> symbolAreas(const SchematicSymbol& s) {
    std::vector<SchematicRect> areas;
    if (s.points.empty())
        return areas;
    const SchematicPoint p = s.points.front();
    switch (s.kind) {
    case SymbolKind::Wire:
        for (std::size_t i = 1; i < s.points.size(); ++i)
            areas.push_back(spanning(s.points[i - 1], s.points[i], 1));
        break;
    case SymbolKind::Resistor:
        areas.push_back(spanning(s.points[0], s.points.back(), kResistorHalfWidth));
        break;
    case SymbolKind::Capacitor:
        areas.push_back(spanning(s.points[0], s.points.back(), kCapacitorHalfWidth));
        break;
    case SymbolKind::CurrentSource:
    case SymbolKind::VoltageSource:
        areas.push_back(spanning(s.points[0], s.points.back(), kSourceRadius + 1));
        break;
    case SymbolKind::Speaker: {
        // The leads on the axis, the magnet across it and the cone on its right (below a horizontal one).
        const SchematicPoint a = s.points[0], b = s.points.back();
        const int behind = kSpeakerHalfWidth + 2, ahead = kSpeakerHalfWidth + kSpeakerCone + 2;
        if (a.x == b.x)
            areas.push_back({a.x - behind, std::min(a.y, b.y), behind + ahead, std::abs(b.y - a.y)});
        else
            areas.push_back({std::min(a.x, b.x), a.y - behind, std::abs(b.x - a.x), behind + ahead});
        break;
    }
    case SymbolKind::Transformer:
        areas.push_back(
            {p.x - kTransformerPin, p.y - kPrimaryHalf - 2, 2 * kTransformerPin, 2 * kPrimaryHalf + 4});
        break;
    case SymbolKind::Triode:
        areas.push_back(around(p, kTriodePin));
        break;
    case SymbolKind::Pentode:
        areas.push_back(around(p, kPentodePin));
        break;
    case SymbolKind::Ground:
        areas.push_back({p.x - 9, p.y, 18, 14});
        break;
    case SymbolKind::Supply:
        areas.push_back({p.x - 9, p.y - 9, 18, 9});
        if (!s.text.empty())
            areas.push_back(textRect({p.x, p.y - 12}, s.text, SchematicTextAlign::Centre));
        break;
    case SymbolKind::Input:
    case SymbolKind::Output:
        areas.push_back(around(p, 4));
        if (!s.text.empty()) {
            const bool in = s.kind == SymbolKind::Input;
            areas.push_back(textRect({p.x + (in ? -7 : 7), p.y + 4}, s.text,
                                     in ? SchematicTextAlign::Right : SchematicTextAlign::Left));
        }
        break;
    case SymbolKind::Junction:
        areas.push_back(around(p, 3));
        break;
    case SymbolKind::Text:
        areas.push_back(textRect(p, s.text, s.align));
        break;
    }
    return areas;
}

int minimumLength(SymbolKind kind) {
    switch (kind) {
    case SymbolKind::Resistor:
        return kResistorBody;
    case SymbolKind::Capacitor:
        return kCapacitorGap + 2;
    case SymbolKind::CurrentSource:
    case SymbolKind::VoltageSource:
        return 2 * kSourceRadius;
    case SymbolKind::Speaker:
        return 2 * kSpeakerMouth + 2;
    default:
        return 0;
    }
}

const char* symbolKeyword(SymbolKind kind) {
    switch (kind) {
    case SymbolKind::Wire:
        return "wire";
    case SymbolKind::Resistor:
        return "resistor";
    case SymbolKind::Capacitor:
        return "capacitor";
    case SymbolKind::Triode:
        return "triode";
    case SymbolKind::Pentode:
        return "pentode";
    case SymbolKind::Ground:
        return "ground";
    case SymbolKind::Supply:
        return "supply";
    case SymbolKind::Input:
        return "input";
    case SymbolKind::Output:
        return "output";
    case SymbolKind::Junction:
        return "dot";
    case SymbolKind::Text:
        return "text";
    case SymbolKind::CurrentSource:
        return "isource";
    case SymbolKind::VoltageSource:
        return "vsource";
    case SymbolKind::Transformer:
        return "transformer";
    case SymbolKind::Speaker:
        return "speaker";
    }
    return "";
}

} // namespace schematic_geometry
