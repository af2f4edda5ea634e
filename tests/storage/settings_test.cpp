// The settings file in a temporary data folder: defaults, typed round trips, the texts written to
// the file, window placement keys, sheet persistence, and a missing data folder.
#include "circuits/catalogue.h"
#include "sheet_controls.h"
#include "storage/data_folder.h"
#include "storage/settings.h"
#include "storage/sheet_persistence.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        setDataFolderOverride(dir_.path().toStdString());
    }
    void TearDown() override { setDataFolderOverride(""); }

    std::string iniPath() const { return dataFilePath(kSettingsFileName); }
    std::string fileText() const {
        std::ifstream in(iniPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void writeFile(const std::string& text) const { std::ofstream(iniPath(), std::ios::binary) << text; }
    bool fileHasLine(const std::string& line) const {
        std::istringstream in(fileText());
        for (std::string l; std::getline(in, l);)
            if (l == line || l == line + "\r")
                return true;
        return false;
    }

private:
    QTemporaryDir dir_;
};

// The first-use texts of edit fields, by the first matching substring of the field name.
std::string namingRule(const std::string& name) {
    static const std::pair<const char*, const char*> rules[] = {
        {"Ra", "100k"}, {"Rk", "1k"}, {"Rgs", "5k"}, {"Rg", "1M"},   {"Ro", "500k"},
        {"Rs", "1k"},   {"R", "10k"}, {"Co", "10p"}, {"Cgs", "22p"}, {"Cg", "10p"},
        {"Ck", "10µ"},  {"C", "10n"}, {"V", "250"},  {"I", "1m"}};
    for (const auto& [part, text] : rules)
        if (name.find(part) != std::string::npos)
            return text;
    return {};
}

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    TIniPosDim settings(kSettingsFileName);
    EXPECT_EQ(settings.lastCircuit(), 0);
    EXPECT_TRUE(settings.displayHor());
    EXPECT_TRUE(settings.flat());
    EXPECT_EQ(settings.editBorders(), 0);
    EXPECT_TRUE(settings.ckbBackground());
    EXPECT_EQ(settings.rgBorders(), 0);
    EXPECT_EQ(settings.bodeStrayCaps(), 0);
    EXPECT_DOUBLE_EQ(settings.bodeStrayCapFarads(), 1e-12);
    EXPECT_EQ(settings.pentodeVs(), "100");
    EXPECT_FALSE(settings.hasKey(kMainSection, "lastcircuit"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(iniPath()))) << "reading must not create the file";
}

TEST_F(SettingsFile, TypedSettersWriteTheDocumentedTexts) {
    TIniPosDim settings(kSettingsFileName);
    ASSERT_TRUE(settings.setLastCircuit(12));
    ASSERT_TRUE(settings.setDisplayHor(false));
    ASSERT_TRUE(settings.setFlat(true));
    ASSERT_TRUE(settings.setEditBorders(1));
    ASSERT_TRUE(settings.setCkbBackground(false));
    ASSERT_TRUE(settings.setRgBorders(1));
    ASSERT_TRUE(settings.setBodeStrayCaps(3));
    ASSERT_TRUE(settings.setPentodeVs("150"));

    const struct {
        const char* line;
    } lines[] = {{"[Korvessa]"},    {"lastcircuit=12"},  {"displayhor=0"}, {"flat=1"},
                 {"editborders=1"}, {"ckbbackground=0"}, {"rgborders=1"},  {"[Bode]"},
                 {"straycaps=3"},   {"[pentode]"},       {"vs=150"}};
    for (const auto& l : lines)
        EXPECT_TRUE(fileHasLine(l.line)) << l.line << " missing from:\n" << fileText();

    // A second object on the same file reads what the first wrote.
    TIniPosDim other(kSettingsFileName);
    EXPECT_EQ(other.lastCircuit(), 12);
    EXPECT_FALSE(other.displayHor());
    EXPECT_TRUE(other.flat());
    EXPECT_EQ(other.editBorders(), 1);
    EXPECT_FALSE(other.ckbBackground());
    EXPECT_EQ(other.rgBorders(), 1);
    EXPECT_EQ(other.bodeStrayCaps(), 3);
    EXPECT_DOUBLE_EQ(other.bodeStrayCapFarads(), 4e-12);
    EXPECT_EQ(other.pentodeVs(), "150");
}

