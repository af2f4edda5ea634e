// Reading the examples file and setting a sheet from one circuit's example.
#include "circuits/examples.h"

#include "circuits/registry.h"

#include <algorithm>

namespace {

constexpr std::string_view kCommentKey = "Comment";

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The circuit number of a header "[C<n>]", 0 when the text is no such header.
int sectionCircuit(std::string_view line) {
    if (line.size() < 4 || line.front() != '[' || line.back() != ']' || (line[1] != 'C' && line[1] != 'c'))
        return 0;
    const std::string_view digits = line.substr(2, line.size() - 3);
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos)
        return 0;
    const int n = std::stoi(std::string(digits));
    return n >= 1 && n <= kCircuitCount ? n : 0;
}

std::string problemAt(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

} // namespace

const CircuitExample* ExampleSet::find(int circuit) const {
    const auto it = examples.find(circuit);
    return it == examples.end() ? nullptr : &it->second;
}

ExampleSet parseExamples(std::string_view text) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());
    ExampleSet set;
    CircuitExample* current = nullptr;
    bool skipping = false; // inside a refused section: its lines are not read
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const int n = sectionCircuit(line);
            skipping = true;
            current = nullptr;
            if (n == 0) {
                set.problems.push_back(problemAt(lineNumber, "not a circuit section: " + std::string(line)));
            } else if (set.examples.count(n) != 0) {
                set.problems.push_back(problemAt(lineNumber, "a second example of C" + std::to_string(n)));
            } else {
                current = &set.examples[n];
                current->circuit = n;
                skipping = false;
            }
            continue;
        }
        if (skipping)
            continue;
        const std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos || eq == 0) {
            set.problems.push_back(problemAt(lineNumber, current
                                                             ? "expected NAME=VALUE, not " + std::string(line)
                                                             : "a value before any [C<n>] section"));
            continue;
        }
        const std::string name(trimmed(line.substr(0, eq)));
        const std::string value(trimmed(line.substr(eq + 1)));
        if (name == kCommentKey) {
            if (!current->comment.empty())
                current->comment += ' ';
            current->comment += value;
        } else {
            current->values.emplace_back(name, value);
        }
    }
    return set;
}

std::vector<std::string> applyExample(Sheet& sheet, const CircuitExample& example) {
    std::vector<std::string> problems;
    for (const auto& [name, value] : example.values) {
        SheetControl* c = sheet.find(name);
        if (!c || c->kind == ControlKind::Label || c->kind == ControlKind::Caption) {
            problems.push_back("C" + std::to_string(sheet.circuit) + " has no control " + name);
            continue;
        }
        switch (c->kind) {
        case ControlKind::Edit:
            c->text = value;
            break;
        case ControlKind::CheckBox:
            if (value == "1" || value == "0")
                c->checked = value == "1";
            else
                problems.push_back(name + " is a check box: 1 or 0, not " + value);
            break;
        case ControlKind::Selector: {
            const auto item = std::find(c->items.begin(), c->items.end(), value);
            if (item != c->items.end())
                c->selected = static_cast<int>(item - c->items.begin());
            else
                problems.push_back(name + " has no item " + value);
            break;
        }
        case ControlKind::Label:
        case ControlKind::Caption:
            break;
        }
    }
    return problems;
}
