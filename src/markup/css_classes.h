// Named text classes of the report markup ("<css=name>"): the font record, the class table and the
// class vocabulary each display of the program defines. Colours here are 0xRRGGBB.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

// Font styles as a bit set; a class replaces the whole set when it is applied.
using TFontStyles = unsigned;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

// What one class does to the text attributes.
struct TFontCSS {
    std::string Name;        // font face; empty keeps the current face
    int Size = -1;           // points; <= 0 keeps the current size
    TFontStyles Style = 0;   // replaces the current style
    std::int32_t Color = -1; // 0xRRGGBB, applied only when > 0 (so a class cannot set pure black)

    bool operator==(const TFontCSS&) const = default;
};

// Fills a record; a size <= 0 is stored as -1 ("keep").
TFontCSS SetFontCss(std::string_view faceName, TFontStyles style, std::int32_t color, int size);

// Reads a colour written as six hexadecimal digits RRGGBB (no "#"), giving 0xRRGGBB.
// Anything else (wrong length, a non-hex character) gives no colour.
std::optional<std::uint32_t> HTMLToColor(std::string_view rrggbb);

// Class name (case-sensitive, may be UTF-8 such as "µ") -> font record.
class TClassesCSS {
public:
    // Adds a class; a name already present is refused (returns false) and the old class is kept.
    [[nodiscard]] bool AddClasseCSS(const std::string& name, const TFontCSS& font);
    [[nodiscard]] bool AddClasseCSS(const std::string& name, std::string_view faceName, TFontStyles style,
                                    std::int32_t color, int size);
    void ClearClassesCSS() { FClasses.clear(); }

    // The class of that name, or nullptr when none is defined.
    const TFontCSS* find(const std::string& name) const;
    std::size_t size() const { return FClasses.size(); }
    const std::map<std::string, TFontCSS>& all() const { return FClasses; }

private:
    std::map<std::string, TFontCSS> FClasses;
};

// The displays of the program that show markup, each with its own class vocabulary.
enum class MarkupDisplay {
    SolverHeader,        // header strip of a solver window: h1, h2
    SolverDcDetails,     // "DC details": error, vn, vp, i, mw, w, npar, r, µ, gm, db
    SolverAcSmallSignal, // "AC small signal": r, µ, gm, db
    CircuitDescription,  // circuit description of the main window: h1, error, info
    Introduction,        // introduction text of the main window: h1
    UsageStatistics,     // usage statistics page: h1, rou
    AnodeCurvesPanel,    // operating-point read-out of the anode-curves window: ia
};

// The classes a display defines when it is created.
TClassesCSS classesFor(MarkupDisplay display);

// The classes of the solver window's report displays (the DC details set, a superset of the AC set):
// the table to use when a circuit report is parsed outside a window.
TClassesCSS solverReportClasses();
