// The packaged texts: one circuit's section cut out of the descriptions file, and the readers of the
// descriptions and the welcome text with their failure texts.
#include "storage/packaged_files.h"
#include "temp_data_folder.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(Descriptions, SectionOfCircuitN) {
    const std::string file = "#1\nOne.\n#12\nTwelve.\n#2\n\n\n  Two,\nin two lines.  \n\n#21\nTwenty-one.";
    const struct {
        const char* name;
        std::string text;
        int circuit;
        std::string expected;
    } cases[] = {
        {"#1 is not taken for 12", file, 1, "One."},
        {"#12 is not taken for 1", file, 12, "Twelve."},
        {"leading empty lines and blanks trimmed, lines joined by CR LF", file, 2, "Two,\r\nin two lines."},
        {"last section without a final line end", file, 21, "Twenty-one."},
        {"no section: empty", file, 3, ""},
        {"Windows line ends", "#1\r\nOne,\r\ntwo.\r\n#2\r\nNo.\r\n", 1, "One,\r\ntwo."},
        {"byte-order mark before the first header", "\xEF\xBB\xBF#5\nFive.\n", 5, "Five."},
        {"any line starting with # ends the section", "#4\nFour.\n# a remark\nNot four.\n", 4, "Four."},
        {"a # inside a line is text", "#4\nC4 is #4 in the list.\n", 4, "C4 is #4 in the list."},
        {"the header must be exact", "#4 \nSpace.\n#04\nZero.\n", 4, ""},
        {"the first of two sections for one circuit", "#6\nFirst.\n#6\nSecond.\n", 6, "First."},
        {"markup kept as written", "#7\n<css=h1>Title</css><br>Text\n", 7, "<css=h1>Title</css><br>Text"},
        {"empty file", "", 1, ""},
        {"header alone at the end", "#9", 9, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(extractDescription(c.text, c.circuit), c.expected) << c.name;
}

class PackagedTexts : public TempDataFolder {
protected:
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
};

TEST_F(PackagedTexts, DescriptionFromTheDataFolder) {
    write("schemas2026.txt", "#3\r\n\r\nThree.\r\n");
    const PackagedText read = readCircuitDescription(3);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.text, "Three.");
    const PackagedText none = readCircuitDescription(4);
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.text, "");
}

TEST_F(PackagedTexts, MissingFilesGiveTheirFailureTexts) {
    const PackagedText description = readCircuitDescription(1);
    EXPECT_FALSE(description.ok);
    EXPECT_NE(description.error.find(path("schemas2026.txt")), std::string::npos) << description.error;
    EXPECT_EQ(description.text, "");

    const PackagedText intro = readIntroduction();
    EXPECT_FALSE(intro.ok);
    EXPECT_EQ(intro.error, "Could not load file introduction.rtf");
}

TEST_F(PackagedTexts, WelcomeTextIsReadWhole) {
    const std::string text = "\n<css=h1>Welcome</css>\r\nµ and Ω\n";
    write("introduction.txt", text);
    const PackagedText intro = readIntroduction();
    ASSERT_TRUE(intro.ok);
    EXPECT_EQ(intro.text, text);
}

} // namespace
