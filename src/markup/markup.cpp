// Report markup parser: tags to attribute changes, text to runs.
#include "markup/markup.h"

#include <utility>

namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

// Text between the end of the first `key` in the tag and its closing ">".
std::string valueAfter(std::string_view tag, std::string_view key) {
    const std::size_t at = tag.find(key);
    const std::size_t from = at + key.size();
    const std::size_t to = tag.size() - 1; // the tag ends with its only ">"
    return from >= to ? std::string() : std::string(tag.substr(from, to - from));
}

// Line breaks to "\n" before tags are looked for (so a tag may swallow a break): every "<br>", every
// CR LF and a lone CR.
std::string replaceBreaks(std::string_view markup) {
    static constexpr std::string_view br = "<br>";
    std::string out;
    out.reserve(markup.size());
    for (std::size_t i = 0; i < markup.size(); ++i) {
        if (markup.substr(i, br.size()) == br) {
            out.push_back('\n');
            i += br.size() - 1;
        } else if (markup[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < markup.size() && markup[i + 1] == '\n')
                ++i;
        } else {
            out.push_back(markup[i]);
        }
    }
    return out;
}

void appendRun(std::vector<TextRun>& runs, std::string_view text, const TextAttributes& attributes) {
    if (text.empty())
        return;
    if (!runs.empty() && runs.back().attributes == attributes)
        runs.back().text += text;
    else
        runs.push_back(TextRun{std::string(text), attributes});
}

} // namespace

TBalise parseBalise(std::string_view tagText, std::size_t position) {
    TBalise tag;
    tag.position = position;
    tag.balise = std::string(tagText);
    tag.longueur = tagText.size();
    TModifiers& m = tag.modifiers;
    m.onBold = startsWith(tagText, "<b") || contains(tagText, " b");
    m.offBold = contains(tagText, "/b");
    m.onItalic = startsWith(tagText, "<i") || contains(tagText, " i");
    m.offItalic = contains(tagText, "/i");
    m.onColor = contains(tagText, "color=");
    m.offColor = contains(tagText, "/color");
    m.onCSS = startsWith(tagText, "<css=");
    m.offCSS = contains(tagText, "</css");
    if (m.onColor)
        tag.attrColor = valueAfter(tagText, "color=");
    if (m.onCSS)
        tag.attribut = valueAfter(tagText, "css=");
    return tag;
}

MarkupParser::MarkupParser(TClassesCSS classes) : FClasses(std::move(classes)) {}

void MarkupParser::apply(const TBalise& tag) {
    const TModifiers& m = tag.modifiers;
    if (m.onCSS) {
        // An unknown class acts as an empty record: it only clears the style.
        static const TFontCSS none{"", 0, 0, 0};
        const TFontCSS* found = FClasses.find(tag.attribut);
        const TFontCSS& css = found ? *found : none;
        FCurrent.style = css.Style;
        if (css.Size > 0)
            FCurrent.size = css.Size;
        if (!css.Name.empty())
            FCurrent.face = css.Name;
        if (css.Color > 0)
            FCurrent.color = static_cast<std::uint32_t>(css.Color);
    }
    if (m.offCSS)
        FCurrent = TextAttributes{};
    if (m.onBold)
        FCurrent.style |= fsBold;
    if (m.offBold)
        FCurrent.style &= ~fsBold;
    if (m.onItalic)
        FCurrent.style |= fsItalic;
    if (m.offItalic)
        FCurrent.style &= ~fsItalic;
    if (m.onColor) {
        // A malformed colour would otherwise cut the rest of a report off; it is ignored instead.
        if (const auto color = HTMLToColor(tag.attrColor))
            FCurrent.color = *color;
    }
    if (m.offColor)
        FCurrent.color.reset();
}

std::vector<TextRun> MarkupParser::addString(std::string_view markup) {
    const std::string text = replaceBreaks(markup);
    const std::string_view view = text;
    std::vector<TextRun> runs;
    std::size_t cursor = 0;
    while (cursor < view.size()) {
        const std::size_t open = view.find('<', cursor);
        if (open == std::string_view::npos)
            break;
        const std::size_t close = view.find('>', open + 1);
        if (close == std::string_view::npos)
            break; // an unclosed "<": the rest, "<" included, is plain text
        appendRun(runs, view.substr(cursor, open - cursor), FCurrent);
        apply(parseBalise(view.substr(open, close - open + 1), open + 1));
        cursor = close + 1;
    }
    if (cursor < view.size())
        appendRun(runs, view.substr(cursor), FCurrent);
    return runs;
}

std::vector<TextRun> parseMarkup(std::string_view markup, const TClassesCSS& classes) {
    MarkupParser parser(classes);
    return parser.addString(markup);
}

std::string markupToPlainText(const std::string& markup) {
    MarkupParser parser;
    std::string out;
    for (const TextRun& run : parser.addString(markup))
        out += run.text;
    return out;
}
