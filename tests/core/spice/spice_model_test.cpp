// SPICE numbers, and tube models written as Koren subcircuits and read back from the listings people
// trade: our own export, Koren's literal listings, fitting tools' parameter lists, and bad input.
#include "approx.h"
#include "builtin_tubes.h"

#include "spice/koren_model.h"
#include "spice/model_reader.h"
#include "spice/spice_values.h"

#include <gtest/gtest.h>

TEST(SpiceValues, WritesSuffixesThatSpiceReadsBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {{100e3, "100k"}, {1e6, "1meg"},  {4.7e-8, "47n"}, {2.2e-12, "2.2p"}, {0, "0"},
                 {1060, "1.06k"}, {-2.5, "-2.5"}, {1e-3, "1m"},    {0.33, "330m"},    {1.5e9, "1.5g"}};
    for (const auto& c : cases) {
        EXPECT_EQ(spiceNumber(c.value), c.text) << c.value;
        EXPECT_EQ(parseSpiceNumber(spiceNumber(c.value)), c.value) << c.text;
    }
    // A value that six digits do not hold comes back exactly all the same.
    for (double v : {953.7778859617946e-6, 1.0 / 3, 2e-12 / 3})
        EXPECT_EQ(parseSpiceNumber(spiceNumber(v)), v) << spiceNumber(v);
}

