// valvenix-cli batch: one solve per input line, one JSON object per output line, bad lines answered
// with an error object while the batch goes on; and a seeded sweep of every circuit through it.
#include "cli_runner.h"

#include "circuits/catalogue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <random>
#include <sstream>

namespace {

CliRun runWithInput(const QStringList& args, const std::string& input) {
    QProcess p;
    p.start(QStringLiteral(VALVENIX_CLI), args);
    CliRun r;
    if (!p.waitForStarted(30000))
        return r;
    p.write(QByteArray::fromStdString(input));
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        r.err = "timed out";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput().toStdString();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

std::vector<QJsonObject> objects(const std::string& out) {
    std::vector<QJsonObject> result;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << line;
        EXPECT_TRUE(doc.isObject()) << line;
        result.push_back(doc.object());
    }
    return result;
}

// The object without the grid row's status cell, which holds the time of day of a good solve.
QJsonObject timeless(QJsonObject o) {
    QJsonArray row = o["grid_row"].toArray();
    if (!row.isEmpty())
        row.removeFirst();
    o["grid_row"] = row;
    return o;
}

class BatchFixture : public CliFixture {
protected:
    CliRun batch(const std::string& input) { return runWithInput({"--data-dir", dataDir(), "batch"}, input); }
};

} // namespace

TEST_F(BatchFixture, LinesOfWordsAndJsonGiveTheObjectsOfSolve) {
    const CliRun single = run(
        {"solve", "C1", "LBtube=ECC83 / 12AX7", "EdRa=220k", "--freqmin", "2", "--ignore-miller", "--json"});
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const QJsonObject expected = timeless(objects(single.out).at(0));

    const CliRun r =
        batch("# a comment, then a blank line\n"
              "\n"
              "C1 \"LBtube=ECC83 / 12AX7\" EdRa=220k --freqmin 2 --ignore-miller\n"
              "solve c1 'LBtube=ECC83 / 12AX7' EdRa=220k --freqmin 2 --ignore-miller --json\r\n"
              "{\"circuit\": 1, \"values\": {\"LBtube\": \"ECC83 / 12AX7\", \"EdRa\": \"220k\"},"
              " \"options\": {\"freqmin\": 2, \"ignore-miller\": true, \"trace\": false}}\n"
              "  {\"circuit\": \"C1\", \"values\": {\"LBtube\": \"ECC83 / 12AX7\", \"EdRa\": 220000,"
              " \"CheckBoxCkconnected\": false}, \"options\": {\"freqmin\": 2, \"ignore-miller\": true}}\n");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto out = objects(r.out);
    ASSERT_EQ(out.size(), 4u) << r.out;
    for (const QJsonObject& o : out)
        EXPECT_EQ(timeless(o), expected) << QJsonDocument(o).toJson().toStdString();
}

TEST_F(BatchFixture, ABadLineGivesAnErrorObjectAndTheBatchGoesOn) {
    struct Row {
        const char* name;
        std::string line;
        const char* error; // a part of the message
    };
    const Row rows[] = {
        {"unknown circuit", "C43", "expected a circuit C1 ... C42"},
        {"unknown control", "C1 EdNope=1", "C1 has no control EdNope"},
        {"refused sheet", "C1 EdVb=900", "Supply voltage must be in the 20 ... 800V interval"},
        {"negative component", "C24 EdRk1=-1k", "Field EdRk1: \"-1k\" is negative"},
        {"overflow after the suffix", "C1 EdRa=1.5e308M", "Field EdRa: \"1.5e308M\" is not a number"},
        {"open quote", "C1 \"LBtube=ECC83", "is not closed"},
        {"pictures", "C1 --png-dir /tmp", "--png-dir is for solve"},
        {"settings", "C1 --save", "--save is for solve"},
        {"broken JSON", "{\"circuit\": 1,", "not a JSON object"},
        {"JSON array", "[1, 2]", "a JSON line holds one object"},
        {"JSON unknown key", "{\"circuit\": 1, \"colour\": \"red\"}", "unknown key \"colour\""},
        {"JSON circuit missing", "{\"values\": {}}", "\"circuit\" is a number"},
        {"JSON value of a list", "{\"circuit\": 1, \"values\": {\"EdRa\": [1]}}", "EdRa takes a text"},
        {"JSON unknown option", "{\"circuit\": 1, \"options\": {\"colour\": 1}}",
         "unknown option \"--colour\""},
    };
    std::string input;
    for (const Row& row : rows)
        input += row.line + "\nC3\n";
    const CliRun r = batch(input);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    const auto out = objects(r.out);
    ASSERT_EQ(out.size(), 2 * std::size(rows)) << r.out;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].name);
        const QJsonObject& bad = out[2 * i];
        EXPECT_EQ(bad["line"].toInt(), static_cast<int>(2 * i + 1));
        EXPECT_NE(bad["error"].toString().toStdString().find(rows[i].error), std::string::npos)
            << bad["error"].toString().toStdString();
        EXPECT_EQ(out[2 * i + 1]["circuit"].toString(), "C3"); // the next line is solved all the same
    }
}

TEST_F(BatchFixture, EmptyInputAndArgumentsOfItsOwn) {
    const CliRun empty = batch("# nothing to solve\n\n");
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_TRUE(empty.out.empty());
    const CliRun extra = runWithInput({"--data-dir", dataDir(), "batch", "C1"}, "");
    EXPECT_EQ(extra.exitCode, 2);
    EXPECT_NE(extra.err.find("batch takes no argument"), std::string::npos) << extra.err;
}

// Every circuit over random sheets whose values run from 1e-300 to 1e300, through one batch: each
// output line is one JSON object, either a solve or an error, and none carries "nan" or "inf".
TEST_F(BatchFixture, SweepOfEveryCircuitWritesValidJsonWithoutNonFiniteFigures) {
    std::mt19937 rng(1312);
    std::string input;
    int lines = 0;
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        for (int round = 0; round < 6; ++round) {
            std::string line = info.code;
            for (const EditField& f : info.sheet.edits) {
                if (f.name == "EdVb") {
                    line += " EdVb=" + std::to_string(20 + rng() % 781);
                    continue;
                }
                const int e = std::uniform_int_distribution<int>(-300, 300)(rng);
                const std::string sign = fieldTakesNegative(info, f.name) && rng() % 2 ? "-" : "";
                line += " " + f.name + "=" + (rng() % 5 == 0 ? "0" : sign + "1e" + std::to_string(e));
            }
            input += line + "\n";
            ++lines;
        }
    }
    // A sheet refused by validation gives an error line; that is valid JSON as well.
    const CliRun r = batch(input);
    EXPECT_NE(r.exitCode, 1) << r.err;
    const auto out = objects(r.out);
    EXPECT_EQ(static_cast<int>(out.size()), lines);
    for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
        // As printf writes them ("-nan V", "infΩ", "-infdB"); a word such as "infinite" is no figure.
        std::size_t at = r.out.find(bad);
        while (at != std::string::npos && r.out[at + 3] >= 'a' && r.out[at + 3] <= 'z' &&
               r.out.compare(at + 3, 2, "dB") != 0)
            at = r.out.find(bad, at + 1);
        EXPECT_EQ(at, std::string::npos)
            << bad << " in\n"
            << (at == std::string::npos ? "" : r.out.substr(at < 200 ? 0 : at - 200, 400));
    }
    int solved = 0;
    for (const QJsonObject& o : out)
        solved += o.contains("circuit") ? 1 : 0;
    EXPECT_GT(solved, 0);
}
