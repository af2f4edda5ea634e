// valvenix-cli on a data folder that is new, shared by concurrent runs, or damaged: every run lists the
// models or says why not, and what it prints stays valid UTF-8.
#include "cli_runner.h"

#include "storage/sqlite3_database.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <sstream>
#include <vector>

namespace {
std::size_t lineCount(const std::string& text) {
    std::istringstream in(text);
    std::size_t n = 0;
    for (std::string l; std::getline(in, l);)
        ++n;
    return n;
}
} // namespace

TEST_F(CliFixture, TwentyConcurrentFirstRunsAllListTheThirtyModels) {
    // The race is a matter of milliseconds: a few rounds, each on a fresh folder, give it its chances.
    for (int round = 0; round < 3; ++round) {
        const QString folder = QDir(dataDir()).filePath(QString("round%1").arg(round));
        ASSERT_TRUE(QDir().mkpath(folder));
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 20; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(VALVENIX_CLI), {"--data-dir", folder, "models"});
        }
        for (std::size_t i = 0; i < runs.size(); ++i) {
            QProcess& p = *runs[i];
            ASSERT_TRUE(p.waitForFinished(120000)) << "round " << round << " run " << i;
            const std::string out = p.readAllStandardOutput().toStdString();
            EXPECT_EQ(p.exitCode(), 0)
                << "round " << round << " run " << i << ": " << p.readAllStandardError().toStdString();
            EXPECT_EQ(lineCount(out), 30u) << "round " << round << " run " << i;
        }
        const CliRun after = runCli({"--data-dir", folder, "models"});
        EXPECT_EQ(after.exitCode, 0);
        EXPECT_EQ(lineCount(after.out), 30u) << "round " << round << ": seeded more than once";
    }
}

TEST_F(CliFixture, AnEmptyFileOrTableIsSeeded) {
    const std::string db = file("Valvenix-2.db");
    for (const char* row : {"zero-length file", "table without rows"}) {
        QFile::remove(QString::fromStdString(db));
        if (std::string(row) == "zero-length file")
            QFile(QString::fromStdString(db)).open(QIODevice::WriteOnly);
        else
            TSQLite3Database(db).Execute(
                "CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu DOUBLE,kvb "
                "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE,kg2 DOUBLE,cgk DOUBLE, cga "
                "DOUBLE, cak DOUBLE,t35 INTEGER,pemax DOUBLE,vemax DOUBLE)");
        const CliRun r = run({"models"});
        EXPECT_EQ(r.exitCode, 0) << row << ": " << r.err;
        EXPECT_EQ(lineCount(r.out), 30u) << row;
    }
}

TEST_F(CliFixture, NoUsableModelIsAnErrorNotAnEmptyList) {
    ASSERT_EQ(run({"models"}).exitCode, 0);
    {
        TSQLite3Database db(file("Valvenix-2.db"));
        db.Execute("UPDATE triodes SET name=NULL WHERE t35=5");
    }
    const CliRun pentodes = run({"models", "--type", "pentode"});
    EXPECT_EQ(pentodes.exitCode, 1);
    EXPECT_TRUE(pentodes.out.empty()) << pentodes.out;
    EXPECT_NE(pentodes.err.find("holds no pentode model"), std::string::npos) << pentodes.err;
    EXPECT_NE(pentodes.err.find(file("Valvenix-2.db")), std::string::npos) << pentodes.err;
    EXPECT_EQ(lineCount(run({"models", "--type", "triode"}).out), 21u);
}

TEST_F(CliFixture, UnusableRowsAreSkippedWithAMessageAndOutputStaysUtf8) {
    ASSERT_EQ(run({"models"}).exitCode, 0);
    {
        TSQLite3Database db(file("Valvenix-2.db"));
        // Both would sort before every built-in triode, so a first opening would pick them.
        db.Execute("INSERT INTO triodes (id,name,kp,mu,t35) VALUES (90,NULL,100,20,3)");
        db.Execute("INSERT INTO triodes (id,name,kp,mu,t35) VALUES (91,CAST(X'30FF' AS TEXT),100,20,3)");
    }
    const CliRun models = run({"models"});
    EXPECT_EQ(models.exitCode, 0);
    EXPECT_TRUE(isUtf8(models.out));
    EXPECT_EQ(lineCount(models.out), 30u);
    EXPECT_NE(models.err.find("row 90 of " + file("Valvenix-2.db") +
                              " is left out of the model lists: its "
                              "name is NULL"),
              std::string::npos)
        << models.err;
    EXPECT_NE(models.err.find("row 91 of"), std::string::npos) << models.err;

    const CliRun solve = run({"solve", "C1", "--json"});
    ASSERT_EQ(solve.exitCode, 0) << solve.err;
    EXPECT_TRUE(isUtf8(solve.out));
    const QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(solve.out)).object();
    EXPECT_EQ(j["tubes"].toArray()[0].toObject()["model"].toString(), "12AY7");
}

TEST_F(CliFixture, AMalformedFirstVersionFileIsKeptAndNamed) {
    const std::string old = file("Valvenix-1.db");
    {
        TSQLite3Database v1(old);
        v1.Execute("CREATE TABLE triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE)");
        v1.Execute("INSERT INTO triodes VALUES (1,'Short','',17)");
    }
    const CliRun r = run({"models"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(lineCount(r.out), 30u);
    EXPECT_NE(r.err.find(old), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("the file is kept"), std::string::npos) << r.err;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(old)));
}
