// valvenix-cli solve --example: the circuit's worked example from the data folder, the command line's
// assignments over it, and a clear refusal when the data folder lacks the examples.
#include "cli_runner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

class ExampleCli : public CliFixture {
protected:
    void SetUp() override {
        CliFixture::SetUp();
        const CliRun install = run({"install-data", "--from", VALVENIX_PACKAGED_DIR});
        ASSERT_EQ(install.exitCode, 0) << install.err;
    }
};

QJsonObject tubeOf(const CliRun& r) {
    const QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    return j["tubes"].toArray()[0].toObject();
}

} // namespace

TEST_F(ExampleCli, SolvesTheExampleAndTheCommandLineOverridesIt) {
    const CliRun example = run({"solve", "C37", "--example", "--json"});
    ASSERT_EQ(example.exitCode, 0) << example.err;
    const QJsonObject j = QJsonDocument::fromJson(QByteArray::fromStdString(example.out)).object();
    EXPECT_TRUE(j["ok"].toBool());
    EXPECT_EQ(tubeOf(example)["model"].toString(), "300B");
    // A single-ended 300B as designers run it: 60 to 80 mA with 350 to 450 V on the anode.
    EXPECT_GT(tubeOf(example)["Ia"].toDouble(), 0.060);
    EXPECT_LT(tubeOf(example)["Ia"].toDouble(), 0.080);
    EXPECT_GT(tubeOf(example)["Vak"].toDouble(), 340);
    EXPECT_LT(tubeOf(example)["Vak"].toDouble(), 450);

    // Values after it win, wherever they stand on the line.
    const CliRun lower = run({"solve", "C37", "EdVb=380", "--example", "--json"});
    ASSERT_EQ(lower.exitCode, 0) << lower.err;
    EXPECT_LT(tubeOf(lower)["Vak"].toDouble(), tubeOf(example)["Vak"].toDouble() - 30);
    EXPECT_EQ(tubeOf(lower)["model"].toString(), "300B");
}

TEST_F(CliFixture, ExampleWithoutTheExamplesFileIsRefusedClearly) {
    const CliRun r = run({"solve", "C1", "--example"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("examples.txt cannot be read"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("install-data"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST_F(CliFixture, ExampleThatDoesNotFitItsSheetIsRefusedClearly) {
    QFile examples(QString::fromStdString(file("examples.txt")));
    ASSERT_TRUE(examples.open(QIODevice::WriteOnly));
    examples.write("[C1]\nEdNothing=1\nLBtube=No such tube\n");
    examples.close();
    const CliRun r = run({"solve", "C1", "--example"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("the example of C1 does not fit its sheet"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("C1 has no control EdNothing"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("LBtube has no item No such tube"), std::string::npos) << r.err;

    const CliRun none = run({"solve", "C2", "--example"});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("C2 has no example in examples.txt"), std::string::npos) << none.err;
}
