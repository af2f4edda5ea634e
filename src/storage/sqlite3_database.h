// TSQLite3Database / TSQLite3Statement: a thin layer over the SQLite C API. Every failure throws
// SQLiteError carrying "SQLite3 error: <SQLite's message> (file <path>)".
#pragma once

#include <memory>
#include <set>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class SQLiteError : public std::runtime_error {
public:
    // "SQLite3 error: <message>", followed by " (file <fileName>)" when a file is named.
    explicit SQLiteError(const std::string& message, const std::string& fileName = {});
};

class TSQLite3Statement;

class TSQLite3Database {
public:
    TSQLite3Database() = default;
    explicit TSQLite3Database(const std::string& fileName) { Open(fileName); }
    ~TSQLite3Database();
    TSQLite3Database(const TSQLite3Database&) = delete;
    TSQLite3Database& operator=(const TSQLite3Database&) = delete;

    enum class Mode { ReadWrite, ReadOnly };
    // Opens a database file, the name in UTF-8: read-write (creating it when missing) or read-only
    // (the file must exist; every write then fails).
    void Open(const std::string& fileName, Mode mode = Mode::ReadWrite);
    // Finalizes every statement still prepared, rolls back an open transaction, closes.
    void Close();
    bool connected() const { return db_ != nullptr; }
    // The file given to Open (kept after Close, for messages).
    const std::string& fileName() const { return fileName_; }

    void Execute(const std::string& sql);
    std::unique_ptr<TSQLite3Statement> Prepare(const std::string& sql);
    long long lastInsertRowId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int changes() const;

private:
    friend class TSQLite3Statement;
    void check(int rc) const;
    void ensureConnected() const;

    [[noreturn]] void fail(const std::string& message) const;

    sqlite3* db_ = nullptr;
    std::string fileName_;
    std::set<TSQLite3Statement*> statements_;
};

class TSQLite3Statement {
public:
    ~TSQLite3Statement();
    TSQLite3Statement(const TSQLite3Statement&) = delete;
    TSQLite3Statement& operator=(const TSQLite3Statement&) = delete;

    // Parameters are 1-based.
    void BindText(int index, const std::string& value);
    void BindDouble(int index, double value);
    void BindInt(int index, long long value);
    void BindNull(int index);
    // True when a row is available, false when the statement is done.
    bool Step();
    void Reset();
    // Columns are 0-based; NULL reads as empty text or 0.
    std::string ColumnText(int index) const;
    double ColumnDouble(int index) const;
    long long ColumnInt(int index) const;
    bool ColumnIsNull(int index) const;
    bool ColumnIsNumber(int index) const; // stored as an integer or a real
    int ColumnCount() const;
    std::string ColumnName(int index) const;
    void Finalize();

private:
    friend class TSQLite3Database;
    TSQLite3Statement(TSQLite3Database* owner, sqlite3_stmt* stmt) : owner_(owner), stmt_(stmt) {}
    void ensureLive() const;

    TSQLite3Database* owner_;
    sqlite3_stmt* stmt_;
};
