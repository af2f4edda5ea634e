// The frequency-response arithmetic kept in the settings file: exact for a new user, classic for a
// file written before the choice existed, whatever was stored otherwise.
#include "frequency/bode_options.h"
#include "storage/settings.h"
#include "temp_data_folder.h"

#include <fstream>

namespace {
class AcModeSetting : public TempDataFolder {
protected:
    void writeFile(const std::string& text) const {
        std::ofstream(path(kSettingsFileName), std::ios::binary) << text;
    }
};
} // namespace

TEST_F(AcModeSetting, ReadsByWhatTheFileHolds) {
    struct Case {
        const char* name;
        const char* file; // nullptr: no settings file
        int mode;
    } cases[] = {
        {"no settings file: a new user", nullptr, kAcExact},
        {"a file from before the choice", "[Korvessa]\nlastcircuit=3\n[Bode]\nstraycaps=1\n", kAcClassic},
        {"an empty file", "", kAcClassic},
        {"exact stored", "[Bode]\nacmode=1\n", kAcExact},
        {"classic stored", "[Bode]\nacmode=0\n", kAcClassic},
        {"a hand-edited value", "[Bode]\nacmode=7\n", kAcClassic},
        {"a text", "[Bode]\nacmode=exact\n", kAcClassic},
    };
    // One file per case: Qt keeps a file's settings cached while its time and size look unchanged.
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = "case" + std::to_string(++k) + ".ini";
        if (c.file)
            std::ofstream(path(name), std::ios::binary) << c.file;
        TIniPosDim settings(name);
        EXPECT_EQ(settings.bodeAcMode(), c.mode);
    }
}

TEST_F(AcModeSetting, SettlingFixesTheFirstAnswerForGood) {
    {
        TIniPosDim settings(kSettingsFileName);
        ASSERT_TRUE(settings.settleBodeAcMode());
        // Later writes create nothing new: the key is there, so the file no longer reads as old.
        ASSERT_TRUE(settings.setLastCircuit(4));
        EXPECT_EQ(settings.bodeAcMode(), kAcExact);
        EXPECT_TRUE(settings.hasKey(kBodeSection, "acmode"));
    }
    writeFile("[Korvessa]\nlastcircuit=3\n");
    TIniPosDim old(kSettingsFileName);
    ASSERT_TRUE(old.settleBodeAcMode());
    EXPECT_EQ(old.bodeAcMode(), kAcClassic);
    EXPECT_EQ(old.lastCircuit(), 3);
    ASSERT_TRUE(old.setBodeAcMode(kAcExact));
    ASSERT_TRUE(old.settleBodeAcMode()); // a stored choice is left as it is
    EXPECT_EQ(old.bodeAcMode(), kAcExact);
}

TEST(AcModeSettingClosed, ASettingsObjectWithoutFileReadsClassicAndWritesNothing) {
    TIniPosDim closed;
    EXPECT_EQ(closed.bodeAcMode(), kAcClassic);
    EXPECT_FALSE(closed.settleBodeAcMode());
}
