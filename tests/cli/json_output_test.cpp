// The command line's JSON: the writer's numbers, strings and structure, and the whole output under a
// locale whose decimal separator is a comma.
#include "cli_runner.h"

#include "app/cli/json_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <clocale>
#include <cmath>
#include <functional>
#include <limits>

namespace {

QJsonObject parsed(const std::string& text) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    return doc.object();
}

QJsonObject timeless(QJsonObject o) {
    QJsonArray row = o["grid_row"].toArray();
    if (!row.isEmpty())
        row.removeFirst(); // the time of day of a good solve
    o["grid_row"] = row;
    return o;
}

// A German locale made for the test (LOCPATH), as the machine may have none installed; empty when
// localedef cannot make it.
QString makeGermanLocale(const QString& folder) {
    QProcess p;
    p.start("localedef", {"-i", "de_DE", "-f", "UTF-8", folder + "/de_DE.UTF-8"});
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() > 1)
        return {};
    return folder;
}

} // namespace

TEST(JsonWriter, NumbersReadBackToTheSameDouble) {
    const double values[] = {0.1,
                             1.0 / 3,
                             -2.5e-12,
                             153.71999999999997,
                             1e21,
                             6.02214076e23,
                             -0.0,
                             1e-320,
                             std::numeric_limits<double>::max(),
                             0.953841,
                             48282.4,
                             123456789.125};
    for (double v : values) {
        const std::string text = JsonWriter::number(v);
        SCOPED_TRACE(text);
        EXPECT_EQ(text.find(','), std::string::npos);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v);
        EXPECT_EQ(parsed("{\"v\":" + text + "}")["v"].toDouble(), v);
    }
    EXPECT_EQ(JsonWriter::number(std::nan("")), "null");
    EXPECT_EQ(JsonWriter::number(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(JsonWriter::number(250), "250");
}

TEST(JsonWriter, StringsAreEscapedAndAlwaysUtf8) {
    struct Row {
        const char* name;
        std::string text;
        std::string json;
    };
    const Row rows[] = {
        {"plain", "ECC83 / 12AX7", "\"ECC83 / 12AX7\""},
        {"quote and backslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
        {"controls", "a\nb\tc\x01\x7f", "\"a\\nb\\tc\\u0001\\u007f\""},
        {"UTF-8 kept", "ρ~ 48kΩ µ", "\"ρ~ 48kΩ µ\""},
        {"invalid byte", std::string("A\xff") + "B",
         "\"A\xef\xbf\xbd"
         "B\""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(JsonWriter::quote(r.text), r.json);
        EXPECT_TRUE(isUtf8(JsonWriter::quote(r.text)));
    }
}

TEST(JsonWriter, StructureIsCheckedAsItIsWritten) {
    JsonWriter j;
    j.beginObject();
    j.key("a").value(1);
    j.key("b").beginArray();
    j.value(0.5);
    j.null();
    j.beginObject();
    j.endObject();
    j.endArray();
    j.key("c").array(std::vector<std::string>{"x", "y"});
    EXPECT_FALSE(j.complete());
    j.endObject();
    EXPECT_TRUE(j.complete());
    EXPECT_EQ(j.str(), "{\"a\":1,\"b\":[0.5,null,{}],\"c\":[\"x\",\"y\"]}");

    struct Row {
        const char* name;
        std::function<void(JsonWriter&)> misuse;
    };
    const Row rows[] = {
        {"value without key", [](JsonWriter& w) { w.beginObject(), w.value(1); }},
        {"key in an array", [](JsonWriter& w) { w.beginArray(), w.key("a"); }},
        {"two keys", [](JsonWriter& w) { w.beginObject(), w.key("a"), w.key("b"); }},
        {"close without value", [](JsonWriter& w) { w.beginObject(), w.key("a"), w.endObject(); }},
        {"wrong close", [](JsonWriter& w) { w.beginObject(), w.endArray(); }},
        {"second top value", [](JsonWriter& w) { w.value(1), w.value(2); }},
    };
    for (const Row& r : rows) {
        JsonWriter w;
        EXPECT_THROW(r.misuse(w), std::logic_error) << r.name;
    }
}

// Under a comma-decimal locale the output is the same JSON as under the C locale: numbers with '.',
// reports with '.', nothing invalid.
TEST_F(CliFixture, JsonIsTheSameUnderACommaDecimalLocale) {
    QTemporaryDir locales;
    ASSERT_TRUE(locales.isValid());
    const QString locpath = makeGermanLocale(locales.path());
    if (locpath.isEmpty())
        GTEST_SKIP() << "localedef could not make de_DE.UTF-8 (Debian package locales)";
    // The locale is real: a program that follows it writes 1,5.
    QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
    german.insert("LOCPATH", locpath);
    german.insert("LC_ALL", "de_DE.UTF-8");
    QProcess printfRun;
    printfRun.setProcessEnvironment(german);
    printfRun.start("/usr/bin/printf", {"%.1f", "1,5"});
    ASSERT_TRUE(printfRun.waitForFinished(30000));
    ASSERT_EQ(printfRun.readAllStandardOutput().toStdString(), "1,5");

    for (const QStringList& words :
         {QStringList{"solve", "C1", "LBtube=ECC83 / 12AX7", "--json"},
          QStringList{"solve", "C42", "LBtube=EL34", "EdVg=-30", "EdZaa=6k6", "--kza", "0.5", "--json"}}) {
        SCOPED_TRACE(words.join(' ').toStdString());
        QStringList args = {"--data-dir", dataDir()};
        args += words;
        const CliRun plain = runCli(args);
        const CliRun comma = runCli(args, german);
        ASSERT_EQ(plain.exitCode, 0) << plain.err;
        ASSERT_EQ(comma.exitCode, 0) << comma.err;
        EXPECT_EQ(timeless(parsed(comma.out)), timeless(parsed(plain.out)));
        EXPECT_TRUE(parsed(comma.out)["dc_text"].toString().contains(QRegularExpression("[0-9]\\.[0-9]")));
    }
    const CliRun current =
        runCli({"--data-dir", dataDir(), "current", "ECC83 / 12AX7", "--va", "250", "--vg", "-2"}, german);
    EXPECT_EQ(current.out, "0.952\n") << current.err;
}
