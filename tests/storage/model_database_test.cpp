// The model database on a real SQLite file in a temporary data folder.
#include "temp_data_folder.h"
#include "text_helpers.h"

#include "model/builtin_models.h"
#include "storage/model_database.h"

#include <QFile>
#include <fstream>

class ModelDatabase : public TempDataFolder {};

TEST_F(ModelDatabase, FirstStartSeedsThirtyBuiltInsInTableOrder) {
    EXPECT_EQ(findModelDatabaseVersion(), 0);
    EXPECT_FALSE(prepareModelDatabase().migrated);
    EXPECT_EQ(findModelDatabaseVersion(), 2);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("Valvenix-2.db"))));

    const auto& builtins = builtinModels();
    ASSERT_EQ(builtins.size(), 30u);
    for (std::size_t i = 0; i < builtins.size(); ++i) {
        ModelRow row;
        ASSERT_TRUE(readModel(builtins[i].name, row)) << builtins[i].name;
        EXPECT_EQ(row.id, static_cast<long long>(i + 1)) << builtins[i].name;
        EXPECT_EQ(row.params.comment, builtins[i].comment);
        EXPECT_EQ(row.params.kvb, builtins[i].kvb);
        EXPECT_EQ(row.params.t35, builtins[i].t35);
        EXPECT_EQ(row.params.vemax, builtins[i].vemax);
    }
    EXPECT_EQ(listModelNames().size(), 30u);
    // A second start inserts nothing.
    EXPECT_FALSE(prepareModelDatabase().migrated);
    EXPECT_EQ(listModelNames().size(), 30u);
}

TEST_F(ModelDatabase, ListsByTypeInBinaryNameOrder) {
    prepareModelDatabase();
    const std::vector<std::string> pentodes = {"5881", "6550", "6L6-GC", "6V6-GTA", "EF86",
                                               "EL34", "EL84", "KT66",   "KT88"};
    EXPECT_EQ(listModelNamesByType(5), pentodes);
    EXPECT_EQ(listModelNamesByType(3).size(), 21u);
    const auto all = listModelNames();
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
}

TEST_F(ModelDatabase, BuiltInCommentsNameTheirSource) {
    prepareModelDatabase();
    struct Case {
        const char* name;
        const char* comment;
    } cases[] = {
        {"ECC81 / 12AT7", "ECC81 built-in"},
        {"6V6-GTA", "6V6 built-in\r\n"},
        {"ECF83", "ECF83 built-in\r\nTriode section, Universal Vademecum (1960)\r\nSOA data unknown, so "
                  "copied from ECF86"},
        {"ECF86 / 6GH8", "ECF86 built-in\r\nTriode section, Mazda Belvu Data Book  AKA 6HG8"},
    };
    for (const auto& c : cases) {
        ModelRow row;
        ASSERT_TRUE(readModel(c.name, row));
        EXPECT_EQ(row.params.comment.rfind(c.comment, 0), 0u) << c.name << ": " << row.params.comment;
    }
}

TEST_F(ModelDatabase, RestoreAfterDeleteOrRename) {
    prepareModelDatabase();
    EXPECT_TRUE(seedBuiltInModels().empty());

    deleteModel(findModelId("EL34"));
    EXPECT_EQ(findModelId("EL34"), 0);
    EXPECT_EQ(seedBuiltInModels(), std::vector<std::string>{"EL34"});
    EXPECT_EQ(listModelNames().size(), 30u);

    ModelRow row;
    ASSERT_TRUE(readModel("ECC83 / 12AX7", row));
    row.params.name = "My ECC83";
    row.params.kp = 610;
    updateModel(row.id, row.params);
    EXPECT_EQ(seedBuiltInModels(), std::vector<std::string>{"ECC83 / 12AX7"});
    EXPECT_EQ(loadTubeParams("My ECC83").kp, 610);
    EXPECT_EQ(loadTubeParams("ECC83 / 12AX7").kp, 600);

    // A changed built-in that kept its name is never overwritten.
    ASSERT_TRUE(readModel("EL84", row));
    row.params.kp = 123;
    updateModel(row.id, row.params);
    EXPECT_TRUE(seedBuiltInModels().empty());
    EXPECT_EQ(loadTubeParams("EL84").kp, 123);
}

