// The worked examples: one realistic design per circuit, read from the text of the packaged
// examples file, and applied to a sheet as the built-in configuration "Example".
#pragma once

#include "solver/sheet.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The name under which every circuit's example is listed beside the user's configurations.
inline constexpr const char* kExampleConfigName = "Example";

struct CircuitExample {
    int circuit = 0;
    std::string comment; // the designer's note: its lines make one paragraph
    // Control name and value, in file order: edit text as typed, a selector's item text, "1" or "0"
    // for a check box.
    std::vector<std::pair<std::string, std::string>> values;
};

struct ExampleSet {
    std::map<int, CircuitExample> examples;
    std::vector<std::string> problems; // "line 12: ..." for each line that could not be read

    // The example of circuit n, or nullptr.
    const CircuitExample* find(int circuit) const;
};

// Reads the examples file. Lines are blank, comments (first character ';'), a section header "[C<n>]"
// for circuit 1 … kCircuitCount, or NAME=VALUE within a section; "Comment=" lines make the note, one
// paragraph. A bad line is listed in problems and skipped; a second section of the same circuit is
// refused whole.
ExampleSet parseExamples(std::string_view text);

// Sets the sheet's controls from the example; controls it does not name keep their state. Returns a
// problem for each value that could not be set: a control the sheet lacks or that takes no value,
// a selector item the list lacks (the selection is kept), a check-box value other than "1" or "0".
std::vector<std::string> applyExample(Sheet& sheet, const CircuitExample& example);
