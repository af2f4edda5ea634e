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

std::vector<std::string> listModelNames();
std::vector<std::string> listModelNamesByType(int t35);
// Inserts every built-in model whose name no row carries; returns the names inserted.
std::vector<std::string> seedBuiltInModels();
// Copies the custom triodes of a first-version file; true when a migration ran.
bool migrateModelDatabase();
// Start-up: migrate, then seed when the current file is missing. True when a migration ran
// (the caller tells the user with kModelDatabaseUpdatedMessage).
bool prepareModelDatabase();

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
