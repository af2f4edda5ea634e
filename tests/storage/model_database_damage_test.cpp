// The model database after damage: interrupted or empty first runs, unusable rows, malformed
// first-version files. Nothing is lost and no unusable row becomes a model.
#include "temp_data_folder.h"

#include "storage/model_database.h"

#include <QFile>
#include <fstream>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

const char* kCreateV2 =
    "CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu DOUBLE,kvb DOUBLE,ex "
    "DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE,kg2 DOUBLE,cgk DOUBLE, cga DOUBLE, cak DOUBLE,t35 "
    "INTEGER,pemax DOUBLE,vemax DOUBLE)";
const char* kCreateV1 = "CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu "
                        "DOUBLE,kvb DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE)";

// A first run killed inside its seeding transaction: the process ends with the transaction open,
// leaving the table it created earlier and a journal to roll back.
void killedWhileSeeding(const std::string& file) {
    const pid_t child = fork();
    if (child == 0) {
        TSQLite3Database db(file);
        db.Execute(kCreateV2);
        db.Execute("BEGIN TRANSACTION");
        db.Execute("INSERT INTO triodes (name,t35) VALUES ('ECC81 / 12AT7',3)");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}
} // namespace

class ModelDatabaseDamage : public TempDataFolder {};

TEST_F(ModelDatabaseDamage, AnEmptyOrInterruptedFirstRunIsSeededAtTheNextStart) {
    const struct {
        const char* row;
        std::function<void(const std::string& file)> damage;
    } cases[] = {
        {"zero-length file", [](const std::string& f) { std::ofstream(f, std::ios::binary); }},
        {"table without rows", [](const std::string& f) { TSQLite3Database(f).Execute(kCreateV2); }},
        {"killed while seeding", killedWhileSeeding},
        {"every model deleted",
         [](const std::string&) {
             prepareModelDatabase();
             for (const auto& name : listModelNames())
                 deleteModel(findModelId(name));
         }},
    };
    for (const auto& c : cases) {
        const std::string file = path("Valvenix-2.db");
        QFile::remove(QString::fromStdString(file));
        c.damage(file);
        prepareModelDatabase();
        EXPECT_EQ(listModelNames().size(), 30u) << c.row;
        EXPECT_EQ(listModelNamesByType(5).size(), 9u) << c.row;
        EXPECT_FALSE(prepareModelDatabase().migrated) << c.row;
        EXPECT_EQ(listModelNames().size(), 30u) << c.row << ": seeded twice";
    }
}

TEST_F(ModelDatabaseDamage, UnusableRowsAreLeftOutOfTheListsAndNamed) {
    prepareModelDatabase();
    {
        TSQLite3Database db(path("Valvenix-2.db"));
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (101,NULL,1,3)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (102,CAST(X'30FF41' AS TEXT),1,3)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (103,'',1,3)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (104,'two' || char(10) || 'lines',1,5)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (105,'Odd kind',1,7)");
        // One name in two rows of different kinds: the list and the loading agree on the first.
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (107,'Twice',1,5)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (106,'Twice',1,3)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (108,'Bad first',1,7)");
        db.Execute("INSERT INTO triodes (id,name,kp,t35) VALUES (109,'Bad first',1,3)");
    }
    const ModelNameList all = readModelNameList();
    EXPECT_EQ(all.names.size(), 31u);
    const std::pair<long long, const char*> expected[] = {
        {101, "its name is NULL"},
        {103, "its name is empty"},
        {102, "its name is not valid UTF-8"},
        {108, "its kind t35 is 7, neither 3 (triode) nor 5 (pentode)"},
        {109, "row 108 holds the same name"},
        {105, "its kind t35 is 7, neither 3 (triode) nor 5 (pentode)"},
        {107, "row 106 holds the same name"},
        {104, "its name holds a control character"},
    };
    ASSERT_EQ(all.skipped.size(), std::size(expected));
    for (std::size_t i = 0; i < all.skipped.size(); ++i) {
        EXPECT_EQ(all.skipped[i].id, expected[i].first) << i;
        EXPECT_EQ(all.skipped[i].reason, expected[i].second) << i;
    }
    EXPECT_EQ(skippedRowMessage(all.skipped[0]),
              "row 101 of " + path("Valvenix-2.db") + " is left out of the model lists: its name is NULL");

    const ModelNameList triodes = readModelNameList(3);
    EXPECT_EQ(triodes.names.size(), 22u);
    EXPECT_EQ(triodes.skipped.size(), 4u);
    EXPECT_EQ(listModelNamesByType(5).size(), 9u);
    EXPECT_EQ(loadTubeParams("Twice").t35, 3);
}

TEST_F(ModelDatabaseDamage, MalformedFirstVersionFilesAreKeptAndNamed) {
    const struct {
        const char* row;
        std::vector<std::string> statements; // run on Valvenix-1.db; empty: the file is garbage
        std::size_t copied;                  // custom models that reach the current file
        const char* problem;
    } cases[] = {
        {"fewer columns",
         {"CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu DOUBLE)",
          "INSERT INTO triodes VALUES (1,'Short one','x',17,20)"},
         0,
         "the table triodes has 5 columns where 11 are expected"},
        {"a column in the wrong place",
         {"CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,mu DOUBLE,kp DOUBLE,kvb "
          "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE)"},
         0,
         "column 4 of the table triodes is \"mu\" where \"kp\" is expected"},
        {"no table", {"CREATE TABLE other (a INTEGER)"}, 0, "no such table: triodes"},
        {"not a database", {}, 0, "file is not a database"},
        {"a row without a name",
         {kCreateV1, "INSERT INTO triodes VALUES (1,'6SN7 custom','mine',17,20.5,300,1.3,1500,5,0.02,450)",
          "INSERT INTO triodes VALUES (2,NULL,'',1,2,3,4,5,6,7,8)"},
         1,
         "row 2 of "},
        {"text where a number belongs",
         {kCreateV1, "INSERT INTO triodes VALUES (7,'Typo','',17,'twenty',300,1.3,1500,5,0.02,450)"},
         0,
         "row 7 of "},
    };
    for (const auto& c : cases) {
        QFile::remove(QString::fromStdString(path("Valvenix-2.db")));
        const std::string oldFile = path("Valvenix-1.db");
        QFile::remove(QString::fromStdString(oldFile));
        if (c.statements.empty()) {
            std::ofstream(oldFile, std::ios::binary) << std::string(3000, 'v');
        } else {
            TSQLite3Database v1(oldFile);
            for (const auto& sql : c.statements)
                v1.Execute(sql);
        }
        const std::string before = readAll(oldFile);

        const ModelDatabaseStart start = prepareModelDatabase();
        EXPECT_TRUE(exists(oldFile)) << c.row;
        EXPECT_EQ(readAll(oldFile), before) << c.row;
        ASSERT_FALSE(start.problems.empty()) << c.row;
        EXPECT_NE(start.problems[0].find(c.problem), std::string::npos) << c.row << ": " << start.problems[0];
        EXPECT_NE(start.problems[0].find(oldFile), std::string::npos) << c.row << ": " << start.problems[0];
        // The current file works all the same, and no model of zeros came from the old one.
        const auto names = listModelNames();
        EXPECT_EQ(names.size(), 30 + c.copied) << c.row;
        for (const auto& name : names)
            EXPECT_GT(loadTubeParams(name).kp, 0) << c.row << ": " << name;
        // The old file is left alone from now on.
        EXPECT_TRUE(prepareModelDatabase().problems.empty()) << c.row;
        EXPECT_TRUE(exists(oldFile)) << c.row;
    }
}
