// SQLite wrapper: connections own their prepared statements and never outlive one user action.
#include "storage/sqlite3_database.h"

#include <sqlite3.h>

namespace {
const char* kNotConnected = "database is not connected.";
}

SQLiteError::SQLiteError(const std::string& message, const std::string& fileName)
    : std::runtime_error("SQLite3 error: " + message + (fileName.empty() ? "" : " (file " + fileName + ")")) {
}

TSQLite3Database::~TSQLite3Database() {
    try {
        Close();
    } catch (...) {
    }
}

void TSQLite3Database::Open(const std::string& fileName, Mode mode) {
    Close();
    fileName_ = fileName;
    sqlite3* db = nullptr;
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(fileName.c_str(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close(db);
        fail(message);
    }
    // Another running instance may hold the file for the length of one of its operations.
    sqlite3_busy_timeout(db, 10000);
    db_ = db;
}

void TSQLite3Database::Close() {
    if (!db_)
        return;
    for (TSQLite3Statement* s : statements_) {
        sqlite3_finalize(s->stmt_);
        s->stmt_ = nullptr;
        s->owner_ = nullptr;
    }
    statements_.clear();
    if (sqlite3_get_autocommit(db_) == 0)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
}

void TSQLite3Database::ensureConnected() const {
    if (!db_)
        throw SQLiteError(kNotConnected);
}

void TSQLite3Database::fail(const std::string& message) const {
    throw SQLiteError(message, fileName_);
}

void TSQLite3Database::check(int rc) const {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
}

void TSQLite3Database::Execute(const std::string& sql) {
    ensureConnected();
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const std::string message = err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        fail(message);
    }
}

std::unique_ptr<TSQLite3Statement> TSQLite3Database::Prepare(const std::string& sql) {
    ensureConnected();
    sqlite3_stmt* stmt = nullptr;
    check(sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr));
    std::unique_ptr<TSQLite3Statement> s(new TSQLite3Statement(this, stmt));
    statements_.insert(s.get());
    return s;
}

long long TSQLite3Database::lastInsertRowId() const {
    ensureConnected();
    return sqlite3_last_insert_rowid(db_);
}

int TSQLite3Database::changes() const {
    ensureConnected();
    return sqlite3_changes(db_);
}

TSQLite3Statement::~TSQLite3Statement() {
    Finalize();
}

void TSQLite3Statement::ensureLive() const {
    if (!owner_ || !stmt_ || !owner_->db_)
        throw SQLiteError(kNotConnected);
}

void TSQLite3Statement::BindText(int index, const std::string& value) {
    ensureLive();
    owner_->check(
        sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
}

void TSQLite3Statement::BindDouble(int index, double value) {
    ensureLive();
    owner_->check(sqlite3_bind_double(stmt_, index, value));
}

void TSQLite3Statement::BindInt(int index, long long value) {
    ensureLive();
    owner_->check(sqlite3_bind_int64(stmt_, index, value));
}

void TSQLite3Statement::BindNull(int index) {
    ensureLive();
    owner_->check(sqlite3_bind_null(stmt_, index));
}

bool TSQLite3Statement::Step() {
    ensureLive();
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    owner_->fail(sqlite3_errmsg(owner_->db_));
}

void TSQLite3Statement::Reset() {
    ensureLive();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::string TSQLite3Statement::ColumnText(int index) const {
    ensureLive();
    const auto* text = sqlite3_column_text(stmt_, index);
    if (!text)
        return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, index)));
}

double TSQLite3Statement::ColumnDouble(int index) const {
    ensureLive();
    return sqlite3_column_double(stmt_, index);
}

long long TSQLite3Statement::ColumnInt(int index) const {
    ensureLive();
    return sqlite3_column_int64(stmt_, index);
}

bool TSQLite3Statement::ColumnIsNull(int index) const {
    ensureLive();
    return sqlite3_column_type(stmt_, index) == SQLITE_NULL;
}

bool TSQLite3Statement::ColumnIsNumber(int index) const {
    ensureLive();
    const int type = sqlite3_column_type(stmt_, index);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

int TSQLite3Statement::ColumnCount() const {
    ensureLive();
    return sqlite3_column_count(stmt_);
}

std::string TSQLite3Statement::ColumnName(int index) const {
    ensureLive();
    const char* name = sqlite3_column_name(stmt_, index);
    return name ? name : std::string();
}

void TSQLite3Statement::Finalize() {
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
    if (owner_) {
        owner_->statements_.erase(this);
        owner_ = nullptr;
    }
}
