// valvenix-cli solve: the JSON contract, plain text, pictures and refused sheets.
#include "cli_runner.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <fstream>
#include <functional>

namespace {
std::string readFile(const std::string& path) {
    if (QFileInfo(QString::fromStdString(path)).isDir())
        return "<a folder>";
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

QJsonObject parse(const std::string& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << out;
    return doc.object();
}
} // namespace

TEST_F(CliFixture, SolveC1GivesTheReferenceCaseAsJson) {
    const CliRun r = run({"solve", "C1", "LBtube=ECC83 / 12AX7", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject j = parse(r.out);
    EXPECT_EQ(j["circuit"].toString(), "C1");
    EXPECT_TRUE(j["ok"].toBool());
    const QJsonObject t1 = j["tubes"].toArray()[0].toObject();
    EXPECT_EQ(t1["ref"].toString(), "T1");
    EXPECT_NEAR(t1["Ia"].toDouble() * 1000, 0.9538, 0.00005);
    EXPECT_NEAR(t1["Vak"].toDouble(), 153.72, 0.005);
    EXPECT_NEAR(t1["Vgk"].toDouble(), -0.953, 0.0005);
    EXPECT_NEAR(t1["rho"].toDouble(), 48282, 50);
    EXPECT_NEAR(t1["gm"].toDouble() * 1000, 2.0, 0.05);
    EXPECT_NEAR(t1["mu"].toDouble(), 95, 0.5);
    const QJsonObject labels = j["labels"].toObject();
    EXPECT_EQ(labels["LabelVa"].toString(), "154.6V");
    EXPECT_EQ(labels["LabelVk"].toString(), "0.95V");
    EXPECT_EQ(labels["LabelIa"].toString(), "0.95mA");
    const QJsonArray row = j["grid_row"].toArray();
    EXPECT_EQ(j["grid_columns"].toArray().size(), row.size());
    EXPECT_EQ(j["grid_columns"].toArray()[15].toString(), "Aunbyp");
    ASSERT_EQ(row.size(), 16);
    EXPECT_EQ(row[14].toString(), "-59.7");
    EXPECT_EQ(row[15].toString(), "-34.6");
    EXPECT_TRUE(j["ac_text"].toString().contains("32561Ω"));
    EXPECT_TRUE(j["ac_text"].toString().contains("59025Ω"));
    EXPECT_FALSE(j["dc_text"].toString().contains("<"));
    const QJsonObject bode = j["bode"].toObject();
    EXPECT_EQ(bode["freqs"].toArray().size(), 46);
    EXPECT_TRUE(bode["summary"].toString().contains("BW -3dB"));
    EXPECT_TRUE(j["messages"].toArray().isEmpty());
    EXPECT_TRUE(j["power"].isNull());
}

TEST_F(CliFixture, SolveReportsRedVerdictsWithExitZero) {
    const CliRun r = run({"solve", "C1", "EdRk=0", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject j = parse(r.out);
    EXPECT_FALSE(j["ok"].toBool());
    EXPECT_TRUE(j["dc_text"].toString().contains("No convergence !\nVgk > 0"));
    EXPECT_EQ(j["grid_row"].toArray()[0].toString(), "ERROR");
}

TEST_F(CliFixture, SolvePlainTextAndOptions) {
    const CliRun r = run({"solve", "c1", "EdVb=300", "--freqmin", "0", "--freqmax", "3", "--feedback", "7"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Small signal estimations:"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Bandwidth: Max gain"), std::string::npos) << r.out;
}

TEST_F(CliFixture, SolveRefusesBadSheetsAndArguments) {
    struct Case {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"supply too high",
         {"solve", "C1", "EdVb=801"},
         "Supply voltage must be in the 20 ... 800V interval"},
        {"not a number", {"solve", "C1", "EdRa=12x"}, "EdRa"},
        {"unknown control", {"solve", "C1", "EdZz=1"}, "C1 has no control EdZz"},
        {"unknown tube", {"solve", "C1", "LBtube=EL34"}, "has no item \"EL34\""},
        {"bad check box", {"solve", "C1", "CheckBoxCkconnected=maybe"}, "check box"},
        {"no circuit", {"solve"}, "needs a circuit"},
        {"circuit out of range", {"solve", "C43"}, "C1 ... C42"},
        {"bad assignment", {"solve", "C1", "EdRa"}, "NAME=VALUE"},
        {"option index out of range", {"solve", "C1", "--feedback", "9"}, "--feedback"},
        {"missing picture folder", {"solve", "C1", "--png-dir", "/nonexistent/pics"}, "does not exist"},
        {"empty picture folder", {"solve", "C1", "--png-dir", ""}, "--png-dir needs a folder"},
        {"picture folder is a file", {"solve", "C1", "--png-dir", VALVENIX_CLI}, "is a file, not a folder"},
        {"empty data folder", {"solve", "C1", "--data-dir", ""}, "--data-dir needs a folder"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name << "\n" << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST_F(CliFixture, SolveWritesThePictures) {
    QTemporaryDir pics;
    const CliRun r = run({"solve", "C1", "--trace", "--png-dir", pics.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"C1-bode.png", "C1-loadline-T1.png", "C1-stacks.png", "C1-convergence-T1.png"}) {
        const QImage image(QDir(pics.path()).filePath(name));
        EXPECT_FALSE(image.isNull()) << name;
    }
}

TEST_F(CliFixture, PlainSolveNeitherReadsNorWritesTheSettings) {
    const std::string ini = "[Korvessa]\nlastcircuit=7\n\n[C1]\nEdRa=47k\nLBtube=ECC82 / 12AU7\n";
    std::ofstream(file("valvenix.ini"), std::ios::binary) << ini;
    const QFileInfo before(QString::fromStdString(file("valvenix.ini")));
    const CliRun r = run({"solve", "C1", "EdVb=300", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The stored sheet is not the starting point: first-use values and the first triode are.
    const QJsonObject j = parse(r.out);
    EXPECT_EQ(j["tubes"].toArray()[0].toObject()["model"].toString(), "12AY7");
    EXPECT_EQ(readFile(file("valvenix.ini")), ini);
    EXPECT_EQ(QFileInfo(QString::fromStdString(file("valvenix.ini"))).lastModified(), before.lastModified());

    QFile::remove(QString::fromStdString(file("valvenix.ini")));
    ASSERT_EQ(run({"solve", "C1"}).exitCode, 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file("valvenix.ini"))));
}

TEST_F(CliFixture, SaveStoresTheSheetAndTheLastCircuit) {
    ASSERT_EQ(run({"solve", "C1", "EdVb=900", "--save"}).exitCode, 2);
    EXPECT_EQ(readFile(file("valvenix.ini")).find("[C1]"), std::string::npos)
        << "a refused sheet is not stored";
    QTemporaryDir pics;
    const std::string aFile = QDir(pics.path()).filePath("x.png").toStdString();
    std::ofstream(aFile) << "x";
    ASSERT_EQ(run({"solve", "C1", "--save", "--png-dir", QString::fromStdString(aFile)}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(file("valvenix.ini"))))
        << "nothing stored for a failed solve";

    ASSERT_EQ(run({"solve", "C1", "EdRa=47k", "CheckBoxCkconnected=1", "--freqmax", "2", "--save"}).exitCode,
              0);
    const std::string text = readFile(file("valvenix.ini"));
    EXPECT_NE(text.find("lastcircuit=1"), std::string::npos) << text;
    EXPECT_NE(text.find("EdRa=47k"), std::string::npos) << text;
    EXPECT_NE(text.find("CheckBoxCkconnected=1"), std::string::npos) << text;
    EXPECT_NE(text.find("freqmax=2"), std::string::npos) << text;
}

TEST_F(CliFixture, AFailedSaveIsReportedAfterTheResults) {
    const struct {
        const char* row;
        std::function<void(const std::string& ini)> make;
        const char* reason;
    } cases[] = {
        {"a folder where the file belongs",
         [](const std::string& ini) { QDir().mkdir(QString::fromStdString(ini)); },
         "it cannot be read or written"},
        {"a line that is not key=value",
         [](const std::string& ini) { std::ofstream(ini) << "[Korvessa]\nlastcircuit=4\nnotes\n"; },
         "its line 3 is neither [section], key=value nor a ; comment"},
    };
    for (const auto& c : cases) {
        const std::string ini = file("valvenix.ini");
        QFile::remove(QString::fromStdString(ini));
        QDir().rmdir(QString::fromStdString(ini));
        c.make(ini);
        const std::string before = readFile(ini);
        const CliRun r = run({"solve", "C1", "--save"});
        EXPECT_EQ(r.exitCode, 1) << c.row;
        EXPECT_NE(r.out.find("Small signal estimations:"), std::string::npos) << c.row << ": " << r.out;
        EXPECT_NE(r.err.find("the sheet of C1 could not be saved to " + ini + ": "), std::string::npos)
            << c.row << ": " << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << c.row << ": " << r.err;
        EXPECT_EQ(readFile(ini), before) << c.row;
    }
}

TEST_F(CliFixture, CurvesDrawsAModelOrRefusesIt) {
    QTemporaryDir pics;
    const QString png = QDir(pics.path()).filePath("ecc83.png");
    const CliRun anode = run({"curves", "ECC83 / 12AX7", "--png", png});
    ASSERT_EQ(anode.exitCode, 0) << anode.err;
    EXPECT_EQ(QImage(png).size(), QSize(1000, 700));
    const QString transfer = QDir(pics.path()).filePath("el34.png");
    EXPECT_EQ(run({"curves", "EL34", "--transfer", "--vs", "250", "--png", transfer}).exitCode, 0);
    EXPECT_FALSE(QImage(transfer).isNull());

    struct Case {
        const char* name;
        QStringList args;
        int exit;
        const char* message;
    } cases[] = {
        {"unknown model", {"curves", "NOPE", "--png", png}, 2, "unknown model"},
        {"no file", {"curves", "EL34"}, 2, "--png FILE"},
        {"screen too low", {"curves", "EL34", "--vs", "5", "--png", png}, 2, "10 V at least"},
        {"screen far too high", {"curves", "EL34", "--vs", "1e6", "--png", png}, 2, "800 V at most"},
        {"unwritable file", {"curves", "EL34", "--png", "/nonexistent/x.png"}, 1, "cannot write"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exit) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST_F(CliFixture, PowerStageGivesCyclesAndPictures) {
    QTemporaryDir pics;
    const CliRun r = run({"solve", "C41", "LBtube=300B", "EdVb=400", "EdVg=-80", "EdZaa=3k", "--json",
                          "--png-dir", pics.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject power = parse(r.out)["power"].toObject();
    const QJsonArray cycles = power["cycles"].toArray();
    ASSERT_FALSE(cycles.isEmpty());
    const QJsonObject last = cycles.last().toObject();
    EXPECT_GT(last["Psec"].toDouble(), 10);
    EXPECT_LT(last["Y"].toDouble(), 0.8);
    EXPECT_EQ(power["class"].toString(), "class AB");
    for (const char* name : {"C41-power.png", "C41-loadline-pp.png", "C41-waveform.png"})
        EXPECT_FALSE(QImage(QDir(pics.path()).filePath(name)).isNull()) << name;
}
