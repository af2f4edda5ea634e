// Golden outputs of valvenix-cli solve: every case of golden_cases.h is run again and compared with
// the recorded output, texts exactly and numbers to the significant digits the golden file holds.
//
// Regenerating the golden file (only when a change of results is intended and explained):
//   VALVENIX_RECORD_GOLDEN=1 build/tests/test_cli --gtest_filter='SolveGoldenFile.Record'
// rewrites tests/cli/golden/solve_golden.jsonl from the current valvenix-cli; review the diff.
// Every case runs with "--ac classic": the record holds the magnitude arithmetic of the frequency
// response, figure for figure; its "args" are the case's own words, without that option.
// The first line of the file names the precision of its numbers; each further line is one case:
// {"circuit", "name", "args", "exit", "stderr", "output"}. The grid status of a solve whose
// verdicts all pass is the time of day: both the record and the new run hold "<time of day>" there.
#include "cli_runner.h"
#include "golden_cases.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

const char* const kGoldenPath = VALVENIX_SOURCE_DIR "/tests/cli/golden/solve_golden.jsonl";
const char* const kTimePlaceholder = "<time of day>";
// valvenix-cli writes every digit a double needs; the record keeps 10 significant digits, so that a
// change of the last bits of a result does not show as a difference.
constexpr int kRecordedDigits = 10;

// The value with its numbers rounded to the recorded digits.
QJsonValue rounded(const QJsonValue& v) {
    if (v.isDouble()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*g", kRecordedDigits, v.toDouble());
        return std::strtod(buf, nullptr);
    }
    if (v.isArray()) {
        QJsonArray a;
        for (const QJsonValue& item : v.toArray())
            a.append(rounded(item));
        return a;
    }
    if (v.isObject()) {
        QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            it.value() = rounded(it.value());
        return o;
    }
    return v;
}

QStringList argumentsOf(const GoldenCase& c) {
    QStringList args = {"solve", QString("C%1").arg(c.circuit), "--json"};
    args += c.values;
    return args;
}

bool isTimeOfDay(const QString& s) {
    static const QRegularExpression time(R"(^\d\d:\d\d:\d\d$)");
    return time.match(s).hasMatch();
}

// One recorded case.
struct GoldenLine {
    QJsonObject object;
    QString name() const { return object["name"].toString(); }
    int circuit() const { return object["circuit"].toInt(); }
};

struct GoldenFile {
    int digits = 0;
    std::vector<GoldenLine> lines;
    QString error;
};

const GoldenFile& goldenFile() {
    static const GoldenFile file = [] {
        GoldenFile g;
        QFile in(kGoldenPath);
        if (!in.open(QIODevice::ReadOnly)) {
            g.error = "cannot read " + QString(kGoldenPath);
            return g;
        }
        bool header = true;
        while (!in.atEnd()) {
            const QByteArray line = in.readLine().trimmed();
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            if (error.error != QJsonParseError::NoError) {
                g.error = "unreadable golden line: " + error.errorString();
                return g;
            }
            if (header) {
                g.digits = doc.object()["significant_digits"].toInt();
                header = false;
            } else {
                g.lines.push_back({doc.object()});
            }
        }
        return g;
    }();
    return file;
}

// A number of the new output matches the golden one when it rounds to it at the golden precision.
bool sameNumber(double actual, double golden, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, actual);
    return std::strtod(buf, nullptr) == golden;
}

QString show(const QJsonValue& v) {
    if (v.isString())
        return "\"" + v.toString() + "\"";
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 17);
    if (v.isArray())
        return QString("array of %1").arg(v.toArray().size());
    if (v.isObject())
        return "object";
    if (v.isBool())
        return v.toBool() ? "true" : "false";
    return "null";
}

// Compares recursively; every difference is added to diffs with its path (at most a few dozen).
void compare(const QJsonValue& golden, const QJsonValue& actual, const QString& path, int digits,
             QStringList& diffs) {
    if (diffs.size() > 40)
        return;
    const auto differ = [&] { diffs << path + ": golden " + show(golden) + ", now " + show(actual); };
    if (golden.type() != actual.type()) {
        differ();
        return;
    }
    switch (golden.type()) {
    case QJsonValue::Double:
        if (!sameNumber(actual.toDouble(), golden.toDouble(), digits))
            differ();
        break;
    case QJsonValue::String:
        if (golden.toString() != actual.toString())
            differ();
        break;
    case QJsonValue::Bool:
        if (golden.toBool() != actual.toBool())
            differ();
        break;
    case QJsonValue::Array: {
        const QJsonArray g = golden.toArray(), a = actual.toArray();
        if (g.size() != a.size())
            differ();
        for (qsizetype i = 0; i < std::min(g.size(), a.size()); ++i)
            compare(g[i], a[i], path + "[" + QString::number(i) + "]", digits, diffs);
        break;
    }
    case QJsonValue::Object: {
        const QJsonObject g = golden.toObject(), a = actual.toObject();
        if (g.keys() != a.keys())
            diffs << path + ": keys " + g.keys().join(",") + " became " + a.keys().join(",");
        for (const QString& key : g.keys())
            if (a.contains(key))
                compare(g[key], a[key], path + "." + key, digits, diffs);
        break;
    }
    default:
        break;
    }
}

