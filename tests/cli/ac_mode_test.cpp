// valvenix-cli solve --ac: the phase-exact response by default, with phases and its own corners in
// the JSON; --ac classic gives the magnitude arithmetic's output unchanged; other words are refused.
#include "cli_runner.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
QJsonObject bodeOf(const CliRun& r) {
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object()["bode"].toObject();
}
} // namespace

TEST_F(CliFixture, AcModeExactByDefaultClassicOnRequest) {
    const QJsonObject byDefault = bodeOf(run({"solve", "C1", "--json"}));
    const QJsonObject exact = bodeOf(run({"solve", "C1", "--json", "--ac", "exact"}));
    const QJsonObject classic = bodeOf(run({"solve", "C1", "--json", "--ac", "classic"}));
    EXPECT_EQ(byDefault, exact);

    EXPECT_EQ(exact["ac"].toString(), "exact");
    const int n = exact["freqs"].toArray().size();
    ASSERT_EQ(n, 46);
    ASSERT_EQ(exact["phase"].toArray().size(), n);
    for (const QJsonValue g : exact["gains"].toArray())
        EXPECT_EQ(g.toObject()["phase"].toArray().size(), n);
    // C1 inverts: about 180 degrees in the mid-band, leading below it, lagging above it.
    const QJsonArray phase = exact["phase"].toArray();
    EXPECT_NEAR(phase[27].toDouble(), 180, 10); // 1 kHz
    EXPECT_GT(phase[0].toDouble(), 200);
    EXPECT_LT(phase[n - 1].toDouble(), 160);
    EXPECT_TRUE(exact["summary"].toString().endsWith(" (exact)"))
        << exact["summary"].toString().toStdString();

    EXPECT_FALSE(classic.contains("ac"));
    EXPECT_FALSE(classic.contains("phase"));
    EXPECT_FALSE(classic["summary"].toString().contains("exact"));
    // The magnitude arithmetic puts the low corner too high and the high corner too low.
    EXPECT_LT(exact["fL"].toDouble(), classic["fL"].toDouble());
    EXPECT_GT(exact["fH"].toDouble(), classic["fH"].toDouble());
}

TEST_F(CliFixture, AcModeRefusesOtherWords) {
    for (const QString word : {"Exact", "phase", ""}) {
        const CliRun r = run({"solve", "C1", "--ac", word});
        EXPECT_EQ(r.exitCode, 2) << word.toStdString();
        EXPECT_NE(r.err.find("--ac takes exact or classic"), std::string::npos) << r.err;
    }
    const CliRun missing = run({"solve", "C1", "--ac"});
    EXPECT_EQ(missing.exitCode, 2);
}
