// The circuit-configurations database on a real SQLite file in a temporary data folder.
#include "sheet_controls.h"
#include "temp_data_folder.h"
#include "text_helpers.h"

#include "storage/configurations.h"

#include <QFile>
#include <fstream>
#include <functional>

namespace {

// A C1-like sheet: supply, anode and cathode resistors, a bypass capacitor, the tube and an option.
Sheet sampleSheet(int circuit) {
    Sheet s;
    s.circuit = circuit;
    s.controls = {edit("EdVb", "300"),
                  edit("EdRa", "100k"),
                  label("LabelVa", "182.4 V"),
                  edit("EdCk", "10µ"),
                  selector("LBtube", {"12AX7", "ECC88", "6SN7"}, 1),
                  checkBox("CheckBoxCkconnected", true),
                  checkBox("CheckBoxRkbypass", false)};
    return s;
}

long long countPaires(long long fkid) {
    auto db = openConfigsDatabase();
    auto s = db->Prepare("SELECT COUNT(*) FROM paires WHERE fkid=?");
    s->BindInt(1, fkid);
    s->Step();
    return s->ColumnInt(0);
}

std::string valueOf(const TArrayKeyVal& pairs, const std::string& clef) {
    for (const TKeyVal& p : pairs)
        if (p.clef == clef)
            return p.valeur;
    return "<absent>";
}

} // namespace

class Configurations : public TempDataFolder {};

TEST_F(Configurations, SheetRoundTrip) {
    const Sheet saved = sampleSheet(1);
    const long long id = saveSheetConfig(saved, "Line stage", "first line\nsecond line");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("Circuits_Configs.db"))));

    EXPECT_EQ(getCountConfigs("C1"), 1);
    const TArrayCircuitConfig configs = getCircuitConfigs("C1");
    ASSERT_EQ(configs.size(), 1u);
    EXPECT_EQ(configs[0].id, id);
    EXPECT_EQ(configs[0].code, "C1");
    EXPECT_EQ(configs[0].name, "Line stage");
    EXPECT_EQ(configs[0].comment, "first line\nsecond line");

    // Pairs in sheet order, labels left out, check boxes as "-1" / "0".
    const TArrayKeyVal pairs = getKeyVal(id);
    const std::vector<std::pair<std::string, std::string>> expected = {{"EdVb", "300"},
                                                                       {"EdRa", "100k"},
                                                                       {"EdCk", "10µ"},
                                                                       {"LBtube", "ECC88"},
                                                                       {"CheckBoxCkconnected", "-1"},
                                                                       {"CheckBoxRkbypass", "0"}};
    ASSERT_EQ(pairs.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(pairs[i].fkid, id) << i;
        EXPECT_EQ(pairs[i].clef, expected[i].first) << i;
        EXPECT_EQ(pairs[i].valeur, expected[i].second) << i;
    }

    Sheet loaded = sampleSheet(1);
    loaded.find("EdVb")->text = "250";
    loaded.find("EdRa")->text = "47k";
    loaded.find("EdCk")->text = "";
    loaded.find("LBtube")->selected = 2;
    loaded.find("CheckBoxCkconnected")->checked = false;
    loaded.find("CheckBoxRkbypass")->checked = true;
    loaded.find("LabelVa")->text = "untouched";
    applyCircuitConfig(loaded, id);
    for (const SheetControl& c : saved.controls) {
        const SheetControl* l = loaded.find(c.name);
        if (c.kind == ControlKind::Label) {
            EXPECT_EQ(l->text, "untouched");
            continue;
        }
        EXPECT_EQ(l->text, c.text) << c.name;
        EXPECT_EQ(l->selected, c.selected) << c.name;
        EXPECT_EQ(l->checked, c.checked) << c.name;
    }
    EXPECT_EQ(getCountConfigs("C2"), 0);
    EXPECT_TRUE(getCircuitConfigs("C2").empty());
}

TEST_F(Configurations, SameNameUnderTwoCircuitsStaysTwoConfigurations) {
    const long long c1 = saveSheetConfig(sampleSheet(1), "Mine", "C1 comment");
    Sheet other = sampleSheet(2);
    other.find("EdRa")->text = "220k";
    const long long c2 = saveSheetConfig(other, "Mine", "C2 comment");
    EXPECT_NE(c1, c2);

    ASSERT_EQ(getCircuitConfigs("C1").size(), 1u);
    ASSERT_EQ(getCircuitConfigs("C2").size(), 1u);
    EXPECT_EQ(getCircuitConfigs("C1")[0].comment, "C1 comment");
    EXPECT_EQ(getCircuitConfigs("C2")[0].comment, "C2 comment");
    EXPECT_EQ(valueOf(getKeyVal(c1), "EdRa"), "100k");
    EXPECT_EQ(valueOf(getKeyVal(c2), "EdRa"), "220k");
}