// The run of one case as the golden file stores it; the time-of-day status becomes a placeholder.
QJsonObject runCase(const GoldenCase& c, const QString& dataDir) {
    QStringList args = argumentsOf(c);
    // Numbers are written in the C locale whatever the user's environment says.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C.UTF-8");
    const CliRun r =
        runCli(QStringList{"--data-dir", dataDir} + args + QStringList{"--ac", "classic"}, environment);
    QJsonObject line;
    line["circuit"] = c.circuit;
    line["name"] = c.name;
    line["args"] = QJsonArray::fromStringList(args);
    line["exit"] = r.exitCode;
    line["stderr"] = QString::fromStdString(r.err);
    QJsonValue output;
    if (r.exitCode == 0) {
        QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
        QJsonArray row = o["grid_row"].toArray();
        if (!row.isEmpty() && isTimeOfDay(row[0].toString()))
            row[0] = kTimePlaceholder;
        o["grid_row"] = row;
        output = o;
    }
    line["output"] = rounded(output);
    return line;
}

class SolveGolden : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString dataDir() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST_P(SolveGolden, OutputsMatchTheRecord) {
    const GoldenFile& golden = goldenFile();
    ASSERT_TRUE(golden.error.isEmpty()) << golden.error.toStdString();
    ASSERT_GT(golden.digits, 0);
    std::map<QString, const GoldenLine*> recorded;
    for (const GoldenLine& line : golden.lines)
        if (line.circuit() == GetParam())
            recorded[line.name()] = &line;
    int cases = 0;
    for (const GoldenCase& c : goldenCases()) {
        if (c.circuit != GetParam())
            continue;
        ++cases;
        SCOPED_TRACE(c.name);
        const auto it = recorded.find(c.name);
        ASSERT_NE(it, recorded.end()) << "not in the golden file: regenerate it (see the top of this file)";
        const QJsonObject now = runCase(c, dataDir());
        QStringList diffs;
        compare(it->second->object, now, QString("C%1 %2").arg(c.circuit).arg(c.name), golden.digits, diffs);
        EXPECT_TRUE(diffs.isEmpty()) << diffs.join("\n").toStdString();
    }
    EXPECT_EQ(static_cast<std::size_t>(cases), recorded.size())
        << "the golden file holds cases no longer listed";
    EXPECT_GE(cases, 2);
}

INSTANTIATE_TEST_SUITE_P(EveryCircuit, SolveGolden, ::testing::Range(1, 43),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "C" + std::to_string(info.param);
                         });

TEST(SolveGoldenFile, NumbersCompareToTheRecordedDigits) {
    struct Case {
        double actual, golden;
        bool same;
    } cases[] = {
        {153.7212345678, 153.7212346, true}, // rounds to the recorded digits
        {153.7212344999, 153.7212345, true}, //
        {153.7212355, 153.7212346, false},   // differs in the last recorded digit
        {0.1000000000001, 0.1, true},        // trailing zeros were not written
        {0.10000001, 0.1, false},            // but they were recorded
        {-0.000953, -0.000953, true},        //
        {0.000953, -0.000953, false},        //
        {1e-12, 1e-12, true},                //
    };
    for (const Case& c : cases)
        EXPECT_EQ(sameNumber(c.actual, c.golden, kRecordedDigits), c.same) << c.actual << " vs " << c.golden;
}

// Writes the golden file; runs only when VALVENIX_RECORD_GOLDEN is set.
TEST(SolveGoldenFile, Record) {
    if (!std::getenv("VALVENIX_RECORD_GOLDEN"))
        GTEST_SKIP() << "set VALVENIX_RECORD_GOLDEN=1 to rewrite " << kGoldenPath;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile out(kGoldenPath);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << kGoldenPath;
    QJsonObject header;
    header["golden"] = "valvenix-cli solve --json";
    header["significant_digits"] = kRecordedDigits;
    out.write(QJsonDocument(header).toJson(QJsonDocument::Compact) + "\n");
    for (const GoldenCase& c : goldenCases())
        out.write(QJsonDocument(runCase(c, dir.path())).toJson(QJsonDocument::Compact) + "\n");
}
