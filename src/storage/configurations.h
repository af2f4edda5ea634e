// The circuit-configurations database "Circuits_Configs.db": named snapshots of a circuit's sheet,
// stored as control-name/value pairs under the circuit code "C%d".
#pragma once

#include "solver/sheet.h"
#include "storage/sqlite3_database.h"

#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kConfigsDatabaseFileName = "Circuits_Configs.db";

struct TCircuitConfig {
    long long id = 0;
    std::string code;    // "C12"
    std::string name;    // as given by the user (the dialog trims it)
    std::string comment; // free text, several lines allowed
};

struct TKeyVal {
    long long fkid = 0;
    std::string clef;   // sheet control name: EdRa, LBtube, CheckBoxCkconnected, ...
    std::string valeur; // edit text, selected item text, or "-1" / "0" for a check box
};

using TArrayCircuitConfig = std::vector<TCircuitConfig>;
using TArrayKeyVal = std::vector<TKeyVal>;

// "C<circuit>", the code a configuration is filed under.
std::string configCode(int circuit);

// Opens the file in the data folder (creating the file, never the folder) and makes sure both
// tables exist. Every failure throws SQLiteError.
std::unique_ptr<TSQLite3Database> openConfigsDatabase();

int getCountConfigs(const std::string& code);
// The configurations of one circuit, in query order.
TArrayCircuitConfig getCircuitConfigs(const std::string& code);
// The pairs of one configuration, in row order (fkid filled in).
TArrayKeyVal getKeyVal(long long id);

// Saves under config.code and config.name. A configuration of the same code and name gets the new
// comment and the new values of the keys it already holds; otherwise a new configuration is
// inserted with every pair. Returns the configuration's id.
long long saveConfig(const TCircuitConfig& config, const TArrayKeyVal& pairs);
// Removes the configuration and its pairs; true.
bool deleteCircuitConfig(long long id);

// One pair per edit field, selector and check box of the sheet, in the sheet's order.
TArrayKeyVal sheetKeyVals(const Sheet& sheet);
// Sets each edit field, selector and check box from the first pair of its name; controls without a
// pair keep their state. A selector whose stored text matches no item ends with no selection.
void applyKeyVals(Sheet& sheet, const TArrayKeyVal& pairs);

// Saves the sheet under its circuit's code; returns the configuration's id.
long long saveSheetConfig(const Sheet& sheet, const std::string& name, const std::string& comment);
// Applies configuration id to the sheet (the library tree's "open with configuration").
void applyCircuitConfig(Sheet& sheet, long long id);
