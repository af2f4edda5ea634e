// Output tubes beyond their ratings at rest: the quiescent block says "SOA issue", and the solve
// fails with a verdict line at the head of the report (the grid row then reads "ERROR"), while the
// same stages within their ratings pass.
#include "power_test_support.h"

using namespace power_test;

namespace {

struct SafeAreaCase {
    const char* name;
    int circuit;
    Values values;
    bool inside;
};

} // namespace

TEST(PowerSafeArea, OutsideTheRatingsFailsTheSolve) {
    const SafeAreaCase cases[] = {
        // 300B at 450 V and -90 V: 112 mA, 50 W on a 36 W anode.
        {"C41 300B too hot",
         41,
         {{"LBtube", "300B"}, {"EdVb", "450"}, {"EdVg", "-90"}, {"EdZaa", "5k"}},
         false},
        {"C41 300B within",
         41,
         {{"LBtube", "300B"}, {"EdVb", "400"}, {"EdVg", "-85"}, {"EdZaa", "5k"}},
         true},
        // 6L6-GC screens at 400 V against a 300 V rating.
        {"C42 6L6-GC screen",
         42,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdVg", "-45"}, {"EdZaa", "6600"}},
         false},
        {"C40 6L6-GC screen",
         40,
         {{"LBtube", "6L6-GC"}, {"EdVb", "450"}, {"EdVe", "400"}, {"EdRk", "250"}, {"EdZaa", "6600"}},
         false},
        // 2A3 at 350 V and -60 V: 111 mA per tube, 39 W on a 15 W anode.
        {"C39 2A3 too hot", 39, {{"LBtube", "2A3"}, {"EdVb", "350"}, {"EdRk", "10"}, {"EdZaa", "5k"}}, false},
        {"C37 300B too hot",
         37,
         {{"LBtube", "300B"},
          {"EdVb", "450"},
          {"EdVg", "0"},
          {"EdRk", "300"},
          {"EdRa", "3k"},
          {"EdRp", "100"}},
         false},
        {"C37 300B within",
         37,
         {{"LBtube", "300B"},
          {"EdVb", "430"},
          {"EdVg", "0"},
          {"EdRk", "1k"},
          {"EdRa", "3k5"},
          {"EdRp", "120"}},
         true},
        {"C38 EL34 screen",
         38,
         {{"LBtube", "EL34"},
          {"EdVb", "350"},
          {"EdVg", "0"},
          {"EdRk", "270"},
          {"EdVg2", "600"},
          {"EdRa", "5k"},
          {"EdRp", "100"}},
         false},
    };
    for (const SafeAreaCase& c : cases) {
        const SolveResult r = solved(c.circuit, c.values);
        const bool issue = contains(r.dcReport, "*** SOA issue ***");
        EXPECT_EQ(issue, !c.inside) << c.name << "\n" << r.dcReport;
        EXPECT_EQ(contains(r.dcReport, "T1 outside its safe operating area at rest"), !c.inside) << c.name;
        if (!c.inside) {
            EXPECT_FALSE(r.ok) << c.name;
        } else {
            EXPECT_TRUE(r.ok) << c.name << "\n" << r.dcReport;
        }
        ASSERT_FALSE(r.gridRow.empty()) << c.name;
        EXPECT_EQ(r.gridRow[0] == "ERROR", !r.ok) << c.name;
    }
}