TEST_F(SettingsFile, ObjectsOnTheSameFileSeeEachOthersWrites) {
    TIniPosDim first(kSettingsFileName);
    TIniPosDim second(kSettingsFileName);
    EXPECT_EQ(second.lastCircuit(), 0);
    ASSERT_TRUE(first.setLastCircuit(7));
    EXPECT_EQ(second.lastCircuit(), 7);
    ASSERT_TRUE(second.setLastCircuit(9));
    EXPECT_EQ(first.lastCircuit(), 9);
}

TEST_F(SettingsFile, ReadsHandWrittenValuesAsDescribed) {
    writeFile("[Korvessa]\n"
              "b0=0\nb1=1\nb2=2\nbneg=-1\nbtrue=true\nbempty=\nbspace= 1 \nbtext=abc\n"
              "i12=12\nitext=12a\nifloat=1.5\nihuge=99999999999\n"
              "[C3]\nEdVb=1,5\n");
    TIniPosDim settings(kSettingsFileName);
    const struct {
        const char* key;
        bool whenDefaultFalse;
        bool whenDefaultTrue;
    } bools[] = {{"b0", false, false},   {"b1", true, true},     {"b2", true, true},
                 {"bneg", true, true},   {"btrue", false, true}, {"bempty", false, true},
                 {"bspace", true, true}, {"btext", false, true}, {"absent", false, true}};
    for (const auto& b : bools) {
        EXPECT_EQ(settings.readBool(kMainSection, b.key, false), b.whenDefaultFalse) << b.key;
        EXPECT_EQ(settings.readBool(kMainSection, b.key, true), b.whenDefaultTrue) << b.key;
    }
    const struct {
        const char* key;
        int expected;
    } ints[] = {{"i12", 12}, {"itext", -7}, {"ifloat", -7}, {"ihuge", -7}, {"absent", -7}};
    for (const auto& i : ints)
        EXPECT_EQ(settings.readInteger(kMainSection, i.key, -7), i.expected) << i.key;
    // An unquoted comma must not turn the value into something else.
    EXPECT_EQ(settings.readString("C3", "EdVb", ""), "1,5");
}

TEST_F(SettingsFile, StringsRoundTrip) {
    TIniPosDim settings(kSettingsFileName);
    const struct {
        const char* name;
        std::string value;
    } cases[] = {{"micro sign", "10µ"}, {"comma", "1,5"},      {"equals sign", "a=b"},
                 {"empty", ""},         {"leading at", "@x"},  {"semicolon", "4k7;x"},
                 {"quotes", "\"q\""},   {"backslash", "a\\b"}, {"surrounding spaces", " 47k "}};
    for (const auto& c : cases) {
        ASSERT_TRUE(settings.writeString("C1", "EdRa", c.value)) << c.name;
        EXPECT_EQ(TIniPosDim(kSettingsFileName).readString("C1", "EdRa", "?"), c.value) << c.name;
    }
    ASSERT_TRUE(settings.writeString("C1", "EdCµ", "non-ASCII key"));
    EXPECT_EQ(TIniPosDim(kSettingsFileName).readString("C1", "EdCµ", "?"), "non-ASCII key");
    ASSERT_TRUE(settings.writeString("C1", "EdCk", "10µ"));
    EXPECT_NE(fileText().find("EdCk=10µ"), std::string::npos) << "UTF-8 text expected:\n" << fileText();
}

TEST_F(SettingsFile, BodeStrayCapacitanceStaysWithinTheChoices) {
    TIniPosDim settings(kSettingsFileName);
    const struct {
        int item;
        double farads;
    } cases[] = {{0, 1e-12}, {3, 4e-12}, {4, 5e-12}, {-1, 1e-12}, {9, 5e-12}};
    for (const auto& c : cases) {
        ASSERT_TRUE(settings.setBodeStrayCaps(c.item));
        EXPECT_DOUBLE_EQ(settings.bodeStrayCapFarads(), c.farads) << "item " << c.item;
    }
}

TEST_F(SettingsFile, BlankPentodeScreenVoltageReadsAs100) {
    TIniPosDim settings(kSettingsFileName);
    ASSERT_TRUE(settings.setPentodeVs("  "));
    EXPECT_EQ(settings.pentodeVs(), "100");
    ASSERT_TRUE(settings.setPentodeVs("250"));
    EXPECT_EQ(settings.pentodeVs(), "250");
}

TEST_F(SettingsFile, ClosedObjectReadsDefaultsAndRefusesWrites) {
    TIniPosDim settings;
    EXPECT_FALSE(settings.isOpen());
    EXPECT_FALSE(settings.setLastCircuit(5));
    EXPECT_EQ(settings.lastCircuit(), 0);
    settings.Open();
    ASSERT_TRUE(settings.setLastCircuit(5));
    settings.Close();
    EXPECT_EQ(settings.lastCircuit(), 0);
    settings.Open();
    EXPECT_EQ(settings.lastCircuit(), 5);
}