TEST_F(ModelDatabase, MigratesCustomTriodesOfTheFirstVersion) {
    {
        TSQLite3Database v1(path("Valvenix-1.db"));
        v1.Execute(
            "CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu DOUBLE,kvb "
            "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE)");
        v1.Execute("INSERT INTO triodes VALUES (1,'ECC83 / 12AX7','old',1,2,3,4,5,6,7,8)");
        v1.Execute("INSERT INTO triodes VALUES (2,'6SN7 custom','mine',17,20.5,300,1.3,1500,5,0.02,450)");
    }
    EXPECT_EQ(findModelDatabaseVersion(), 1);
    const ModelDatabaseStart start = prepareModelDatabase();
    EXPECT_TRUE(start.migrated);
    EXPECT_TRUE(start.problems.empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("Valvenix-1.db"))));
    EXPECT_EQ(listModelNames().size(), 31u);

    ModelRow row;
    ASSERT_TRUE(readModel("6SN7 custom", row));
    EXPECT_EQ(row.params.comment, "mine");
    EXPECT_EQ(row.params.kp, 17);
    EXPECT_EQ(row.params.vmax, 450);
    EXPECT_EQ(row.params.t35, 3);
    EXPECT_EQ(row.params.cgk + row.params.cga + row.params.cak + row.params.kg2, 0);
    EXPECT_EQ(row.params.pemax, 0);
    EXPECT_EQ(row.params.vemax, 0);
    // The built-in came from the seed, not from the old row.
    EXPECT_EQ(loadTubeParams("ECC83 / 12AX7").kp, 600);
    // Only once.
    EXPECT_FALSE(prepareModelDatabase().migrated);
}

TEST_F(ModelDatabase, FirstVersionBesideCurrentIsLeftAlone) {
    prepareModelDatabase();
    { TSQLite3Database v1(path("Valvenix-1.db")); }
    EXPECT_FALSE(migrateModelDatabase());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("Valvenix-1.db"))));
}

TEST_F(ModelDatabase, LoadsByExactNameAndUnknownNamesGiveKindZero) {
    prepareModelDatabase();
    TTube t(loadTubeParams("ECC83 / 12AX7"), "T1");
    double ia;
    t.CalculerNK(250, -2, ia);
    EXPECT_NEAR(ia * 1000, 0.952, 0.0005);
    EXPECT_EQ(t.Reference(), "T1");

    const TubeParams none = loadTubeParams("ecc83 / 12ax7"); // names are case-sensitive
    EXPECT_EQ(none.t35, 0);
    EXPECT_EQ(none.kp, 0);
    EXPECT_EQ(none.name, "ecc83 / 12ax7");
    auto made = databaseTubeFactory()("nothing", "T2");
    EXPECT_EQ(made->getType(), "");
    EXPECT_EQ(made->Reference(), "T2");
}

TEST_F(ModelDatabase, NamesWithQuotesSlashesAndNonAsciiAreStoredExactly) {
    prepareModelDatabase();
    const std::string names[] = {"O'Brien \"special\"", "a/b\\c; DROP TABLE triodes;--", "Röhre Ω µ ρ 直热"};
    for (const auto& name : names) {
        TubeParams p;
        p.name = name;
        p.comment = "line 1\r\nline 2";
        p.kp = 100;
        p.t35 = 3;
        const long long id = insertModel(p);
        EXPECT_EQ(findModelId(name), id) << name;
        ModelRow row;
        ASSERT_TRUE(readModel(name, row));
        EXPECT_EQ(row.params.name, name);
        EXPECT_EQ(row.params.comment, p.comment);
    }
    EXPECT_EQ(listModelNames().size(), 33u);
}

TEST(ModelDatabaseErrors, MissingFolderGivesTheSQLiteMessageAndTheFile) {
    setDataFolderOverride("/nonexistent/valvenix-test/");
    try {
        prepareModelDatabase();
        FAIL() << "no error";
    } catch (const SQLiteError& e) {
        EXPECT_EQ(
            std::string(e.what()),
            "SQLite3 error: unable to open database file (file /nonexistent/valvenix-test/Valvenix-2.db)");
    }
    setDataFolderOverride("");
}

TEST_F(ModelDatabase, CorruptFileIsReportedAndLeftUntouched) {
    const std::string garbage(4096, 'x');
    {
        std::ofstream out(path("Valvenix-2.db"), std::ios::binary);
        out << garbage;
    }
    try {
        listModelNames();
        FAIL() << "no error";
    } catch (const SQLiteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "SQLite3 error: file is not a database (file " + path("Valvenix-2.db") + ")");
    }
    EXPECT_THROW(seedBuiltInModels(), SQLiteError);
    EXPECT_EQ(readAll(path("Valvenix-2.db")), garbage);
}

// A connection opened read-only refuses every write with the SQLite message, and the rows stay (it
// holds for root too, unlike a file's permission bits).
TEST_F(ModelDatabase, ReadOnlyConnectionKeepsItsRows) {
    prepareModelDatabase();
    ModelRow row;
    ASSERT_TRUE(readModel("EL34", row));
    TSQLite3Database db;
    db.Open(path("Valvenix-2.db"), TSQLite3Database::Mode::ReadOnly);
    try {
        db.Execute("DELETE FROM triodes WHERE id = " + std::to_string(row.id));
        FAIL() << "no error";
    } catch (const SQLiteError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "SQLite3 error: attempt to write a readonly database (file " + path("Valvenix-2.db") + ")");
    }
    db.Close();
    EXPECT_EQ(listModelNames().size(), 30u);
    EXPECT_TRUE(readModel("EL34", row));
    EXPECT_THROW(db.Open(path("missing.db"), TSQLite3Database::Mode::ReadOnly), SQLiteError);
}
