// Class table of the report markup and the class vocabulary of each display.
#include "markup/css_classes.h"

#include <initializer_list>

namespace {

constexpr int keepSize = -1;
constexpr std::int32_t keepColor = -1;

struct ClassDef {
    const char* name;
    TFontStyles style;
    int size;
    std::int32_t color;
};

TClassesCSS makeTable(std::initializer_list<ClassDef> defs) {
    TClassesCSS table;
    for (const ClassDef& d : defs) {
        // Names within one list are distinct, so no addition is refused.
        [[maybe_unused]] const bool added = table.AddClasseCSS(d.name, "", d.style, d.color, d.size);
    }
    return table;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

unsigned hexValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    return static_cast<unsigned>(c - 'A' + 10);
}

} // namespace

TFontCSS SetFontCss(std::string_view faceName, TFontStyles style, std::int32_t color, int size) {
    TFontCSS f;
    f.Name = std::string(faceName);
    f.Size = size <= 0 ? -1 : size;
    f.Style = style;
    f.Color = color;
    return f;
}

std::optional<std::uint32_t> HTMLToColor(std::string_view rrggbb) {
    if (rrggbb.size() != 6)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : rrggbb) {
        if (!isHexDigit(c))
            return std::nullopt;
        value = value * 16 + hexValue(c);
    }
    return value;
}

bool TClassesCSS::AddClasseCSS(const std::string& name, const TFontCSS& font) {
    return FClasses.emplace(name, font).second;
}

bool TClassesCSS::AddClasseCSS(const std::string& name, std::string_view faceName, TFontStyles style,
                               std::int32_t color, int size) {
    return AddClasseCSS(name, SetFontCss(faceName, style, color, size));
}

const TFontCSS* TClassesCSS::find(const std::string& name) const {
    const auto it = FClasses.find(name);
    return it == FClasses.end() ? nullptr : &it->second;
}

TClassesCSS classesFor(MarkupDisplay display) {
    switch (display) {
    case MarkupDisplay::SolverHeader:
        return makeTable({{"h1", fsBold, 12, 0x994444}, {"h2", fsBold, 12, 0x701010}});
    case MarkupDisplay::SolverDcDetails:
        return makeTable({{"error", fsBold, 12, 0xFF0000},
                          {"vn", fsBold, keepSize, 0x009900},
                          {"vp", fsBold, keepSize, 0x990000},
                          {"i", fsBold, keepSize, 0x73369E},
                          {"mw", fsBold, keepSize, 0xE3780E},
                          {"w", fsBold, keepSize, 0xE3780E},
                          {"npar", fsBold, keepSize, 0x5358AE},
                          {"r", fsBold, keepSize, 0x601010},
                          {"µ", fsBold, keepSize, 0xAA0066},
                          {"gm", fsBold, keepSize, 0x00AA66},
                          {"db", fsBold, keepSize, 0x3333AA}});
    case MarkupDisplay::SolverAcSmallSignal:
        return makeTable({{"r", fsBold, keepSize, 0x601010},
                          {"µ", fsBold, keepSize, 0xAA0066},
                          {"gm", fsBold, keepSize, 0x00AA66},
                          {"db", fsBold, keepSize, 0x3333AA}});
    case MarkupDisplay::CircuitDescription:
        return makeTable({{"h1", fsBold, 12, keepColor},
                          {"error", 0, keepSize, 0xFF0000},
                          {"info", fsBold | fsItalic, keepSize, 0x000080}});
    case MarkupDisplay::Introduction:
        return makeTable({{"h1", fsBold, 12, keepColor}});
    case MarkupDisplay::UsageStatistics:
        return makeTable({{"h1", fsBold, 14, keepColor}, {"rou", fsBold, keepSize, 0xA01010}});
    case MarkupDisplay::AnodeCurvesPanel:
        return makeTable({{"ia", fsBold, keepSize, 0xFF0000}});
    }
    return {};
}

TClassesCSS solverReportClasses() {
    return classesFor(MarkupDisplay::SolverDcDetails);
}