TEST_F(SettingsFile, MissingDataFolderIsNeitherCreatedNorWritten) {
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    const QString absent = parent.path() + "/Morvane/Valvenix";
    setDataFolderOverride(absent.toStdString());
    TIniPosDim settings(kSettingsFileName);
    EXPECT_FALSE(settings.setLastCircuit(3));
    EXPECT_FALSE(settings.storeForm("Form1", {1, 2, 300, 400}));
    Sheet sheet{4, {edit("EdRa", "47k")}};
    EXPECT_FALSE(SaveAutoParams(sheet, BodeOptions{}, settings));
    EXPECT_EQ(settings.lastCircuit(), 0);
    BodeOptions options;
    LoadAutoParams(sheet, options, settings, namingRule);
    EXPECT_EQ(sheet.controls[0].text, "100k");
    EXPECT_FALSE(QDir(parent.path() + "/Morvane").exists()) << "the storage layer created the data folder";
}

TEST_F(SettingsFile, AFileWithAMalformedLineIsNeverRewrittenAndSaysWhy) {
    const struct {
        const char* row;
        std::string text;
        int line;
    } cases[] = {
        {"section without its bracket", "[Korvessa]\nlastcircuit=3\n[C1\nEdRa=47k\n", 3},
        {"a word alone", "[Korvessa]\nlastcircuit=3\nsome notes\n", 3},
        {"a # line", "# notes\r\n[Korvessa]\r\nlastcircuit=3\r\n", 1},
        {"a NUL byte", std::string("[Korvessa]\nlastcircuit=3\n\0\n", 26), 3},
        {"a quote left open", "[Korvessa]\nlastcircuit=3\nEd\"Ra=4,7k\"\n", -1},
    };
    for (const auto& c : cases) {
        writeFile(c.text);
        TIniPosDim settings(kSettingsFileName);
        EXPECT_EQ(settings.lastCircuit(), 3) << c.row << ": the good lines still read";
        EXPECT_FALSE(settings.setLastCircuit(9)) << c.row;
        Sheet sheet{1, {edit("EdRa", "10k")}};
        EXPECT_FALSE(SaveAutoParams(sheet, BodeOptions{}, settings)) << c.row;
        EXPECT_EQ(fileText(), c.text) << c.row;
        EXPECT_EQ(settings.problem(),
                  c.line > 0
                      ? "its line " + std::to_string(c.line) +
                            " is neither [section], key=value nor a ; comment, so the file is left as it is"
                      : "it does not read as [section] and key=value lines (a quote left open?), so it is "
                        "left as it is")
            << c.row;
    }
    writeFile("; a comment\n[Korvessa]\nlastcircuit=3\n");
    EXPECT_EQ(TIniPosDim(kSettingsFileName).problem(), "");
}

// Window placement ---------------------------------------------------------------------------

const ScreenRect kScreen{0, 0, 1920, 1080};

TEST_F(SettingsFile, StoredGeometryComesBackAndIsWrittenUnderFormPosDim) {
    TIniPosDim settings(kSettingsFileName);
    ASSERT_TRUE(settings.storeForm("FormAnode", {120, 80, 1000, 700}));
    for (const char* line :
         {"[FormPosDim]", "FormAnode_l=120", "FormAnode_t=80", "FormAnode_w=1000", "FormAnode_h=700"})
        EXPECT_TRUE(fileHasLine(line)) << line << " missing from:\n" << fileText();
    const ScreenLayout screens{kScreen, {kScreen}};
    EXPECT_EQ(TIniPosDim(kSettingsFileName).readForm("FormAnode", 640, 480, screens),
              (ScreenRect{120, 80, 1000, 700}));
}

TEST_F(SettingsFile, PlacementDefaultsAndOffScreenRecovery) {
    TIniPosDim settings(kSettingsFileName);
    const ScreenLayout oneScreen{kScreen, {kScreen}};
    // First start: half the screen, centred.
    EXPECT_EQ(settings.readForm("Form1", 800, 600, oneScreen), (ScreenRect{480, 270, 960, 540}));
    // Saved on a monitor that has since been unplugged: centred on the primary with its size.
    ASSERT_TRUE(settings.storeForm("Form1", {2200, 300, 800, 600}));
    EXPECT_EQ(settings.readForm("Form1", 800, 600, oneScreen), (ScreenRect{560, 240, 800, 600}));
    // The fixed-size models window keeps its own size at the saved place.
    ASSERT_TRUE(settings.storeForm("FormModels", {10, 20, 300, 300}));
    EXPECT_EQ(settings.readForm("FormModels", 900, 650, oneScreen, true), (ScreenRect{10, 20, 900, 650}));
    // A damaged key reads as absent.
    writeFile("[FormPosDim]\nForm1_l=abc\nForm1_t=5\nForm1_w=800\nForm1_h=600\n");
    EXPECT_EQ(settings.readForm("Form1", 800, 600, oneScreen), (ScreenRect{560, 5, 800, 600}));
}

