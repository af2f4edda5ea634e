// Statements and connection helpers shared by the model-database files (not for other layers).
#pragma once

#include "storage/sqlite3_database.h"

#include <memory>
#include <string>

namespace modeldb {

inline const char* const kCreateTable =
    "CREATE TABLE IF NOT EXISTS triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu "
    "DOUBLE,kvb "
    "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE,kg2 DOUBLE,cgk DOUBLE, cga DOUBLE, cak "
    "DOUBLE,t35 INTEGER,pemax DOUBLE,vemax DOUBLE)";

// The path of a model-database file of the given version in the data folder.
std::string filePath(int version);
// A connection to the current file (created when missing) without the CREATE statement, for callers
// that create the table inside their own transaction.
std::unique_ptr<TSQLite3Database> openFile();
// True when the table exists and holds at least one row.
bool tableHasRows(TSQLite3Database& db);

} // namespace modeldb
