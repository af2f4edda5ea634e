// Reads a schematic description line by line: keywords, points on the grid, part pins and the
// controls of the circuit's sheet, with a message naming the file and line for the first fault.
#include "circuits/schematic_parser.h"

#include "circuits/catalogue.h"
#include "circuits/schematic_geometry.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>

using namespace schematic_geometry;

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

// Largest coordinate accepted, in grid units: far beyond any sheet, small enough for int pixels.
constexpr double kMaxCoordinate = 1000;

bool isTwoTerminal(SymbolKind k) {
    return k == SymbolKind::Resistor || k == SymbolKind::Capacitor || k == SymbolKind::CurrentSource ||
           k == SymbolKind::VoltageSource || k == SymbolKind::Speaker;
}

// Parts drawn around one point whose pins any line of the file may name: tubes and transformers.
bool isCentred(SymbolKind k) {
    return k == SymbolKind::Triode || k == SymbolKind::Pentode || k == SymbolKind::Transformer;
}

std::optional<SymbolKind> symbolKind(const std::string& word) {
    static const std::map<std::string, SymbolKind> kinds = {
        {"wire", SymbolKind::Wire},
        {"resistor", SymbolKind::Resistor},
        {"capacitor", SymbolKind::Capacitor},
        {"isource", SymbolKind::CurrentSource},
        {"vsource", SymbolKind::VoltageSource},
        {"triode", SymbolKind::Triode},
        {"pentode", SymbolKind::Pentode},
        {"ground", SymbolKind::Ground},
        {"supply", SymbolKind::Supply},
        {"input", SymbolKind::Input},
        {"output", SymbolKind::Output},
        {"dot", SymbolKind::Junction},
        {"text", SymbolKind::Text},
        {"transformer", SymbolKind::Transformer},
        {"speaker", SymbolKind::Speaker},
    };
    auto it = kinds.find(word);
    if (it == kinds.end())
        return std::nullopt;
    return it->second;
}

std::optional<ControlKind> controlKeyword(const std::string& word) {
    static const std::map<std::string, ControlKind> kinds = {
        {"edit", ControlKind::Edit},         {"check", ControlKind::CheckBox},
        {"selector", ControlKind::Selector}, {"caption", ControlKind::Caption},
        {"label", ControlKind::Label},
    };
    auto it = kinds.find(word);
    if (it == kinds.end())
        return std::nullopt;
    return it->second;
}

const char* kindWord(ControlKind kind) {
    switch (kind) {
    case ControlKind::Edit:
        return "an edit field (edit)";
    case ControlKind::CheckBox:
        return "a check box (check)";
    case ControlKind::Selector:
        return "a selector (selector)";
    case ControlKind::Caption:
        return "a static caption (caption)";
    case ControlKind::Label:
        return "a result label (label)";
    }
    return "";
}

class Reader {
public:
    Reader(const std::string& file, int circuit) : info_(circuitInfo(circuit)) {
        s_.circuit = circuit;
        s_.file = file;
    }

    // The file is read in three passes so that a pin may name a tube or a transformer anywhere in it:
    // first the size, the tubes and the transformers, then the two-terminal parts, then everything else.
    static constexpr int kPasses = 3;

    void read(const std::string& raw, int number, int pass) {
        line_ = number;
        const std::vector<Token> t = tokens(raw);
        if (t.empty())
            return;
        if (t[0].quoted)
            fail("a line starts with a keyword, not with a quoted text");
        const std::string& word = t[0].text;
        const auto kind = symbolKind(word);
        const auto control = controlKeyword(word);
        if (word != "size" && !kind && !control)
            fail("unknown symbol \"" + word + "\"");
        const bool centred = kind && isCentred(*kind);
        const int wanted = word == "size" || centred ? 0 : kind && isTwoTerminal(*kind) ? 1 : 2;
        if (pass != wanted)
            return;
        if (word == "size")
            readSize(t);
        else if (kind)
            readSymbol(*kind, t);
        else
            readControl(*control, t);
    }

    Schematic finish() {
        line_ = 1;
        if (!sized_)
            fail("no size line (size WIDTH HEIGHT, in grid units)");
        std::stable_sort(s_.symbols.begin(), s_.symbols.end(),
                         [](const SchematicSymbol& a, const SchematicSymbol& b) { return a.line < b.line; });
        std::stable_sort(
            s_.placements.begin(), s_.placements.end(),
            [](const SchematicPlacement& a, const SchematicPlacement& b) { return a.line < b.line; });
        return std::move(s_);
    }

private:
    [[noreturn]] void fail(const std::string& what) const { throw SchematicError(s_.file, line_, what); }

    std::vector<Token> tokens(const std::string& raw) const {
        std::vector<Token> out;
        std::size_t i = 0;
        while (i < raw.size()) {
            const char c = raw[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
            } else if (c == '#') {
                break;
            } else if (c == '"') {
                const std::size_t end = raw.find('"', i + 1);
                if (end == std::string::npos)
                    fail("a quoted text has no closing \"");
                out.push_back({raw.substr(i + 1, end - i - 1), true});
                i = end + 1;
            } else {
                std::size_t end = i;
                while (end < raw.size() && raw[end] != ' ' && raw[end] != '\t' && raw[end] != '\r' &&
                       raw[end] != '#' && raw[end] != '"')
                    ++end;
                out.push_back({raw.substr(i, end - i), false});
                i = end;
            }
        }
        return out;
    }