TEST_F(Configurations, SavingAgainUnderTheSameNameUpdatesThatConfiguration) {
    Sheet sheet = sampleSheet(1);
    const long long id = saveSheetConfig(sheet, "Mine", "old comment");
    sheet.find("EdRa")->text = "47k";
    sheet.find("CheckBoxCkconnected")->checked = false;
    sheet.controls.push_back(edit("EdRg", "1M")); // a key the stored configuration lacks
    EXPECT_EQ(saveSheetConfig(sheet, "Mine", "new comment"), id);

    const TArrayCircuitConfig configs = getCircuitConfigs("C1");
    ASSERT_EQ(configs.size(), 1u);
    EXPECT_EQ(configs[0].comment, "new comment");
    const TArrayKeyVal pairs = getKeyVal(id);
    EXPECT_EQ(pairs.size(), 7u);
    EXPECT_EQ(valueOf(pairs, "EdRa"), "47k");
    EXPECT_EQ(valueOf(pairs, "CheckBoxCkconnected"), "0");
    EXPECT_EQ(valueOf(pairs, "EdVb"), "300");
    EXPECT_EQ(valueOf(pairs, "EdRg"), "1M"); // a control added since is saved too
}

TEST_F(Configurations, DeleteRemovesTheConfigurationAndItsPairs) {
    const long long keep = saveSheetConfig(sampleSheet(1), "Keep", "");
    const long long gone = saveSheetConfig(sampleSheet(1), "Gone", "");
    EXPECT_TRUE(deleteCircuitConfig(gone));
    EXPECT_EQ(countPaires(gone), 0);
    EXPECT_EQ(countPaires(keep), 6);
    ASSERT_EQ(getCircuitConfigs("C1").size(), 1u);
    EXPECT_EQ(getCircuitConfigs("C1")[0].name, "Keep");

    // SQLite hands the id of the deleted last row out again: the new configuration holds only its own.
    Sheet small;
    small.circuit = 1;
    small.controls = {edit("EdVb", "250")};
    const long long next = saveSheetConfig(small, "Next", "");
    EXPECT_EQ(getKeyVal(next).size(), 1u);
}

TEST_F(Configurations, PairsLeftByAnOlderFileNeverJoinANewConfiguration) {
    const long long first = saveSheetConfig(sampleSheet(1), "First", "");
    {
        auto db = openConfigsDatabase();
        db->Execute("INSERT INTO paires (fkid, clef, valeur) VALUES (" + std::to_string(first + 1) +
                    ", 'EdRa', 'stale')");
    }
    Sheet small;
    small.circuit = 3;
    small.controls = {edit("EdVb", "250")};
    const long long next = saveSheetConfig(small, "Next", "");
    ASSERT_EQ(next, first + 1);
    const TArrayKeyVal pairs = getKeyVal(next);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].clef, "EdVb");
}

TEST_F(Configurations, NamesAndValuesAreStoredExactly) {
    const struct {
        const char* row;
        std::string name;
    } cases[] = {
        {"quotes", "O'Brien's \"hot\" stage"},       {"slashes", "a/b\\c"},
        {"non-ASCII", "Étage µ 12AX7 — Ω ∞ 真空管"}, {"SQL text", "x'); DROP TABLE configs; --"},
        {"surrounding spaces", "  spaced  "},
    };
    for (const auto& c : cases) {
        Sheet sheet = sampleSheet(7);
        sheet.find("EdRa")->text = c.name;
        sheet.find("LBtube")->items.push_back(c.name);
        sheet.find("LBtube")->selected = 3;
        const long long id = saveSheetConfig(sheet, c.name, c.name + "\r\n" + c.name);
        bool found = false;
        for (const TCircuitConfig& config : getCircuitConfigs("C7"))
            if (config.id == id) {
                found = true;
                EXPECT_EQ(config.name, c.name) << c.row;
                EXPECT_EQ(config.comment, c.name + "\r\n" + c.name) << c.row;
            }
        EXPECT_TRUE(found) << c.row;
        Sheet loaded = sampleSheet(7);
        loaded.find("LBtube")->items.push_back(c.name);
        applyCircuitConfig(loaded, id);
        EXPECT_EQ(loaded.find("EdRa")->text, c.name) << c.row;
        EXPECT_EQ(loaded.find("LBtube")->selected, 3) << c.row;
    }
    EXPECT_EQ(getCountConfigs("C7"), static_cast<int>(std::size(cases)));
}

