// The tube-model database "Valvenix-%d.db": the triodes table, seeding of the built-in models,
// migration from the first file version, listing, and loading a model into a TTube.
#pragma once

#include "model/tube.h"
#include "storage/sqlite3_database.h"

#include <memory>
#include <string>
#include <vector>

constexpr int kModelDatabaseVersion = 2;

extern const char* const kModelDatabaseUpdatedMessage;

std::string modelDatabaseFileName(int version);
// 2 when the data folder holds the current file, 1 when only the first version, else 0.
int findModelDatabaseVersion();
std::unique_ptr<TSQLite3Database> openModelDatabase();

// A row of the table that no list shows because it cannot serve as a model.
struct SkippedModelRow {
    long long id = 0;
    std::string reason; // e.g. "its name is NULL"
};
// Why a model name is unusable, or empty when it is fine: NULL, empty, not valid UTF-8, or holding
// control characters (a list shows one name per line).
std::string unusableNameReason(bool isNull, const std::string& name);

struct ModelNameList {
    std::vector<std::string> names; // usable names in name order
    std::vector<SkippedModelRow> skipped;
};
// Every model (t35 = 0) or the models of one kind (3 or 5), with the rows left out.
ModelNameList readModelNameList(int t35 = 0);
// "row 31 of <file> is left out of the model lists: its name is NULL"
std::string skippedRowMessage(const SkippedModelRow& row);

// The usable names alone.
std::vector<std::string> listModelNames();
std::vector<std::string> listModelNamesByType(int t35);

// Inserts every built-in model whose name no row carries; returns the names inserted.
std::vector<std::string> seedBuiltInModels();
// Creates the table and inserts the built-ins in one transaction when the table holds no row (a first
// run, or one that was interrupted or raced by another instance). True when it seeded.
bool seedModelDatabaseWhenEmpty();
// Copies the custom triodes of a first-version file and the built-ins in one transaction; true when a
// migration ran. A file whose table does not have the first version's columns throws (naming the
// file) before anything is written. Rows that cannot be copied are skipped and described in
// *problems; the first-version file is deleted only when every row was copied.
bool migrateModelDatabase(std::vector<std::string>* problems = nullptr);

struct ModelDatabaseStart {
    bool migrated = false; // tell the user with kModelDatabaseUpdatedMessage
    // First-version rows or a first-version file left behind, each message naming the file.
    std::vector<std::string> problems;
};
// Start-up: migrate a first-version file, then seed when the table holds no row. A first-version file
// that cannot be migrated is kept, its problem reported, and the current file seeded all the same.
ModelDatabaseStart prepareModelDatabase();

// Loading by exact name; a name no row carries gives all zeros and kind 0.
TubeParams loadTubeParams(const std::string& name);
TubeFactory databaseTubeFactory();

// Whole-row access used by the model editor.
struct ModelRow {
    long long id = 0;
    TubeParams params;
};
bool readModel(const std::string& name, ModelRow& row);
long long findModelId(const std::string& name); // 0 when absent
long long insertModel(const TubeParams& params);
void updateModel(long long id, const TubeParams& params); // t35 is never changed
void deleteModel(long long id);
