// The worked examples: the packaged file holds one design for every circuit, each fits its sheet and
// solves with every verdict true and no tube past its ratings; and the reading of the file itself.
#include "solve_fixture.h"

#include "circuits/examples.h"

#include <filesystem>

namespace {

const std::string kExamplesPath = std::string(VALVENIX_SOURCE_DIR) + "/data/examples.txt";

const ExampleSet& packagedExamples() {
    static const ExampleSet set = parseExamples(readAll(kExamplesPath));
    return set;
}

} // namespace

TEST(WorkedExamples, TheFileReadsWithoutProblemsAndCoversEveryCircuit) {
    ASSERT_TRUE(std::filesystem::exists(kExamplesPath)) << kExamplesPath;
    const ExampleSet& set = packagedExamples();
    for (const std::string& p : set.problems)
        ADD_FAILURE() << p;
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitExample* example = set.find(n);
        ASSERT_NE(example, nullptr) << "C" << n;
        EXPECT_FALSE(example->comment.empty()) << "C" << n;
        EXPECT_FALSE(example->values.empty()) << "C" << n;
    }
}

class EveryExample : public ::testing::TestWithParam<int> {};

TEST_P(EveryExample, SolvesWithEveryVerdictTrue) {
    const int n = GetParam();
    const CircuitExample* example = packagedExamples().find(n);
    ASSERT_NE(example, nullptr) << "C" << n;
    SolveRequest rq = firstOpening(n, {});
    for (const std::string& p : applyExample(rq.sheet, *example))
        ADD_FAILURE() << "C" << n << ": " << p;
    // Every tube selector names its model: a design never rests on the first item of a list.
    for (const TubeSelector& s : circuitInfo(n).tubeSelectors) {
        const bool named = std::any_of(example->values.begin(), example->values.end(),
                                       [&](const auto& v) { return v.first == s.name; });
        EXPECT_TRUE(named) << "C" << n << " leaves " << s.name << " to the first model";
    }
    const SolveOutcome out = solveCommand(rq);
    ASSERT_TRUE(out.solved) << "C" << n << ": " << validationText(out.messages);
    expectCircuitInvariants(rq, out.result, "C" + std::to_string(n));
    EXPECT_TRUE(out.result.ok) << "C" << n << "\n" << out.result.dcReport;
    EXPECT_TRUE(out.result.messages.empty()) << "C" << n << ": " << out.result.messages.front();
    EXPECT_FALSE(contains(out.result.dcReport, "SOA issue")) << "C" << n << "\n" << out.result.dcReport;
    if (!out.result.gridRow.empty()) { // every example that logs a row logs it as passed
        EXPECT_NE(out.result.gridRow[0], "ERROR") << "C" << n;
    }
    for (const TTube& t : out.result.tubes) {
        EXPECT_GT(t.Ia(), 0) << "C" << n << " " << t.Reference();
        EXPECT_LT(t.Vgk(), 0) << "C" << n << " " << t.Reference();
    }
}

INSTANTIATE_TEST_SUITE_P(Circuits, EveryExample, ::testing::Range(1, kCircuitCount + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "C" + std::to_string(info.param);
                         });

TEST(WorkedExamples, ReadingTheFile) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<int> circuits;      // the examples read
        std::vector<std::string> lines; // the start of each problem, in order
    };
    const Case cases[] = {
        {"comments, blanks and a byte-order mark", "\xEF\xBB\xBF; note\n\n[C3]\r\nEdVb = 300 \r\n", {3}, {}},
        {"a lower-case header", "[c12]\nEdRa=47k\n", {12}, {}},
        {"no such circuit", "[C43]\nEdVb=1\n[C0]\n[C]\n[1]\n", {}, {"line 1", "line 3", "line 4", "line 5"}},
        {"a value before any section", "EdVb=300\n[C1]\nEdVb=250\n", {1}, {"line 1"}},
        {"a line that is no assignment", "[C1]\nEdVb 300\n=5\n", {1}, {"line 2", "line 3"}},
        {"a second section of one circuit is refused whole",
         "[C1]\nEdVb=250\n[C1]\nEdVb=1\nEdRa=1\n",
         {1},
         {"line 3"}},
        {"an empty file", "", {}, {}},
    };
    for (const Case& c : cases) {
        const ExampleSet set = parseExamples(c.text);
        std::vector<int> circuits;
        for (const auto& [n, example] : set.examples)
            circuits.push_back(n);
        EXPECT_EQ(circuits, c.circuits) << c.name;
        ASSERT_EQ(set.problems.size(), c.lines.size()) << c.name;
        for (std::size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_EQ(set.problems[i].rfind(c.lines[i] + ":", 0), 0u) << c.name << ": " << set.problems[i];
    }
    const ExampleSet twice = parseExamples("[C1]\nEdVb=250\n[C1]\nEdVb=1\n");
    ASSERT_NE(twice.find(1), nullptr);
    EXPECT_EQ(twice.find(1)->values, (std::vector<std::pair<std::string, std::string>>{{"EdVb", "250"}}));
}

TEST(WorkedExamples, CommentLinesJoinAndValuesKeepTheirText) {
    const ExampleSet set =
        parseExamples("[C1]\nComment=first line\nLBtube=ECC83 / 12AX7\nComment= second line\nEdCk=47µ\n");
    const CircuitExample* e = set.find(1);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->comment, "first line second line"); // one paragraph, wrapped by the display
    const std::vector<std::pair<std::string, std::string>> values = {{"LBtube", "ECC83 / 12AX7"},
                                                                     {"EdCk", "47µ"}};
    EXPECT_EQ(e->values, values);
}

TEST(WorkedExamples, ApplyingSetsWhatFitsAndNamesWhatDoesNot) {
    SolveRequest rq = firstOpening(1, {});
    const int firstTube = rq.sheet.find("LBtube")->selected;
    CircuitExample example;
    example.circuit = 1;
    example.values = {
        {"EdRa", "47k"},  {"CheckBoxCkconnected", "1"}, {"LBtube", "No such tube"}, {"EdNothing", "1"},
        {"LabelVa", "1"}, {"CheckBoxC1shunted", "yes"}, {"LBtube", "ECC82 / 12AU7"}};
    const std::vector<std::string> problems = applyExample(rq.sheet, example);
    const std::vector<std::string> expected = {"LBtube has no item No such tube",
                                               "C1 has no control EdNothing", "C1 has no control LabelVa",
                                               "CheckBoxC1shunted is a check box: 1 or 0, not yes"};
    EXPECT_EQ(problems, expected);
    EXPECT_EQ(rq.sheet.find("EdRa")->text, "47k");
    EXPECT_TRUE(rq.sheet.find("CheckBoxCkconnected")->checked);
    EXPECT_FALSE(rq.sheet.find("CheckBoxC1shunted")->checked);
    EXPECT_NE(rq.sheet.find("LBtube")->selected, firstTube);
    EXPECT_EQ(rq.sheet.find("LBtube")->selectedText(), "ECC82 / 12AU7");
    EXPECT_EQ(rq.sheet.find("EdRk")->text, "1k"); // left to the naming rule
}