TEST(ConfigurationsApply, EachControlTakesTheFirstPairOfItsName) {
    const struct {
        const char* row;
        TArrayKeyVal pairs;
        std::function<void(const Sheet&)> check;
    } cases[] = {
        {"absent model leaves the selector empty",
         {{0, "LBtube", "6L6"}, {0, "EdRa", "47k"}},
         [](const Sheet& s) {
             EXPECT_EQ(s.find("LBtube")->selected, -1);
             EXPECT_EQ(s.find("EdRa")->text, "47k");
         }},
        {"check box: -1 checked, 0 unchecked",
         {{0, "CheckBoxCkconnected", "0"}, {0, "CheckBoxRkbypass", "-1"}},
         [](const Sheet& s) {
             EXPECT_FALSE(s.find("CheckBoxCkconnected")->checked);
             EXPECT_TRUE(s.find("CheckBoxRkbypass")->checked);
         }},
        {"check box: anything but 0 is checked",
         {{0, "CheckBoxRkbypass", "1"}},
         [](const Sheet& s) { EXPECT_TRUE(s.find("CheckBoxRkbypass")->checked); }},
        {"first pair wins",
         {{0, "EdRa", "1k"}, {0, "EdRa", "2k"}},
         [](const Sheet& s) { EXPECT_EQ(s.find("EdRa")->text, "1k"); }},
        {"no pair keeps the control, labels ignored",
         {{0, "LabelVa", "0 V"}, {0, "EdUnknown", "5"}},
         [](const Sheet& s) {
             EXPECT_EQ(s.find("EdRa")->text, "100k");
             EXPECT_EQ(s.find("LBtube")->selected, 1);
             EXPECT_TRUE(s.find("CheckBoxCkconnected")->checked);
             EXPECT_EQ(s.find("LabelVa")->text, "182.4 V");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Sheet sheet = sampleSheet(1);
        applyKeyVals(sheet, c.pairs);
        c.check(sheet);
    }
}

TEST_F(Configurations, CorruptFileIsReportedAndLeftUntouched) {
    const std::string garbage(4096, 'x');
    {
        std::ofstream out(path("Circuits_Configs.db"), std::ios::binary);
        out << garbage;
    }
    const struct {
        const char* row;
        std::function<void()> call;
    } operations[] = {
        {"count", [] { getCountConfigs("C1"); }},
        {"list", [] { getCircuitConfigs("C1"); }},
        {"pairs", [] { getKeyVal(1); }},
        {"save", [] { saveSheetConfig(sampleSheet(1), "x", ""); }},
        {"delete", [] { deleteCircuitConfig(1); }},
    };
    for (const auto& op : operations) {
        try {
            op.call();
            ADD_FAILURE() << op.row << ": no error";
        } catch (const SQLiteError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "SQLite3 error: file is not a database (file " + path("Circuits_Configs.db") + ")")
                << op.row;
        }
    }
    EXPECT_EQ(readAll(path("Circuits_Configs.db")), garbage);
}

TEST(ConfigurationsErrors, MissingDataFolderGivesTheSQLiteMessage) {
    setDataFolderOverride("/nonexistent/valvenix-test/");
    const struct {
        const char* row;
        std::function<void()> call;
    } operations[] = {
        {"list", [] { getCircuitConfigs("C1"); }},
        {"save", [] { saveSheetConfig(sampleSheet(1), "x", ""); }},
    };
    for (const auto& op : operations) {
        try {
            op.call();
            ADD_FAILURE() << op.row << ": no error";
        } catch (const SQLiteError& e) {
            EXPECT_EQ(std::string(e.what()), "SQLite3 error: unable to open database file (file "
                                             "/nonexistent/valvenix-test/Circuits_Configs.db)")
                << op.row;
        }
    }
    setDataFolderOverride("");
    EXPECT_FALSE(QFile::exists("/nonexistent/valvenix-test"));
}
