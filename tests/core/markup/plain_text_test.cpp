// Plain-text rendering of markup, as written to the command line and the clipboard.
#include "markup/markup.h"

#include <gtest/gtest.h>

namespace {

struct PlainCase {
    const char* name;
    const char* markup;
    const char* text;
};

TEST(MarkupPlainText, Cases) {
    const PlainCase cases[] = {
        {"empty", "", ""},
        {"plain", "no tags", "no tags"},
        {"tagsDropped", "Ra = <css=r>100k</css>Ω, gain <b>12.3</b> or <css=db>21.8dB</css>",
         "Ra = 100kΩ, gain 12.3 or 21.8dB"},
        {"breaks", "<br><br>  * If Rk1 bypassed:</P><br>end", "\n\n  * If Rk1 bypassed:\nend"},
        {"crlf", "a\r\nb", "a\nb"},
        {"upperBrJoins", "one<BR>two", "onetwo"},
        {"subscript", "g<SUB>m</SUB>~", "gm~"},
        {"entities", "a&nbsp;b", "a&nbsp;b"},
        {"unclosedTag", "x <b>y< z", "x y< z"},
        {"utf8", "<css=µ>µ</css> ±1% Ω", "µ ±1% Ω"},
    };
    for (const PlainCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(markupToPlainText(c.markup), c.text);
    }
}

} // namespace