// Sheet persistence --------------------------------------------------------------------------

Sheet sampleSheet(int circuit) {
    Sheet sheet;
    sheet.circuit = circuit;
    sheet.controls = {
        edit("EdVb", "300"),
        edit("EdRa", "47k"),
        edit("EdRgs", "designed"),
        edit("EdRo", "designed"),
        edit("EdCk", "designed"),
        edit("EdXyz", "designed"),
        checkBox("CheckBoxCkconnected", true),
        selector("LBtube", {"12AX7", "ECC88", "6SN7"}, 2),
        selector("LBparallel", {"1", "2"}, -1),
        selector("LBtube2", {}, 5),
        label("LabelVa", "123 V"),
    };
    return sheet;
}

TEST_F(SettingsFile, FirstLoadUsesTheNamingRuleAndOptionDefaults) {
    TIniPosDim settings(kSettingsFileName);
    Sheet sheet = sampleSheet(7);
    BodeOptions options;
    options.feedback = 3;
    LoadAutoParams(sheet, options, settings, namingRule);
    EXPECT_EQ(options.freqmin, 1);
    EXPECT_EQ(options.freqmax, 1);
    EXPECT_FALSE(options.ignoreMiller);
    EXPECT_EQ(options.straycaps, 2);
    EXPECT_EQ(options.feedback, 3) << "feedback is not a stored option";

    const struct {
        const char* name;
        std::string text;
    } fields[] = {{"EdVb", "250"},  {"EdRa", "100k"}, {"EdRgs", "5k"},
                  {"EdRo", "500k"}, {"EdCk", "10µ"},  {"EdXyz", ""}};
    for (const auto& f : fields)
        EXPECT_EQ(sheet.find(f.name)->text, f.text) << f.name;
    EXPECT_FALSE(sheet.find("CheckBoxCkconnected")->checked);
    EXPECT_EQ(sheet.find("LBtube")->selected, 0);
    EXPECT_EQ(sheet.find("LBparallel")->selected, 0);
    EXPECT_EQ(sheet.find("LBtube2")->selected, -1) << "an empty list selects nothing";
    EXPECT_EQ(sheet.find("LabelVa")->text, "123 V") << "labels are not restored";

    Sheet noDefaults = sampleSheet(7);
    LoadAutoParams(noDefaults, options, settings, FieldDefault());
    EXPECT_EQ(noDefaults.find("EdRa")->text, "");
}

TEST_F(SettingsFile, SavedSheetComesBackOnTheNextLoad) {
    Sheet saved = sampleSheet(7);
    saved.find("EdRgs")->text = "2k2";
    saved.find("EdCk")->text = "";
    BodeOptions options{2, 3, true, 4, 1};
    {
        TIniPosDim settings(kSettingsFileName);
        ASSERT_TRUE(SaveAutoParams(saved, options, settings));
    }
    for (const char* line : {"[C7]", "freqmin=2", "freqmax=3", "ignoreMiller=1", "straycaps=4", "EdVb=300",
                             "EdRa=47k", "EdRgs=2k2", "CheckBoxCkconnected=1", "LBtube=6SN7", "LBparallel="})
        EXPECT_TRUE(fileHasLine(line)) << line << " missing from:\n" << fileText();
    EXPECT_EQ(fileText().find("LabelVa"), std::string::npos) << "labels are not stored";

    TIniPosDim settings(kSettingsFileName);
    Sheet loaded = sampleSheet(7);
    loaded.find("CheckBoxCkconnected")->checked = false;
    loaded.find("LBtube")->selected = 0;
    BodeOptions restored;
    LoadAutoParams(loaded, restored, settings, namingRule);
    EXPECT_EQ(restored.freqmin, 2);
    EXPECT_EQ(restored.freqmax, 3);
    EXPECT_TRUE(restored.ignoreMiller);
    EXPECT_EQ(restored.straycaps, 4);
    for (const char* name : {"EdVb", "EdRa", "EdRgs", "EdRo", "EdCk", "EdXyz"})
        EXPECT_EQ(loaded.find(name)->text, saved.find(name)->text) << name;
    EXPECT_EQ(loaded.find("EdCk")->text, "") << "a stored empty text is not replaced by the default";
    EXPECT_TRUE(loaded.find("CheckBoxCkconnected")->checked);
    EXPECT_EQ(loaded.find("LBtube")->selected, 2);
    EXPECT_EQ(loaded.find("LBparallel")->selected, 0) << "stored empty text: first item";

    // Another circuit's section is untouched by this one.
    Sheet other = sampleSheet(8);
    LoadAutoParams(other, restored, settings, namingRule);
    EXPECT_EQ(other.find("EdRa")->text, "100k");
    EXPECT_EQ(restored.straycaps, 2);
}

