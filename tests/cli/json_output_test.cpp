// The command line's JSON: its numbers, strings and key order, and the whole output under a locale
// whose decimal separator is a comma.
#include "cli_runner.h"

#include "app/cli/json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
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

// Every double comes back from the text bit for bit (the sign of zero and subnormals included), as
// read by strtod and by the library's reader, and as the same value by Qt's; NaN and infinities are null.
TEST(JsonText, NumbersReadBackToTheSameDouble) {
    const double values[] = {0.1,
                             1.0 / 3,
                             -2.5e-12,
                             153.71999999999997,
                             1e21,
                             6.02214076e23,
                             -0.0,
                             1e-320,
                             5e-324,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             0.953841,
                             48282.4,
                             123456789.125,
                             9007199254740993.0,
                             250};
    const auto bits = [](double d) { return std::bit_cast<std::uint64_t>(d); };
    for (double v : values) {
        const std::string text = cli::jsonText(cli::Json::array({v}));
        SCOPED_TRACE(text);
        ASSERT_GE(text.size(), 2u);
        EXPECT_EQ(text.find(','), std::string::npos);
        const std::string number = text.substr(1, text.size() - 2);
        EXPECT_EQ(bits(std::strtod(number.c_str(), nullptr)), bits(v));
        EXPECT_EQ(bits(cli::Json::parse(text).at(0).get<double>()), bits(v));
        // Qt's reader keeps the value but not the sign of a zero.
        EXPECT_EQ(parsed("{\"v\":" + number + "}")["v"].toDouble(), v);
    }
    const double nonFinite[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
    for (double v : nonFinite)
        EXPECT_EQ(cli::jsonText(cli::Json::array({v})), "[null]");
}

// Strings and keys come out escaped and as valid UTF-8; each byte that does not start a well-formed
// sequence becomes one U+FFFD, wherever the string stands.
TEST(JsonText, StringsAreEscapedAndAlwaysUtf8) {
    struct Row {
        const char* name;
        std::string text;
        QString read; // the string a JSON parser reads back
    };
    const Row rows[] = {
        {"plain", "ECC83 / 12AX7", "ECC83 / 12AX7"},
        {"quote and backslash", "a\"b\\c", "a\"b\\c"},
        {"controls", "a\nb\tc\x01\x7f", "a\nb\tc\x01\x7f"},
        {"UTF-8 kept", "ρ~ 48kΩ µ", "ρ~ 48kΩ µ"},
        {"invalid byte", std::string("A\xff") + "B", "A\uFFFDB"},
        {"cut sequence", std::string("\xe2\x82") + "A", "\uFFFD\uFFFDA"},
        {"overlong form", "\xc0\xaf", "\uFFFD\uFFFD"},
        {"surrogate", "x\xed\xa0\x80", "x\uFFFD\uFFFD\uFFFD"},
        {"cut at the end", "Ω\xce", "Ω\uFFFD"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        cli::Json doc = cli::Json::object();
        doc["value"] = r.text;
        doc["list"] = cli::Json::array({cli::Json::object({{"inner", r.text}})});
        doc[r.text] = 1;
        const std::string text = cli::jsonText(doc);
        EXPECT_TRUE(isUtf8(text));
        EXPECT_EQ(text.find('\n'), std::string::npos);
        const QJsonObject o = parsed(text);
        EXPECT_EQ(o["value"].toString(), r.read);
        EXPECT_EQ(o["list"].toArray().at(0).toObject()["inner"].toString(), r.read);
        EXPECT_TRUE(o.contains(r.read));
    }
}

// Keys come out in the order they were set, not sorted.
TEST(JsonText, KeysKeepTheirOrder) {
    cli::Json doc = cli::Json::object();
    doc["title"] = "x";
    doc["circuit"] = "C1";
    doc["ok"] = true;
    doc["bode"] = nullptr;
    doc["grid_row"] = std::vector<std::string>{};
    EXPECT_EQ(cli::jsonText(doc), R"({"title":"x","circuit":"C1","ok":true,"bode":null,"grid_row":[]})");
}

// The solve's keys in their documented order, one line of output.
TEST_F(CliFixture, SolveJsonKeysComeInTheirOrder) {
    const CliRun solve = run({"solve", "C1", "--json"});
    ASSERT_EQ(solve.exitCode, 0) << solve.err;
    EXPECT_EQ(solve.out.find('\n'), solve.out.size() - 1);
    const cli::Json doc = cli::Json::parse(solve.out);
    std::vector<std::string> keys;
    for (auto it = doc.begin(); it != doc.end(); ++it)
        keys.push_back(it.key());
    const std::vector<std::string> expected = {"circuit",  "title",   "ok",     "dc_report",    "ac_report",
                                               "dc_text",  "ac_text", "labels", "grid_columns", "grid_row",
                                               "tubes",    "stacks",  "bode",   "power",        "distortion",
                                               "messages", "traces"};
    EXPECT_EQ(keys, expected);
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
