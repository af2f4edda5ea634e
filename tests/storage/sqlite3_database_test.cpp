// The SQLite wrapper: errors, closed connections, statements outliving their connection, rollback.
#include "temp_data_folder.h"

#include "storage/sqlite3_database.h"

class SQLite3Wrapper : public TempDataFolder {};

TEST_F(SQLite3Wrapper, ClosedConnectionIsReported) {
    TSQLite3Database db(path("w.db"));
    db.Execute("CREATE TABLE t (a INTEGER)");
    auto s = db.Prepare("SELECT a FROM t");
    db.Close();
    const std::string expected = "SQLite3 error: database is not connected.";
    for (auto action : std::initializer_list<std::function<void()>>{
             [&] { db.Execute("SELECT 1"); }, [&] { db.Prepare("SELECT 1"); }, [&] { s->Step(); },
             [&] { s->BindInt(1, 2); }, [&] { s->ColumnText(0); }}) {
        try {
            action();
            ADD_FAILURE() << "no error";
        } catch (const SQLiteError& e) {
            EXPECT_EQ(std::string(e.what()), expected);
        }
    }
}

TEST_F(SQLite3Wrapper, OpenTransactionIsRolledBackAtClose) {
    {
        TSQLite3Database db(path("w.db"));
        db.Execute("CREATE TABLE t (a INTEGER)");
        db.Execute("BEGIN TRANSACTION");
        db.Execute("INSERT INTO t VALUES (1)");
        auto s = db.Prepare("SELECT a FROM t"); // still prepared at close
        db.Close();
    }
    TSQLite3Database db(path("w.db"));
    auto s = db.Prepare("SELECT count(*) FROM t");
    ASSERT_TRUE(s->Step());
    EXPECT_EQ(s->ColumnInt(0), 0);
}

TEST_F(SQLite3Wrapper, ErrorsCarrySQLiteMessageAndTheFile) {
    TSQLite3Database db(path("w.db"));
    db.Execute("CREATE TABLE t (a INTEGER UNIQUE)");
    db.Execute("INSERT INTO t VALUES (1)");
    auto duplicate = db.Prepare("INSERT INTO t VALUES (1)");
    const std::string file = " (file " + path("w.db") + ")";
    const struct {
        const char* row;
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {"prepare", [&] { db.Prepare("SELECT x FROM nowhere"); }, "no such table: nowhere"},
        {"execute", [&] { db.Execute("NOT SQL"); }, "near \"NOT\": syntax error"},
        {"step", [&] { duplicate->Step(); }, "UNIQUE constraint failed: t.a"},
    };
    for (const auto& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.row << ": no error";
        } catch (const SQLiteError& e) {
            EXPECT_EQ(std::string(e.what()), "SQLite3 error: " + c.message + file) << c.row;
        }
    }
}

TEST_F(SQLite3Wrapper, BindsAndReadsByPositionWithNullsAsZero) {
    TSQLite3Database db(path("w.db"));
    db.Execute("CREATE TABLE t (s TEXT, d DOUBLE, i INTEGER)");
    auto ins = db.Prepare("INSERT INTO t VALUES (?,?,?)");
    ins->BindText(1, "µΩ");
    ins->BindDouble(2, 2.5);
    ins->BindInt(3, 7);
    EXPECT_FALSE(ins->Step());
    ins->Reset();
    ins->BindNull(1);
    ins->Step();
    auto sel = db.Prepare("SELECT s, d, i FROM t ORDER BY rowid");
    ASSERT_TRUE(sel->Step());
    EXPECT_EQ(sel->ColumnText(0), "µΩ");
    EXPECT_EQ(sel->ColumnDouble(1), 2.5);
    EXPECT_EQ(sel->ColumnInt(2), 7);
    ASSERT_TRUE(sel->Step());
    EXPECT_TRUE(sel->ColumnIsNull(0));
    EXPECT_EQ(sel->ColumnText(0), "");
    EXPECT_EQ(sel->ColumnDouble(1), 0);
    EXPECT_FALSE(sel->Step());
}
