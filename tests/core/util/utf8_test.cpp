// UTF-8 checks, repairs and terminal escapes on well-formed and broken byte sequences.
#include "util/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, ValidityFollowsTheShortestFormRules) {
    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
    } cases[] = {
        {"ASCII and empty", "", true},
        {"two, three and four bytes", "µ Ω 直 \xF0\x9F\x8E\xB8", true},
        {"lone continuation byte", "a\x80", false},
        {"truncated sequence", "\xE2\x82", false},
        {"overlong NUL", "\xC0\x80", false},
        {"overlong slash", "\xE0\x80\xAF", false},
        {"surrogate half", "\xED\xA0\x80", false},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
        {"highest code point", "\xF4\x8F\xBF\xBF", true},
        {"byte never used", "\xFF", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.name;
}

TEST(Utf8, RepairReplacesEachBadByteAndKeepsTheRest) {
    EXPECT_EQ(repairUtf8("Röhre"), "Röhre");
    EXPECT_EQ(repairUtf8("0\xFF"
                         "A"),
              "0\xEF\xBF\xBD"
              "A");
    EXPECT_EQ(repairUtf8("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_TRUE(isValidUtf8(repairUtf8("\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80 ok")));
}

TEST(Utf8, EscapesMakeTextSafeForATerminal) {
    struct Case {
        const char* name;
        std::string text;
        bool keepLineFeeds;
        std::string escaped;
    } cases[] = {
        {"plain text", "EdRa 4k7 µΩ", false, "EdRa 4k7 µΩ"},
        {"escape sequence", "\x1b[2Jgone", false, "\\x1b[2Jgone"},
        {"tab, CR, BEL, DEL", "a\tb\rc\x07\x7f", false, "a\\tb\\rc\\x07\\x7f"},
        {"line feed escaped", "one\ntwo", false, "one\\ntwo"},
        {"line feed kept", "one\ntwo", true, "one\ntwo"},
        {"C1 control (NEL)", "x\xC2\x85y", false, "x\\u0085y"},
        {"invalid byte", "0\xFF", false, "0\\xff"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapeControls(c.text, c.keepLineFeeds), c.escaped) << c.name;
}
