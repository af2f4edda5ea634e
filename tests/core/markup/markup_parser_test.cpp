// Markup parser: tags, classes, line breaks, carried-over state and malformed input, case by case.
#include "markup_test_util.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// The solver window's report classes plus a few made-up ones that show the class rules.
TClassesCSS testClasses() {
    TClassesCSS c = solverReportClasses();
    EXPECT_TRUE(c.AddClasseCSS("plain", "", 0, 0x123456, 0));          // no style
    EXPECT_TRUE(c.AddClasseCSS("big", "Noto Mono", fsItalic, -1, 20)); // face and size, keeps colour
    EXPECT_TRUE(c.AddClasseCSS("black", "", 0, 0, 0));                 // colour 0 cannot be set
    EXPECT_TRUE(c.AddClasseCSS("under", "", fsUnderline | fsStrikeOut, -1, 0));
    return c;
}

struct ParseCase {
    const char* name;
    std::vector<std::string> strings; // added one after another to the same parser
    std::string expected;             // describeRuns of each string, joined by "||"
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

const ParseCase parseCases[] = {
    {"BoldPair", {"a<b>bold</b>c"}, "a{}|bold{b}|c{}"},
    {"ItalicPair", {"a<i>it</i>c"}, "a{}|it{i}|c{}"},
    {"ClassThenReset", {"x<css=error>E</css>y"}, "x{}|E{b,s=12,c=FF0000}|y{}"},
    {"ClassKeepsSizeOfEarlierClass", {"<css=error>a<css=vn>b"}, "a{b,s=12,c=FF0000}|b{b,s=12,c=009900}"},
    {"ClassReplacesBoldAndLaterOffBoldIsInvisible",
     {"<b>a<css=plain>b</css>c</b>d"},
     "a{b}|b{c=123456}|cd{}"},
    {"ClassReplacesWholeStyle", {"<b><i>a<css=under>b</css>c"}, "a{b,i}|b{u,x}|c{}"},
    {"ClassSetsFaceAndSize",
     {"<color=112233>a<css=big>b</css>c"},
     "a{c=112233}|b{i,s=20,c=112233,f=Noto Mono}|c{}"},
    {"BrBreaksLine", {"one<br>two"}, "one\ntwo{}"},
    {"UpperCaseBrIsUnknownTag", {"one<BR>two"}, "onetwo{}"},
    {"CrLfAndLoneCrBreakLines", {"a\r\nb\rc\nd"}, "a\nb\nc\nd{}"},
    {"BreakInsideTagIsSwallowed", {"a<<br>>b"}, "ab{}"},
    {"OneCharacterAfterLastTag", {"<b>x</b>y"}, "x{b}|y{}"},
    {"GreyUntilColourOff", {"a<color=909090>grey</color>b"}, "a{}|grey{c=909090}|b{}"},
    {"UndefinedClassKeepsFaceSizeColourDropsStyle",
     {"<css=big><color=112233><b>a<css=nosuch>b"},
     "a{b,i,s=20,c=112233,f=Noto Mono}|b{s=20,c=112233,f=Noto Mono}"},
    {"ClassNamesAreCaseSensitive", {"<css=Error>x<CSS=error>y"}, "xy{}"},
    {"ClassNameRunsToClosingBracket", {"<css=error >x"}, "x{}"},
    {"EntitiesShownAsWritten", {"a&nbsp;b&amp;&lt;"}, "a&nbsp;b&amp;&lt;{}"},
    {"StateCarriesToNextString", {"x<b>open", "next</b>plain"}, "x{}|open{b}||next{b}|plain{}"},
    {"ClassCarriesToNextString", {"<css=db>", "-3.0dB</css> ok"}, "||-3.0dB{b,c=3333AA}| ok{}"},
    {"NoNesting", {"<b>a<b>b</b>c</b>d"}, "ab{b}|cd{}"},
    {"CssCloseResetsEverything", {"<b><i><color=909090>a</css>b"}, "a{b,i,c=909090}|b{}"},
    {"ColourOffRestoresOnlyColour", {"<css=error><i>a</color>b"}, "a{b,i,s=12,c=FF0000}|b{b,i,s=12}"},
    {"UnknownTagsVanish", {"g<SUB>m</SUB>~ <p>x</p><P><B>y</B>"}, "gm~ xy{}"},
    {"EmptyTagVanishes", {"a<>b"}, "ab{}"},
    {"TagMeaningBySubstring", {"<font color=E3780E>w</font><img src=x>v"}, "w{c=E3780E}|v{i,c=E3780E}"},
    {"OneTagSetsSeveralFlags", {"<b i>x"}, "x{b,i}"},
    {"FlagsAppliedInFixedOrder", {"<b/b>a<b>b</b b>c<i/i>d"}, "a{}|b{b}|cd{}"},
    {"ClassThenResetInOneTag", {"<b>a<css=vn</css>b"}, "a{b}|b{}"},
    {"UnclosedTagShowsRestAsText", {"a<b>b<c d"}, "a{}|b<c d{b}"},
    {"LoneLessThanAtEnd", {"x<"}, "x<{}"},
    {"GreaterThanInTextIsText", {"a > b"}, "a > b{}"},
    {"BlackByTagButNotByClass",
     {"<color=000000>a</color>b<color=112233>c<css=black>d"},
     "a{c=000000}|b{}|cd{c=112233}"},
    {"MalformedColourLeavesColour",
     {"<color=112233>a<color=zz>b<color=12345>c<color=1234567>d<color=>e"},
     "abcde{c=112233}"},
    {"LowerCaseHexColour", {"<color=e3780e>a"}, "a{c=E3780E}"},
    {"Utf8AroundTags",
     {"<css=µ>µ=98</css> 4.7kΩ ±5%<css=gm>Ω</css>"},
     "µ=98{b,c=AA0066}| 4.7kΩ ±5%{}|Ω{b,c=00AA66}"},
    {"EmptyAndTagOnlyStrings", {"", "<b></b>", "<i>"}, "||||"},
    {"ReportLine", {"<br>  Vak = <css=vp>250.0V</css><br>"}, "\n  Vak = {}|250.0V{b,c=990000}|\n{}"},
};

class MarkupParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MarkupParse, Runs) {
    const ParseCase& c = GetParam();
    MarkupParser parser(testClasses());
    std::string got;
    for (std::size_t i = 0; i < c.strings.size(); ++i) {
        if (i > 0)
            got += "||";
        got += describeRuns(parser.addString(c.strings[i]));
    }
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkupParse, ::testing::ValuesIn(parseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MarkupParser, ClearStartsFromDefaults) {
    MarkupParser parser(solverReportClasses());
    (void)parser.addString("<css=error><i>unclosed");
    EXPECT_FALSE(parser.attributes().isDefault());
    parser.clear();
    EXPECT_TRUE(parser.attributes().isDefault());
    EXPECT_EQ(describeRuns(parser.addString("x")), "x{}");
}

TEST(MarkupParser, RefilledClassTableIsUsed) {
    MarkupParser parser(classesFor(MarkupDisplay::UsageStatistics));
    EXPECT_EQ(describeRuns(parser.addString("<css=rou>a</css>")), "a{b,c=A01010}");
    parser.classes().ClearClassesCSS();
    ASSERT_TRUE(parser.classes().AddClasseCSS("rou", "", fsItalic, 0x010203, 0));
    EXPECT_EQ(describeRuns(parser.addString("<css=rou>a</css>")), "a{i,c=010203}");
}

TEST(MarkupParser, OneShotParseStartsFromDefaults) {
    const TClassesCSS classes = solverReportClasses();
    EXPECT_EQ(describeRuns(parseMarkup("<b>a", classes)), "a{b}");
    EXPECT_EQ(describeRuns(parseMarkup("b", classes)), "b{}");
}

struct TagCase {
    const char* tag;
    TModifiers flags;
    const char* attribut;
    const char* attrColor;
};

TModifiers flags(std::initializer_list<bool TModifiers::*> on) {
    TModifiers m;
    for (auto member : on)
        m.*member = true;
    return m;
}

TEST(MarkupTag, FlagsAndValues) {
    const TagCase cases[] = {
        {"<b>", flags({&TModifiers::onBold}), "", ""},
        {"</b>", flags({&TModifiers::offBold}), "", ""},
        {"<i>", flags({&TModifiers::onItalic}), "", ""},
        {"</i>", flags({&TModifiers::offItalic}), "", ""},
        {"<color=909090>", flags({&TModifiers::onColor}), "", "909090"},
        {"</color>", flags({&TModifiers::offColor}), "", ""},
        {"<css=error>", flags({&TModifiers::onCSS}), "error", ""},
        {"<css=db>", flags({&TModifiers::onCSS}), "db", ""},
        {"<css=i>", flags({&TModifiers::onCSS}), "i", ""},
        {"</css>", flags({&TModifiers::offCSS}), "", ""},
        {"<body>", flags({&TModifiers::onBold}), "", ""},
        {"<B>", {}, "", ""},
        {"<SUB>", {}, "", ""},
        {"</P>", {}, "", ""},
        {"<FONT COLOR=FF0000>", {}, "", ""},
        {"<font color=E3780E>", flags({&TModifiers::onColor}), "", "E3780E"},
        {"<b i>", flags({&TModifiers::onBold, &TModifiers::onItalic}), "", ""},
        {"</b b>", flags({&TModifiers::onBold, &TModifiers::offBold}), "", ""},
        {"<css=vn</css>", flags({&TModifiers::onCSS, &TModifiers::offCSS}), "vn</css", ""},
    };
    for (const TagCase& c : cases) {
        SCOPED_TRACE(c.tag);
        const TBalise t = parseBalise(c.tag, 7);
        EXPECT_EQ(t.modifiers, c.flags);
        EXPECT_EQ(t.attribut, c.attribut);
        EXPECT_EQ(t.attrColor, c.attrColor);
        EXPECT_EQ(t.balise, c.tag);
        EXPECT_EQ(t.longueur, t.balise.size());
        EXPECT_EQ(t.position, 7u);
    }
}

} // namespace