TEST_F(SettingsFile, StoredSelectorTextNoLongerListedSelectsTheFirstItem) {
    TIniPosDim settings(kSettingsFileName);
    ASSERT_TRUE(settings.writeString("C1", "LBtube", "deleted model"));
    Sheet sheet = sampleSheet(1);
    BodeOptions options;
    LoadAutoParams(sheet, options, settings, namingRule);
    EXPECT_EQ(sheet.find("LBtube")->selected, 0);
    EXPECT_EQ(sheet.find("LBtube2")->selected, -1);
}

TEST_F(SettingsFile, EveryCatalogueSheetOpensWithTheNamingRuleAndRoundTrips) {
    TIniPosDim settings(kSettingsFileName);
    for (int n = 1; n <= kCircuitCount; ++n) {
        Sheet sheet = newSheet(n);
        for (SheetControl& c : sheet.controls)
            if (c.kind == ControlKind::Edit)
                c.text = "designed";
        BodeOptions options;
        LoadAutoParams(sheet, options, settings, namingRuleDefault);
        for (SheetControl& c : sheet.controls) {
            if (c.kind != ControlKind::Edit)
                continue;
            EXPECT_EQ(c.text, namingRule(c.name)) << "C" << n << " " << c.name;
            c.text = c.name + "-" + std::to_string(n); // distinct per circuit and field
        }
        for (SheetControl& c : sheet.controls) {
            if (c.kind == ControlKind::CheckBox)
                c.checked = true;
            if (c.kind == ControlKind::Selector && !c.items.empty())
                c.selected = static_cast<int>(c.items.size()) - 1;
        }
        ASSERT_TRUE(SaveAutoParams(sheet, options, settings)) << "C" << n;

        Sheet reopened = newSheet(n);
        LoadAutoParams(reopened, options, settings, namingRuleDefault);
        ASSERT_EQ(reopened.controls.size(), sheet.controls.size());
        for (size_t i = 0; i < sheet.controls.size(); ++i) {
            const SheetControl& a = sheet.controls[i];
            const SheetControl& b = reopened.controls[i];
            EXPECT_EQ(b.text, a.text) << "C" << n << " " << a.name;
            EXPECT_EQ(b.checked, a.checked) << "C" << n << " " << a.name;
            EXPECT_EQ(b.selected, a.selected) << "C" << n << " " << a.name;
        }
    }
}

} // namespace

// A key the file's reader takes but its writer cannot escape so that it reads back (here a key with
// a control character and bytes that are not UTF-8, found by the settings fuzzer): a save would have
// rewritten the file into one the reader refuses, after which no save went through. The save is
// refused instead, the file stays as it was, and problem() says why.
TEST_F(SettingsFile, AKeyThatWouldNotReadBackRefusesTheSaveAndSaysWhy) {
    const std::string text("[C7]\n>d7\x02\xff\xffu /=E)d/e]\nvs=\n");
    writeFile(text);
    TIniPosDim settings(kSettingsFileName);
    EXPECT_EQ(settings.problem(), "");
    Sheet sheet = newSheet(7);
    BodeOptions options;
    LoadAutoParams(sheet, options, settings, namingRule);
    EXPECT_FALSE(SaveAutoParams(sheet, options, settings));
    EXPECT_EQ(fileText(), text);
    EXPECT_EQ(settings.problem(), "saving would write back a key it could not read again (a key that is not "
                                  "plain text?), so the file is left as it is");
    EXPECT_FALSE(settings.setLastCircuit(7));
    EXPECT_EQ(fileText(), text);

    writeFile("[C7]\nEdRa=47k\n"); // a sound file saves again, and the problem is gone
    EXPECT_TRUE(SaveAutoParams(sheet, options, settings));
    EXPECT_EQ(settings.problem(), "");
}
