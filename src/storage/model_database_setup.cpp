// Filling the model database: the built-in models, the migration of a first-version file, and the
// start-up sequence. Creating the table and inserting its rows happen in one write transaction, taken
// at its start, so an interrupted or concurrent first run never leaves an empty table behind.
#include "storage/model_database.h"

#include "model/builtin_models.h"
#include "storage/model_database_sql.h"

#include <QFile>

#include <algorithm>
#include <cctype>

namespace {
const char* kInsert17 =
    "INSERT INTO triodes "
    "(name,comment,kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35,pemax,vemax) VALUES "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char* kInsert15 =
    "INSERT INTO triodes (name,comment,kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
// The write lock is taken at BEGIN, so a second instance waits here instead of failing later.
const char* kBeginWrite = "BEGIN IMMEDIATE TRANSACTION";
const char* kEnd = "END TRANSACTION";

// The columns a first-version table starts with, read by position.
const char* const kFirstVersionColumns[] = {"id", "name", "comment", "kp",   "mu",  "kvb",
                                            "ex", "kg1",  "pmax",    "imax", "vmax"};
constexpr int kFirstVersionColumnCount = 11;

// Inserts, inside the caller's transaction, every built-in model whose name no row carries.
std::vector<std::string> insertMissingBuiltIns(TSQLite3Database& db) {
    std::vector<std::string> inserted;
    auto exists = db.Prepare("SELECT name FROM triodes WHERE name=?");
    auto insert = db.Prepare(kInsert17);
    for (const TubeParams& m : builtinModels()) {
        exists->BindText(1, m.name);
        const bool present = exists->Step();
        exists->Reset();
        if (present)
            continue;
        insert->BindText(1, m.name);
        insert->BindText(2, m.comment);
        const double values[] = {m.kp,   m.mu,   m.kvb, m.ex,  m.kg1, m.pmax,
                                 m.imax, m.vmax, m.kg2, m.cgk, m.cga, m.cak};
        int p = 3;
        for (double v : values)
            insert->BindDouble(p++, v);
        insert->BindInt(15, m.t35);
        insert->BindDouble(16, m.pemax);
        insert->BindDouble(17, m.vemax);
        insert->Step();
        insert->Reset();
        inserted.push_back(m.name);
    }
    return inserted;
}

bool sameName(const std::string& a, const char* b) {
    const std::string lower(b);
    return a.size() == lower.size() && std::equal(a.begin(), a.end(), lower.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == y;
           });
}

// Refuses a first-version table whose leading columns are not the expected ones.
void checkFirstVersionShape(TSQLite3Statement& rows, const std::string& path) {
    const int count = rows.ColumnCount();
    if (count < kFirstVersionColumnCount)
        throw SQLiteError("the table triodes has " + std::to_string(count) + " columns where " +
                              std::to_string(kFirstVersionColumnCount) + " are expected",
                          path);
    for (int c = 0; c < kFirstVersionColumnCount; ++c)
        if (!sameName(rows.ColumnName(c), kFirstVersionColumns[c]))
            throw SQLiteError("column " + std::to_string(c + 1) + " of the table triodes is \"" +
                                  rows.ColumnName(c) + "\" where \"" + kFirstVersionColumns[c] +
                                  "\" is expected",
                              path);
}

// Why a first-version row cannot be copied, or empty.
std::string uncopiableReason(TSQLite3Statement& rows) {
    std::string reason = unusableNameReason(rows.ColumnIsNull(1), rows.ColumnText(1));
    if (!reason.empty())
        return reason;
    for (int c = 3; c < kFirstVersionColumnCount; ++c)
        if (!rows.ColumnIsNumber(c))
            return std::string("its ") + kFirstVersionColumns[c] + " is not a number";
    return {};
}
} // namespace

std::vector<std::string> seedBuiltInModels() {
    auto db = modeldb::openFile();
    db->Execute(kBeginWrite);
    db->Execute(modeldb::kCreateTable);
    std::vector<std::string> inserted = insertMissingBuiltIns(*db);
    db->Execute(kEnd);
    return inserted;
}

bool seedModelDatabaseWhenEmpty() {
    auto db = modeldb::openFile();
    // Reading first keeps an ordinary start from taking the write lock (and works on a read-only file).
    if (modeldb::tableHasRows(*db))
        return false;
    db->Execute(kBeginWrite);
    db->Execute(modeldb::kCreateTable);
    if (modeldb::tableHasRows(*db)) // another instance seeded while this one waited for the lock
        return false;               // (closing rolls the empty transaction back)
    insertMissingBuiltIns(*db);
    db->Execute(kEnd);
    return true;
}

bool migrateModelDatabase(std::vector<std::string>* problems) {
    if (findModelDatabaseVersion() != 1)
        return false;
    const std::string oldPath = modeldb::filePath(1);
    std::vector<std::string> skipped;
    {
        TSQLite3Database oldDb(oldPath);
        auto rows = oldDb.Prepare("SELECT * FROM triodes WHERE 1");
        checkFirstVersionShape(*rows, oldPath);
        auto db = modeldb::openFile();
        db->Execute(kBeginWrite);
        db->Execute(modeldb::kCreateTable);
        if (modeldb::tableHasRows(*db)) // another instance migrated first
            return false;
        auto insert = db->Prepare(kInsert15);
        const auto& builtin = builtinNamesVersion1();
        while (rows->Step()) {
            const std::string name = rows->ColumnText(1);
            if (std::find(builtin.begin(), builtin.end(), name) != builtin.end())
                continue;
            if (const std::string reason = uncopiableReason(*rows); !reason.empty()) {
                skipped.push_back("row " + std::to_string(rows->ColumnInt(0)) + " of " + oldPath +
                                  " was not copied: " + reason + "; the file is kept");
                continue;
            }
            insert->BindText(1, name);
            insert->BindText(2, rows->ColumnText(2));
            for (int c = 3; c <= 10; ++c)
                insert->BindDouble(c, rows->ColumnDouble(c));
            for (int p = 11; p <= 14; ++p)
                insert->BindDouble(p, 0);
            insert->BindInt(15, 3);
            insert->Step();
            insert->Reset();
        }
        insertMissingBuiltIns(*db);
        db->Execute(kEnd);
    }
    if (skipped.empty())
        QFile::remove(QString::fromStdString(oldPath));
    else if (problems)
        problems->insert(problems->end(), skipped.begin(), skipped.end());
    return true;
}

ModelDatabaseStart prepareModelDatabase() {
    ModelDatabaseStart start;
    try {
        start.migrated = migrateModelDatabase(&start.problems);
    } catch (const SQLiteError& e) {
        start.problems.push_back(std::string(e.what()) +
                                 "; its models were not copied and the file is kept as it is");
    }
    seedModelDatabaseWhenEmpty();
    return start;
}
