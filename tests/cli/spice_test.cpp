// valvenix-cli spice, import-model and export-model: netlists on stdout or in a file, models through
// a SPICE text and back into the database, and the refusals that store nothing.
#include "cli_runner.h"

#include "circuits/registry.h"
#include "model/builtin_models.h"
#include "spice/netlist.h"
#include "storage/data_folder.h"
#include "storage/model_database.h"

#include <fstream>
#include <sstream>

namespace {
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A circuit that has no netlist table yet, 0 once every circuit has one.
int circuitWithoutNetlist() {
    const std::vector<int> with = circuitsWithNetlist();
    for (int n = 1; n <= kCircuitCount; ++n)
        if (std::find(with.begin(), with.end(), n) == with.end())
            return n;
    return 0;
}

int lineCount(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}
} // namespace

TEST_F(CliFixture, SpiceWritesTheNetlistOfASheet) {
    const CliRun out = run({"spice", "C1", "EdRo=1M", "EdCk=100µ", "CheckBoxCkconnected=1"});
    ASSERT_EQ(out.exitCode, 0) << out.err;
    EXPECT_NE(out.out.find(".param EdRo=1meg\n"), std::string::npos) << out.out;
    EXPECT_EQ(out.out.find("=1M\n"), std::string::npos); // SPICE would read milliohms
    EXPECT_NE(out.out.find("CK k1 0 {EdCk}"), std::string::npos);
    EXPECT_NE(out.out.find(".subckt 12AY7 A G K"), std::string::npos);
    EXPECT_NE(out.out.find(".ac dec 20 1 100k"), std::string::npos);
    EXPECT_TRUE(out.err.empty()) << out.err;

    const CliRun written =
        run({"spice", "C1", "--out", QString::fromStdString(file("c1.cir")), "--freqmax", "2"});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    EXPECT_TRUE(written.out.empty());
    EXPECT_NE(slurp(this->file("c1.cir")).find(".ac dec 20 1 1meg"), std::string::npos);
}

TEST_F(CliFixture, SpiceOfASheetThatDoesNotSolveStillWritesTheNetlist) {
    const CliRun r = run({"spice", "C3"}); // its first-use sheet asks more current than the tube gives
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("failed"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("* The solve failed"), std::string::npos);
    EXPECT_NE(r.out.find("\n.end\n"), std::string::npos);

    const CliRun refused = run({"spice", "C1", "EdVb=801"});
    EXPECT_EQ(refused.exitCode, 0) << refused.err;
    EXPECT_NE(refused.err.find("did not solve"), std::string::npos) << refused.err;
    EXPECT_NE(refused.out.find("\n.end\n"), std::string::npos);
}

TEST_F(CliFixture, SpiceRefusesBadArguments) {
    const struct {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        {"no circuit", {"spice"}, "needs a circuit"},
        {"no such circuit", {"spice", "C43"}, "expected a circuit"},
        {"no such control", {"spice", "C1", "EdFoo=1"}, "no control"},
        {"no netlist yet", {"spice", QString("C%1").arg(circuitWithoutNetlist())}, "no SPICE netlist yet"},
    };
    for (const auto& c : cases) {
        if (c.args.size() > 1 && c.args[1] == "C0")
            continue; // every circuit has a netlist
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
}

TEST_F(CliFixture, EveryBuiltInModelSurvivesExportAndImportUnderANewName) {
    for (const TubeParams& p : builtinModels()) {
        const std::string path = file("model.lib");
        const CliRun exported =
            run({"export-model", QString::fromStdString(p.name), "--out", QString::fromStdString(path)});
        ASSERT_EQ(exported.exitCode, 0) << p.name << ": " << exported.err;
        const CliRun imported = run({"import-model", QString::fromStdString(path), "--name",
                                     QString::fromStdString(p.name + " copy")});
        ASSERT_EQ(imported.exitCode, 0) << p.name << ": " << imported.err;
        EXPECT_NE(imported.out.find("Koren"), std::string::npos) << imported.out; // the convention it assumed
    }
    setDataFolderOverride(dataDir().toStdString());
    for (const TubeParams& p : builtinModels()) {
        ModelRow row;
        ASSERT_TRUE(readModel(p.name + " copy", row)) << p.name;
        const TubeParams& q = row.params;
        EXPECT_EQ(q.t35, p.t35) << p.name;
        for (auto field :
             {&TubeParams::kp, &TubeParams::mu, &TubeParams::kvb, &TubeParams::ex, &TubeParams::kg1,
              &TubeParams::kg2, &TubeParams::pmax, &TubeParams::imax, &TubeParams::vmax, &TubeParams::pemax,
              &TubeParams::vemax, &TubeParams::cgk, &TubeParams::cga, &TubeParams::cak})
            EXPECT_EQ(q.*field, p.*field) << p.name;
    }
}

TEST_F(CliFixture, ImportModelRefusesBadInputAndStoresNothing) {
    const std::string good = ".subckt NEW A G K\n.param MU=100 EX=1.4 KP=600 KVB=300 KG1=1060\n"
                             "BA A K I=(pwr(V(E),EX)+abs(pwr(V(E),EX)))/KG1\n.ends\n";
    const std::string noKg1 = ".subckt NEW A G K\n.param MU=100 EX=1.4 KP=600 KVB=300\n"
                              "BA A K I=(pwr(V(E),EX)+abs(pwr(V(E),EX)))/KG1\n.ends\n";
    const std::string paramsOnly = ".subckt NEW A G K params: MU=100 EX=1.4 KP=600 KVB=300 KG1=1060\n.ends\n";
    const struct {
        const char* name;
        std::string text; // empty: no file at all
        QStringList options;
        const char* message;
    } cases[] = {
        {"missing file", "", {}, "cannot read"},
        {"no model", "just words\n", {}, "no .subckt"},
        {"no KG1", noKg1, {}, "lacks KG1"},
        {"KG1 zero", ".subckt NEW A G K\n.param MU=100 EX=1.4 KP=600 KVB=300 KG1=0\n.ends\n", {}, "positive"},
        {"10 MB", std::string(10 << 20, '*'), {}, "too large"},
        {"convention unknown", paramsOnly, {}, "--kg1"},
        {"bad convention", good, {"--kg1", "half"}, "--kg1 takes"},
        {"name taken", good, {"--name", "ECC83 / 12AX7"}, "already used"},
        {"empty name", good, {"--name", ""}, "not complete"},
    };
    const int before = lineCount(run({"models"}).out);
    for (const auto& c : cases) {
        const std::string path = file("in.lib");
        std::remove(path.c_str());
        if (!c.text.empty())
            std::ofstream(path, std::ios::binary) << c.text;
        QStringList args = {"import-model", QString::fromStdString(path)};
        args += c.options;
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << c.name << ": " << r.out;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
    }
    EXPECT_EQ(lineCount(run({"models"}).out), before);

    // The same text with the convention said is stored, under the subcircuit's name.
    std::ofstream(file("in.lib"), std::ios::binary) << paramsOnly;
    const CliRun stored = run({"import-model", QString::fromStdString(file("in.lib")), "--kg1", "single"});
    ASSERT_EQ(stored.exitCode, 0) << stored.err;
    EXPECT_NE(stored.out.find("KG1 = 2.12k"), std::string::npos) << stored.out;
    EXPECT_EQ(lineCount(run({"models"}).out), before + 1);
}