    // A number of grid units, returned in pixels.
    int number(const std::string& text) const {
        double v = 0;
        const char* first = text.data();
        const char* last = first + text.size();
        const auto [end, ec] = std::from_chars(first, last, v);
        if (text.empty() || ec != std::errc() || end != last || !std::isfinite(v) ||
            std::fabs(v) > kMaxCoordinate)
            fail("bad number \"" + text + "\"");
        return static_cast<int>(std::lround(v * kSchematicGrid));
    }

    SchematicPoint point(const Token& t) const {
        if (t.quoted)
            fail("expected a point (x,y or part.pin), found the text \"" + t.text + "\"");
        const std::size_t comma = t.text.find(',');
        if (comma != std::string::npos)
            return {number(t.text.substr(0, comma)), number(t.text.substr(comma + 1))};
        const std::size_t dot = t.text.find('.');
        if (dot == std::string::npos || dot == 0 || !std::isalpha(static_cast<unsigned char>(t.text[0])))
            fail("bad point \"" + t.text + "\" (x,y in grid units, or part.pin such as T1.a)");
        const std::string part = t.text.substr(0, dot), pin = t.text.substr(dot + 1);
        auto it = parts_.find(part);
        if (it == parts_.end())
            fail("unknown part \"" + part +
                 "\" (a pin names a tube or a transformer, or a part defined on an earlier line)");
        const auto p = pinOf(s_.symbols[it->second], pin);
        if (!p)
            fail("part " + part + " has no pin \"" + pin + "\"");
        return *p;
    }

    void readSize(const std::vector<Token>& t) {
        if (sized_)
            fail("a second size line");
        if (t.size() != 3 || t[1].quoted || t[2].quoted)
            fail("size takes the width and the height in grid units");
        s_.width = number(t[1].text);
        s_.height = number(t[2].text);
        if (s_.width <= 0 || s_.height <= 0)
            fail("the size must be positive");
        sized_ = true;
    }

    // Bare words left after the arguments: each must be one of the allowed options.
    std::vector<std::string> options(const std::vector<Token>& t, std::size_t from,
                                     const std::vector<std::string>& allowed) const {
        std::vector<std::string> out;
        for (std::size_t i = from; i < t.size(); ++i) {
            bool ok = !t[i].quoted;
            if (ok) {
                ok = false;
                for (const std::string& a : allowed)
                    ok = ok || t[i].text == a;
            }
            if (!ok)
                fail("unexpected \"" + t[i].text + "\" after the " + t[0].text + "'s arguments");
            out.push_back(t[i].text);
        }
        return out;
    }

