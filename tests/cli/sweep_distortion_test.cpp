// valvenix-cli sweep (rows, formats, refused ranges, steps that do not solve) and the distortion
// figures of solve (--thd-level, the "distortion" key).
#include "cli_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonObject json(const CliRun& r) {
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

const QStringList kC1 = {"LBtube=ECC83 / 12AX7", "EdVb=300", "EdRa=100k", "EdRo=1M"};

QJsonArray withoutStatus(QJsonArray row) {
    if (!row.isEmpty())
        row.removeFirst();
    return row;
}
} // namespace

TEST_F(CliFixture, SweepRowsAreThoseOfSingleSolves) {
    const QJsonObject sweep = json(run(QStringList{"sweep", "C1", "EdRk", "500", "5k", "9", "--json"} + kC1));
    EXPECT_EQ(sweep["field"].toString(), "EdRk");
    const QJsonArray rows = sweep["rows"].toArray();
    ASSERT_EQ(rows.size(), 10);
    for (const QJsonValue& v : rows) {
        const QJsonObject row = v.toObject();
        ASSERT_TRUE(row["solved"].toBool()) << row["error"].toString().toStdString();
        const QJsonObject single =
            json(run(QStringList{"solve", "C1", "--json", "EdRk=" + row["text"].toString()} + kC1));
        // The status is the time of day, which may turn between the two runs.
        EXPECT_EQ(withoutStatus(row["grid_row"].toArray()), withoutStatus(single["grid_row"].toArray()))
            << row["text"].toString().toStdString();
    }
    EXPECT_EQ(sweep["columns"].toArray().size(), rows[0].toObject()["grid_row"].toArray().size());
}

TEST_F(CliFixture, SweepTableFormats) {
    const CliRun csv = run(QStringList{"sweep", "C1", "EdVb", "700", "900", "2", "--csv"} + kC1);
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    const QStringList lines = QString::fromStdString(csv.out).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("EdVb,-,T1,Vb (V)")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("700,")) << lines[1].toStdString();
    // 900 V is past the supply's range: an ERROR row with the reason, after the rows that solved.
    EXPECT_TRUE(lines[3].startsWith("900,ERROR,")) << lines[3].toStdString();
    const CliRun tabs = run(QStringList{"sweep", "C1", "EdRk", "1k", "2k", "1", "--log"} + kC1);
    ASSERT_EQ(tabs.exitCode, 0) << tabs.err;
    EXPECT_NE(tabs.out.find("\n1000\t"), std::string::npos) << tabs.out;
    EXPECT_NE(tabs.out.find("\n2000\t"), std::string::npos) << tabs.out;
}

TEST_F(CliFixture, SweepRefusesBadRanges) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"sweep", "C1", "EdVg", "1", "2", "3"}, "C1 has no field EdVg"},
        {{"sweep", "C1", "EdRk", "1k", "1000", "3"}, "two different ends"},
        {{"sweep", "C1", "EdRk", "500", "5k", "0"}, "STEPS"},
        {{"sweep", "C1", "EdRk", "500", "5k", "100000"}, "STEPS"},
        {{"sweep", "C1", "EdRk", "-1", "1", "10", "--log"}, "logarithmic"},
        {{"sweep", "C1", "EdRk", "ten", "1k", "3"}, "FROM is not a number"},
        {{"sweep", "C1", "EdRk", "1", "2", "2.5"}, "whole number"},
        {{"sweep", "C1", "EdRk", "1", "2"}, "sweep needs"},
        {{"sweep", "C1", "EdRk", "1", "2", "3", "--csv", "--json"}, "not both"},
        {{"sweep", "C99", "EdRk", "1", "2", "3"}, "expected a circuit"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.args.join(' ').toStdString();
    }
}

TEST_F(CliFixture, DistortionOfAGainStage) {
    const QJsonObject at10 = json(run(QStringList{"solve", "C1", "--json"} + kC1));
    const QJsonObject d = at10["distortion"].toObject();
    EXPECT_EQ(d["level"].toDouble(), 10);
    EXPECT_FALSE(d["beyond_swing"].toBool());
    EXPECT_NEAR(d["fundamental"].toDouble(), 10, 1e-6);
    EXPECT_GT(d["h2"].toDouble(), d["h3"].toDouble());
    EXPECT_GE(d["thd"].toDouble(), d["h2"].toDouble());
    EXPECT_NE(at10["ac_text"].toString().indexOf("Distortion at 10 V peak out"), -1);

    const QJsonObject at5 = json(run(QStringList{"solve", "C1", "--json", "--thd-level", "5"} + kC1));
    EXPECT_LT(at5["distortion"].toObject()["h2"].toDouble(), d["h2"].toDouble());
    const QJsonObject far = json(run(QStringList{"solve", "C1", "--json", "--thd-level", "400"} + kC1));
    EXPECT_TRUE(far["distortion"].toObject()["beyond_swing"].toBool());
    EXPECT_FALSE(far["distortion"].toObject().contains("thd"));
    EXPECT_NE(far["ac_text"].toString().indexOf("beyond the stage's swing"), -1);

    for (const char* bad : {"0", "-3", "loud"}) {
        const CliRun r = run(QStringList{"solve", "C1", "--thd-level", bad} + kC1);
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_NE(r.err.find("--thd-level"), std::string::npos) << r.err;
    }
    // A circuit without a distortion figure has the key, null.
    const QJsonObject c3 = json(run({"solve", "C3", "--json"}));
    EXPECT_TRUE(c3.contains("distortion"));
    EXPECT_TRUE(c3["distortion"].isNull());
}

TEST_F(CliFixture, DistortionOfAPowerStageCycleByCycle) {
    const QJsonObject j =
        json(run({"solve", "C42", "LBtube=EL34", "EdVb=400", "EdVg=-30", "EdVe=300", "EdZaa=6k6", "--json"}));
    const QJsonObject d = j["distortion"].toObject();
    EXPECT_EQ(d["current"].toString(), "primary");
    const QJsonArray cycles = d["cycles"].toArray();
    ASSERT_EQ(cycles.size(), j["power"].toObject()["cycles"].toArray().size());
    ASSERT_GT(cycles.size(), 2);
    EXPECT_GT(cycles.last().toObject()["thd"].toDouble(), 0);
    const CliRun text = run({"solve", "C42", "LBtube=EL34", "EdVb=400", "EdVg=-30", "EdVe=300", "EdZaa=6k6"});
    EXPECT_NE(text.out.find("Distortion of the primary current at that swing: H2"), std::string::npos)
        << text.out;
}
