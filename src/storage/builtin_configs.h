// The built-in configuration "Example" of each circuit, read from the packaged examples file of the
// data folder: never stored in the configurations database, so no save or deletion reaches it.
#pragma once

#include "circuits/examples.h"
#include "storage/configurations.h"
#include "storage/packaged_files.h"

#include <string>

// The examples of the data folder. When the file cannot be read, ok is false and error names the
// file and says why.
struct ExamplesRead {
    bool ok = false;
    ExampleSet set;
    std::string error;
};
ExamplesRead readExamples();

// The example as configuration pairs, check boxes stored "-1" / "0" as saved configurations are.
TArrayKeyVal exampleKeyVals(const CircuitExample& example);

// True for a name that the user's configurations may not take: the built-in "Example", in any case,
// blanks around it ignored.
bool isReservedConfigName(const std::string& name);

// The sheet's controls set from the example of its circuit, as a solver window shows a circuit the
// first time: a tube selector whose model is not in its list keeps its choice. False (sheet
// untouched) when the circuit has no example or the file cannot be read.
bool applyExampleForFirstOpening(Sheet& sheet);
