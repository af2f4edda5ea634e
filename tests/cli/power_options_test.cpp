// valvenix-cli solve: the advanced push-pull options and the bandwidth options a solver window
// starts with.
#include "cli_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonObject json(const CliRun& r) {
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

// Output power at the secondary of the last cycle.
double lastPower(const QJsonObject& j) {
    const QJsonArray cycles = j["power"].toObject()["cycles"].toArray();
    return cycles.isEmpty() ? -1 : cycles.last().toObject()["Psec"].toDouble();
}

const QStringList kC41 = {"solve", "C41", "LBtube=300B", "EdVb=400", "EdVg=-80", "EdZaa=5k", "--json"};
} // namespace

TEST_F(CliFixture, LoadFunctionAndStiffnessReachThePushPullAnalysis) {
    const double halfLoad = lastPower(json(run(kC41)));
    ASSERT_GT(halfLoad, 0);
    EXPECT_DOUBLE_EQ(lastPower(json(run(kC41 + QStringList{"--load-function", "f4"}))), halfLoad);
    const double f1 = lastPower(json(run(kC41 + QStringList{"--load-function", "f1"})));
    EXPECT_GT(f1, 0);
    EXPECT_NE(f1, halfLoad);
    const double stiffer = lastPower(json(run(kC41 + QStringList{"--load-function", "f1", "--kza", "2"})));
    EXPECT_NE(stiffer, f1);
    EXPECT_NE(lastPower(json(run(kC41 + QStringList{"--load-function", "f2", "--kzb", "0.5"}))),
              lastPower(json(run(kC41 + QStringList{"--load-function", "f2"}))));
}

TEST_F(CliFixture, PowerOptionsAreRefusedWhereTheyMeanNothing) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"solve", "C1", "--kza", "2"}, "--kza applies to the push-pull stages C39 ... C42 only"},
        {{"solve", "C37", "--load-function", "f1"}, "push-pull"},
        {kC41 + QStringList{"--load-function", "f5"}, "f1, f2, f3 or f4"},
        {kC41 + QStringList{"--kzb", "soft"}, "--kzb"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(CliFixture, BandwidthOptionsDefaultToWhatTheWindowShows) {
    const QStringList c1 = {"solve", "C1", "LBtube=ECC83 / 12AX7", "--json"};
    const QJsonObject plain = json(run(c1));
    const QJsonObject shown =
        json(run(c1 + QStringList{"--freqmin", "1", "--freqmax", "1", "--straycaps", "2"}));
    const QJsonObject onePf = json(run(c1 + QStringList{"--straycaps", "0"}));
    EXPECT_EQ(plain["bode"].toObject()["fH"], shown["bode"].toObject()["fH"]);
    EXPECT_NE(plain["bode"].toObject()["fH"], onePf["bode"].toObject()["fH"]);
    EXPECT_EQ(plain["bode"].toObject()["freqs"].toArray().size(), 46);
}