    void readName(SchematicSymbol& sym, const Token& t) {
        const std::string& n = t.text;
        bool ok = !t.quoted && !n.empty() && std::isalpha(static_cast<unsigned char>(n[0]));
        for (char c : n)
            ok = ok && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!ok)
            fail("bad part name \"" + n + "\" (letters, digits and _, starting with a letter)");
        auto it = parts_.find(n);
        if (it != parts_.end())
            fail("part " + n + " is defined twice (first on line " +
                 std::to_string(s_.symbols[it->second].line) + ")");
        sym.name = n;
    }

    void readSymbol(SymbolKind kind, const std::vector<Token>& t) {
        SchematicSymbol sym;
        sym.kind = kind;
        sym.line = line_;
        const std::string& word = t[0].text;
        std::size_t next = 1;
        if (kind == SymbolKind::Wire) {
            while (next < t.size())
                sym.points.push_back(point(t[next++]));
            if (sym.points.size() < 2)
                fail("a wire needs two points at least");
            for (std::size_t i = 1; i < sym.points.size(); ++i) {
                const SchematicPoint a = sym.points[i - 1], b = sym.points[i];
                if (a == b)
                    fail("a wire segment of zero length (point " + std::to_string(i + 1) + ")");
                if (a.x != b.x && a.y != b.y)
                    fail("a wire segment is neither horizontal nor vertical (points " + std::to_string(i) +
                         " and " + std::to_string(i + 1) + ")");
            }
        } else if (isTwoTerminal(kind)) {
            if (t.size() < 4)
                fail(word + " takes a name and its two ends");
            readName(sym, t[1]);
            sym.points = {point(t[2]), point(t[3])};
            next = 4;
            const SchematicPoint a = sym.points[0], b = sym.points[1];
            if (a.x != b.x && a.y != b.y)
                fail(word + " " + sym.name + " is neither horizontal nor vertical");
            if (std::abs(a.x - b.x) + std::abs(a.y - b.y) < minimumLength(kind))
                fail(word + " " + sym.name + " is too short for its body");
            const std::vector<std::string> polar = kind == SymbolKind::Capacitor
                                                       ? std::vector<std::string>{"polar"}
                                                       : std::vector<std::string>{};
            sym.polarised = !options(t, next, polar).empty();
        } else if (kind == SymbolKind::Triode || kind == SymbolKind::Pentode) {
            if (t.size() < 3)
                fail(word + " takes a name and the centre of its envelope");
            readName(sym, t[1]);
            sym.points = {point(t[2])};
            for (const std::string& o : options(t, 3, {"mirror", "flip"}))
                (o == "mirror" ? sym.mirrored : sym.flipped) = true;
        } else if (kind == SymbolKind::Transformer) {
            if (t.size() < 3)
                fail("transformer takes a name and the centre of its core");
            readName(sym, t[1]);
            sym.points = {point(t[2])};
            sym.centreTap = !options(t, 3, {"centretap"}).empty();
        } else if (kind == SymbolKind::Text) {
            if (t.size() < 3 || !t[2].quoted)
                fail("text takes a point and a quoted text");
            sym.points = {point(t[1])};
            sym.text = t[2].text;
            for (const std::string& o : options(t, 3, {"left", "centre", "center", "right"}))
                sym.align = o == "left"    ? SchematicTextAlign::Left
                            : o == "right" ? SchematicTextAlign::Right
                                           : SchematicTextAlign::Centre;
        } else {
            if (t.size() < 2)
                fail(word + " takes a point");
            sym.points = {point(t[1])};
            next = 2;
            const bool captioned =
                kind == SymbolKind::Supply || kind == SymbolKind::Input || kind == SymbolKind::Output;
            if (captioned && next < t.size() && t[next].quoted)
                sym.text = t[next++].text;
            options(t, next, {});
        }
        if (!sym.name.empty())
            parts_[sym.name] = s_.symbols.size();
        s_.symbols.push_back(std::move(sym));
    }

    const SheetControl* findControl(const Token& t) {
        for (const SheetControl& c : info_.controls) {
            if (t.quoted ? (c.kind == ControlKind::Caption && c.text == t.text && !placed_.count(c.name))
                         : c.name == t.text)
                return &c;
        }
        if (t.quoted)
            fail("no static caption \"" + t.text + "\" left to place on the sheet of " + info_.code);
        fail("unknown control \"" + t.text + "\" (the sheet of " + info_.code + " has no such control)");
    }

    void readControl(ControlKind kind, const std::vector<Token>& t) {
        if (t.size() < 3)
            fail(t[0].text + " takes a control name and a point");
        const SheetControl& c = *findControl(t[1]);
        if (c.kind != kind)
            fail(c.name + " is " + kindWord(c.kind) + ", not " + kindWord(kind));
        if (auto it = placed_.find(c.name); it != placed_.end())
            fail(c.name + " is placed twice (first on line " + std::to_string(it->second) + ")");
        const SchematicPoint p = point(t[2]);

        SchematicPlacement pl;
        pl.control = c.name;
        pl.kind = kind;
        pl.line = line_;
        const int tubeKind = selectorTubeKind(info_, c.name);
        switch (kind) {
        case ControlKind::Edit:
            pl.label = controlLabel(info_, c.name);
            pl.text = c.text;
            break;
        case ControlKind::Selector:
            pl.text = tubeKind == 5     ? "pentode"
                      : tubeKind == 3   ? "triode"
                      : c.items.empty() ? ""
                                        : c.items[0];
            break;
        case ControlKind::CheckBox:
        case ControlKind::Caption:
            pl.text = c.text;
            break;
        case ControlKind::Label:
            break;
        }
        const ControlSize size = controlSize(kind, pl.label, pl.text, tubeKind != 0);
        pl.width = size.width;
        pl.height = size.height;
        pl.labelWidth = size.labelWidth;

        const std::vector<std::string> anchor =
            options(t, 3, {"left", "right", "centre", "center", "above", "below"});
        if (anchor.size() > 1)
            fail("one anchor at most (left, right, centre, above or below)");
        const std::string a = anchor.empty() ? "left" : anchor[0];
        pl.x = a == "left" ? p.x : a == "right" ? p.x - pl.width : p.x - pl.width / 2;
        pl.y = a == "above" ? p.y - pl.height : a == "below" ? p.y : p.y - pl.height / 2;
        pl.align = a == "left"    ? SchematicTextAlign::Left
                   : a == "right" ? SchematicTextAlign::Right
                                  : SchematicTextAlign::Centre;

        placed_[c.name] = line_;
        s_.placements.push_back(std::move(pl));
    }

    const CircuitInfo& info_;
    Schematic s_;
    std::map<std::string, std::size_t> parts_;
    std::map<std::string, int> placed_;
    bool sized_ = false;
    int line_ = 0;
};

} // namespace

SchematicError::SchematicError(const std::string& f, int l, const std::string& what)
    : std::runtime_error(f + ":" + std::to_string(l) + ": " + what), file(f), line(l) {}

Schematic parseSchematic(const std::string& text, const std::string& file, int circuit) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    Reader reader(file, circuit);
    for (int pass = 0; pass < Reader::kPasses; ++pass)
        for (std::size_t i = 0; i < lines.size(); ++i)
            reader.read(lines[i], static_cast<int>(i) + 1, pass);
    return reader.finish();
}
