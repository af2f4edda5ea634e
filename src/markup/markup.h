// Parser of the report markup (bold, italic, colour, named classes, "<br>") into runs of styled text,
// and its plain-text rendering for the command line and the clipboard.
#pragma once

#include "markup/css_classes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Attributes of a piece of text. Empty / zero / no value stand for the display's default.
struct TextAttributes {
    std::string face;                   // empty: default face
    int size = 0;                       // points; 0: default size
    TFontStyles style = 0;              // fsBold | fsItalic | ...
    std::optional<std::uint32_t> color; // 0xRRGGBB; none: default colour

    bool bold() const { return (style & fsBold) != 0; }
    bool italic() const { return (style & fsItalic) != 0; }
    bool isDefault() const { return *this == TextAttributes{}; }
    bool operator==(const TextAttributes&) const = default;
};

// Text shown with one set of attributes. Line breaks inside the text are "\n".
struct TextRun {
    std::string text;
    TextAttributes attributes;

    bool operator==(const TextRun&) const = default;
};

// What a tag does; one tag may set several flags. They are applied in a fixed order: class on,
// class off, bold on/off, italic on/off, colour on/off (see MarkupParser::apply).
struct TModifiers {
    bool onBold = false;
    bool offBold = false;
    bool onItalic = false;
    bool offItalic = false;
    bool onColor = false;
    bool offColor = false;
    bool onCSS = false;
    bool offCSS = false;

    bool operator==(const TModifiers&) const = default;
};

// One tag of a markup text.
struct TBalise {
    std::size_t position = 0; // 1-based index of the tag's "<" in the text; 0: no further tag
    std::string balise;       // the whole tag, "<" to ">" inclusive
    std::string attribut;     // class name of a class tag (between "css=" and ">")
    std::string attrColor;    // colour text of a colour tag (between "color=" and ">")
    std::size_t longueur = 0; // length of the tag with both angle brackets
    TModifiers modifiers;
};

// Reads the meaning of one whole tag ("<...>") by case-sensitive substring tests on its text.
// position: the 1-based index of its "<" in the text, stored as is.
TBalise parseBalise(std::string_view tagText, std::size_t position = 0);

// Turns markup strings into runs. The attributes in force at the end of one string carry over to the
// next, as in a display that strings are added to one after another; clear() starts afresh.
//
// Rules: "<br>" (exactly that spelling) and CR LF are line breaks; a tag runs from "<" to the first ">"
// and is never shown; unknown tags vanish; there is no nesting ("</b>" ends bold whatever opened it,
// "</css>" restores every default); a class tag replaces the style with the class's own; "&nbsp;" and
// other entities show as written. A "<" with no ">" after it ends the tags: the rest is shown as text.
// A colour tag whose value is not six hexadecimal digits leaves the colour as it was.
class MarkupParser {
public:
    explicit MarkupParser(TClassesCSS classes = {});

    // Runs of the string in order, adjacent runs of equal attributes merged, no empty runs.
    std::vector<TextRun> addString(std::string_view markup);

    // Back to the default attributes, as when the display is emptied.
    void clear() { FCurrent = TextAttributes{}; }

    const TextAttributes& attributes() const { return FCurrent; }
    TClassesCSS& classes() { return FClasses; }
    const TClassesCSS& classes() const { return FClasses; }

private:
    void apply(const TBalise& tag);

    TClassesCSS FClasses;
    TextAttributes FCurrent;
};

// One string parsed from the default attributes.
std::vector<TextRun> parseMarkup(std::string_view markup, const TClassesCSS& classes);

// The text without tags, line breaks as "\n".
std::string markupToPlainText(const std::string& markup);