TEST(SpiceValues, ReadsSuffixesAsSpiceDoes) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {{"1M", 1e-3},    {"1meg", 1e6},   {"1MEG", 1e6}, {"2.3pF", 2.3e-12},
                 {"10u", 1e-5},   {"4.7k", 4.7e3}, {"1e3", 1e3},  {"-1.5e-3m", -1.5e-6},
                 {"100Ohm", 100}, {"abc", {}},     {"", {}},      {"inf", {}},
                 {"nan", {}},     {"0x10", {}},    {"1k5", {}},   {"3.3k-", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(parseSpiceNumber(c.text), c.value) << c.text;
}

TEST(SpiceModel, EveryBuiltInModelSurvivesExportAndImport) {
    for (const TubeParams& p : builtinModels()) {
        SCOPED_TRACE(p.name);
        const SpiceModelRead r = readSpiceModel(spiceModelText(p));
        ASSERT_TRUE(r.params) << r.error;
        const TubeParams& q = *r.params;
        EXPECT_EQ(q.name, spiceSubcircuitName(p.name));
        EXPECT_EQ(q.t35, p.t35);
        EXPECT_EQ(r.convention, Kg1Convention::Double);
        EXPECT_FALSE(r.conventionAssumed);
        for (auto field : {&TubeParams::kp, &TubeParams::mu, &TubeParams::kvb, &TubeParams::ex,
                           &TubeParams::kg1, &TubeParams::pmax, &TubeParams::imax, &TubeParams::vmax,
                           &TubeParams::cgk, &TubeParams::cga, &TubeParams::cak})
            EXPECT_EQ(q.*field, p.*field);
        if (p.t35 == 5) {
            for (auto field : {&TubeParams::kg2, &TubeParams::pemax, &TubeParams::vemax})
                EXPECT_EQ(q.*field, p.*field);
        }
    }
}

TEST(SpiceModel, ReadsListingsOfEachStyle) {
    const std::string korenTriode =
        "* 12AX7 after Koren\n"
        ".SUBCKT 12AX7 1 2 3 ; P G K\n"
        "E1 7 0 VALUE={V(1,3)/600*LOG(1+EXP(600*(1/100+V(2,3)/SQRT(300+V(1,3)*V(1,3)))))}\n"
        "RE1 7 0 1G\n"
        "G1 1 3 VALUE={(PWR(V(7),1.4)+PWRS(V(7),1.4))/1060}\n"
        "RCP 1 3 1G\n"
        "C1 2 3 1.6P\n"
        "C2 2 1 1.7P\n"
        "C3 1 3 0.46P\n"
        "D3 5 3 DX\n"
        "RGI 2 5 2000\n"
        ".ENDS\n";
    const std::string fittedTriode =
        ".subckt Fitted P G K\n"
        "+ params: mu=95 ex = 1.35 kg1=500 kp=550 kvb=250 ccg=2p cpg=1.5p ccp=0.5p\n"
        "Be e 0 V=V(P,K)/kp*ln(1+exp(kp*(1/mu+V(G,K)/sqrt(kvb+V(P,K)*V(P,K)))))\n"
        "Ba P K I=V(e) > 0 ? pow(V(e),ex)/kg1 : 0\n"
        ".ends\n";
    const std::string korenPentode = ".SUBCKT EL34K 1 3 4 5 ; P G2 G1 K\n"
                                     "E1 7 0 VALUE={V(3,5)/11.99*LOG(1+EXP(11.99*(1/9.9+V(4,5)/V(3,5))))}\n"
                                     "G1 1 5 VALUE={(PWR(V(7),1.35)+PWRS(V(7),1.35))/650*ATAN(V(1,5)/24)}\n"
                                     "G2 3 5 VALUE={(PWR(V(3,5)/9.9+V(4,5),1.5))/4200}\n"
                                     "C1 4 5 15.9P\n"
                                     ".ENDS\n";
    const struct {
        const char* name;
        std::string text;
        int t35;
        double mu, ex, kg1, kp, kvb, kg2, cgk, cga, cak;
        Kg1Convention convention;
    } cases[] = {
        {"Koren's literal triode", korenTriode, 3, 100, 1.4, 1060, 600, 300, 0, 1.6e-12, 1.7e-12, 0.46e-12,
         Kg1Convention::Double},
        {"fitted triode, KG1 of E1^EX/KG1", fittedTriode, 3, 95, 1.35, 1000, 550, 250, 0, 2e-12, 1.5e-12,
         0.5e-12, Kg1Convention::Single},
        {"Koren's literal pentode", korenPentode, 5, 9.9, 1.35, 650, 11.99, 24, 4200, 15.9e-12, 0, 0,
         Kg1Convention::Double},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SpiceModelRead r = readSpiceModel(c.text);
        ASSERT_TRUE(r.params) << r.error;
        const TubeParams& p = *r.params;
        EXPECT_EQ(p.t35, c.t35);
        EXPECT_EQ(r.convention, c.convention);
        for (auto [got, want] : {std::pair{p.mu, c.mu},
                                 {p.ex, c.ex},
                                 {p.kg1, c.kg1},
                                 {p.kp, c.kp},
                                 {p.kvb, c.kvb},
                                 {p.kg2, c.kg2},
                                 {p.cgk, c.cgk},
                                 {p.cga, c.cga},
                                 {p.cak, c.cak}})
            EXPECT_TRUE(RelNear(got, want, 1e-12));
        EXPECT_GT(p.imax, 0); // limits the text lacks take usual values
    }
    EXPECT_EQ(readSpiceModel(korenTriode).params->name, "12AX7");
}

TEST(SpiceModel, AsksForTheConventionWhenTheTextDoesNotTell) {
    const std::string text = ".subckt T A G K params: MU=100 EX=1.4 KG1=1060 KP=600 KVB=300\n"
                             "X1 A G K koren_triode\n.ends\n";
    const SpiceModelRead unknown = readSpiceModel(text);
    EXPECT_FALSE(unknown.params);
    EXPECT_TRUE(unknown.needsConvention);
    EXPECT_NE(unknown.error.find("KG1"), std::string::npos);
    const SpiceModelRead koren = readSpiceModel(text, Kg1Convention::Double);
    ASSERT_TRUE(koren.params);
    EXPECT_TRUE(koren.conventionAssumed);
    EXPECT_EQ(koren.params->kg1, 1060);
    EXPECT_EQ(readSpiceModel(text, Kg1Convention::Single).params->kg1, 2120);
}

TEST(SpiceModel, RefusesBadInputNamingWhatIsWrong) {
    const std::string head = ".subckt T A G K\n.param MU=100 EX=1.4 KP=600 KVB=300 ";
    const std::string body = "\nBA A K I=(pwr(V(E),EX)+abs(pwr(V(E),EX)))/KG1\n.ends\n";
    const struct {
        const char* name;
        std::string text;
        const char* message;
    } cases[] = {
        {"empty", "", "no .subckt"},
        {"prose", "Hello, this is not a netlist.\n", "no .subckt"},
        {"a divider", ".subckt DIV in out\nR1 in out 1k\nR2 out 0 1k\n.ends\n", "No tube model found"},
        {"KG1 missing", head + body, "lacks KG1"},
        {"MU and KVB missing", ".subckt T A G K\n.param EX=1.4 KG1=1060 KP=600" + body, "lacks MU, KVB"},
        {"KG1 zero", head + "KG1=0" + body, "must be positive"},
        {"KG1 negative", head + "KG1=-1060" + body, "must be positive"},
        {"10 MB", std::string(10 << 20, '*'), "too large"},
        {"control byte after the nodes", std::string(".subckt T A G K \x01\n.ends\n"), "No tube model found"},
    };
    for (const auto& c : cases) {
        const SpiceModelRead r = readSpiceModel(c.text);
        EXPECT_FALSE(r.params) << c.name;
        EXPECT_NE(r.error.find(c.message), std::string::npos) << c.name << ": " << r.error;
    }
}

TEST(SpiceModel, AnAnodeExponentOfThreeHalvesIsNotTakenForTheScreen) {
    TubeParams p = builtinParams("ECC83 / 12AX7");
    p.ex = 1.5;
    const SpiceModelRead r = readSpiceModel(spiceModelText(p));
    ASSERT_TRUE(r.params) << r.error;
    EXPECT_EQ(r.params->ex, 1.5);
    EXPECT_EQ(r.convention, Kg1Convention::Double);
}
