// valvenix-cli models / current, and how the command line refuses bad input.
#include "cli_runner.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace {
std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        out.push_back(l);
    return out;
}
} // namespace

TEST_F(CliFixture, ModelsListsTheBuiltInsInNameOrder) {
    const CliRun all = run({"models"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const auto names = lines(all.out);
    ASSERT_EQ(names.size(), 30u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.front(), "12AY7");

    const CliRun pentodes = run({"models", "--type", "pentode"});
    EXPECT_EQ(lines(pentodes.out), (std::vector<std::string>{"5881", "6550", "6L6-GC", "6V6-GTA", "EF86",
                                                             "EL34", "EL84", "KT66", "KT88"}));
    EXPECT_EQ(lines(run({"models", "--type", "triode"}).out).size(), 21u);
}

TEST_F(CliFixture, CurrentPrintsMilliamperes) {
    struct Case {
        const char* name;
        QStringList args;
        std::string out;
    } cases[] = {
        {"ECC83 at -2 V", {"current", "ECC83 / 12AX7", "--va", "250", "--vg", "-2"}, "0.952\n"},
        {"ECC83 at 0 V", {"current", "ECC83 / 12AX7", "--va", "250", "--vg", "0"}, "6.81\n"},
        {"data dir after the command", {"current", "ECC83 / 12AX7", "--vg", "-2", "--va", "250"}, "0.952\n"},
        {"zero anode voltage", {"current", "ECC83 / 12AX7", "--va", "0", "--vg", "0"}, "0\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
    const CliRun pentode = run({"current", "EL34", "--va", "300", "--vg", "-10", "--vs", "250"});
    ASSERT_EQ(pentode.exitCode, 0) << pentode.err;
    EXPECT_EQ(lines(pentode.out).size(), 2u); // anode, then screen
}

TEST_F(CliFixture, RefusesBadInputWithExitTwo) {
    struct Case {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"no command", {}, "usage"},
        {"unknown command", {"fly"}, "unknown command"},
        {"unknown model", {"current", "NOPE", "--va", "250", "--vg", "-2"}, "unknown model"},
        {"bad number", {"current", "ECC83 / 12AX7", "--va", "2x", "--vg", "-2"}, "not a number"},
        {"missing option", {"current", "ECC83 / 12AX7", "--va", "250"}, "missing option --vg"},
        {"pentode without screen", {"current", "EL34", "--va", "250", "--vg", "-2"}, "--vs"},
        {"bad type", {"models", "--type", "diode"}, "triode or pentode"},
        // It printed "inf".
        {"grid far past any tube",
         {"current", "ECC83 / 12AX7", "--va", "250", "--vg", "1e300"},
         "no finite current"},
        {"pentode grid far past any tube",
         {"current", "EL34", "--va", "250", "--vg", "1e300", "--vs", "250"},
         "no finite current"},
        {"option without value", {"models", "--type"}, "needs a value"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.name;
    }
}

TEST(CliDataFolder, MissingFolderIsAClearError) {
    const CliRun r = runCli({"--data-dir", "/nonexistent/valvenix", "models"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("does not exist"), std::string::npos) << r.err;
}

TEST_F(CliFixture, CorruptDatabaseIsAnInternalFailure) {
    {
        std::ofstream out(file("Valvenix-2.db"), std::ios::binary);
        out << std::string(2048, 'z');
    }
    const CliRun r = run({"models"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("SQLite3 error: file is not a database"), std::string::npos) << r.err;
}

TEST_F(CliFixture, MessagesEscapeControlCharactersTheyQuote) {
    struct Case {
        const char* name;
        QStringList args;
        const char* escaped;
    } cases[] = {
        {"unknown command", {"\x1b]0;title\x07"}, "\\x1b]0;title\\x07"},
        {"unknown model", {"current", "\x1b[2J", "--va", "1", "--vg", "0"}, "\\x1b[2J"},
        {"bad type", {"models", "--type", "a\rb\nc"}, "a\\rb\\nc"},
        {"field text", {"solve", "C1", "EdRa=4\x1b[8mk7"}, "4\\x1b[8mk7"},
        {"selector item", {"solve", "C1", "LBtube=\x1b[31m"}, "\\x1b[31m"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_NE(r.err.find(c.escaped), std::string::npos) << c.name << ": " << r.err;
        for (char ch : r.err)
            EXPECT_TRUE(ch == '\n' || static_cast<unsigned char>(ch) >= 0x20) << c.name << ": " << int(ch);
    }
}
