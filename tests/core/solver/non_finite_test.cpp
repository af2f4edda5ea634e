// No NaN or infinity reaches a report, label, grid cell or number of a solve: the cases that once
// printed "-infdB", "nandB" or "-nan V", the last guard of the solve command, and a seeded sweep of
// every circuit over values from the smallest to the largest the value syntax takes.
#include "solve_fixture.h"

#include "frequency/bode_text.h"
#include "solver/result_guard.h"
#include "util/format.h"

#include <limits>
#include <random>

namespace {

// The place of a "nan" or "inf" as printf writes them ("-nan V", "infΩ", "-infdB"), or npos. A word
// that holds the letters ("infinite load") is no figure.
std::size_t nonFiniteText(const std::string& text) {
    for (const char* bad : {"nan", "inf", "NAN", "INF"}) {
        for (std::size_t at = text.find(bad); at != std::string::npos; at = text.find(bad, at + 1)) {
            const char next = at + 3 < text.size() ? text[at + 3] : ' ';
            if (!(next >= 'a' && next <= 'z') || text.compare(at + 3, 2, "dB") == 0)
                return at;
        }
    }
    return std::string::npos;
}

// Every text a host shows or writes of the result, with where it comes from.
std::vector<std::pair<std::string, std::string>> shownTexts(const SolveRequest& rq, const SolveResult& r) {
    std::vector<std::pair<std::string, std::string>> texts = {{"DC report", r.dcReport},
                                                              {"AC report", r.acReport}};
    for (const auto& [name, text] : r.labels)
        texts.emplace_back(name, text);
    for (const std::string& cell : r.gridRow)
        texts.emplace_back("grid cell", cell);
    for (const std::string& m : r.messages)
        texts.emplace_back("message", m);
    for (const TVoltageStacks& column : r.stacks)
        for (const TItem& item : column.Items)
            texts.emplace_back("stack item", item.nom);
    if (r.bode) {
        texts.emplace_back("Bode summary", r.bode->summary);
        for (const TDataQP& row : r.bode->table)
            for (const std::string& cell : tableCells(row, rq.locale))
                texts.emplace_back("Bode table", cell);
    }
    if (r.power)
        texts.emplace_back("power caption", r.power->caption + " " + r.power->className);
    return texts;
}

void expectAllFinite(const SolveRequest& rq, const SolveResult& r, const std::string& what) {
    EXPECT_TRUE(resultNumbersFinite(r)) << what;
    for (const auto& [where, text] : shownTexts(rq, r))
        EXPECT_EQ(nonFiniteText(text), std::string::npos) << what << ", " << where << ": " << text;
}

} // namespace

TEST(NonFinite, CasesThatOncePrintedNanOrInf) {
    struct Row {
        const char* name;
        int circuit;
        Values values;
    };
    const Row rows[] = {
        {"C1 without anode resistor: zero peak gain", 1, {{"EdRa", "0"}}},
        {"C3 first use", 3, {}},
        {"C1 huge cathode resistor", 1, {{"EdRk", "1e300"}}},
        {"C1 huge anode resistor", 1, {{"EdRa", "1e300M"}}},
        {"C1 tiny capacitors", 1, {{"EdCi", "1e-300p"}, {"EdCs", "0"}}},
        {"C24 huge cathode resistor", 24, {{"EdRk1", "1e300"}}},
        {"C36 zero anode resistor", 36, {{"EdRa", "0"}}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        SolveRequest rq = firstOpening(r.circuit, r.values);
        const SolveOutcome out = solveCommand(rq);
        if (!out.solved) {
            EXPECT_FALSE(out.messages.empty());
            continue;
        }
        expectAllFinite(rq, out.result, r.name);
    }
}

TEST(NonFinite, OverflowAfterTheSuffixIsRefusedNamingTheField) {
    SolveRequest rq = firstOpening(1, {{"EdRa", "1.5e308M"}});
    const SolveOutcome out = solveCommand(rq);
    EXPECT_FALSE(out.solved);
    EXPECT_EQ(out.messages, (std::vector<std::string>{notANumberMessage("EdRa", "1.5e308M")}));
}

TEST(NonFinite, GuardReplacesAResultHoldingANonFiniteNumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const SolveResult good = solved(1, {});
    ASSERT_TRUE(resultNumbersFinite(good));
    struct Row {
        const char* name;
        std::function<void(SolveResult&)> spoil;
    };
    const Row rows[] = {
        {"stack voltage", [&](SolveResult& r) { r.stacks.at(0).Items.at(0).valeur = nan; }},
        {"Bode curve", [&](SolveResult& r) { r.bode->overall.at(3) = -inf; }},
        {"Bode corner", [&](SolveResult& r) { r.bode->fH = inf; }},
        {"Bode table gain", [&](SolveResult& r) { r.bode->table.at(0).av = nan; }},
        {"load-line axis", [&](SolveResult& r) { r.loadLines.at(0).Vmax = inf; }},
        {"power cycle",
         [&](SolveResult& r) {
             r.power.emplace();
             r.power->cycles.push_back({});
             r.power->cycles.back().Y = inf;
         }},
        {"trace point",
         [&](SolveResult& r) {
             r.traces.emplace_back();
             r.traces.back().AddPoint(1, nan);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SolveResult r = good;
        row.spoil(r);
        EXPECT_FALSE(resultNumbersFinite(r));
        refuseNonFiniteResult(r);
        EXPECT_TRUE(resultNumbersFinite(r));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.title, good.title);
        EXPECT_TRUE(contains(r.dcReport, kNonFiniteVerdict));
        EXPECT_TRUE(contains(r.dcReport, "No convergence !"));
        EXPECT_TRUE(r.labels.empty() && r.gridRow.empty() && r.stacks.empty() && r.loadLines.empty());
        EXPECT_FALSE(r.bode || r.power);
    }
}

TEST(NonFinite, FormattedFiguresAreCounted) {
    const long before = nonFiniteFiguresFormatted();
    EXPECT_EQ(strFormat("%.1f V %d", 1.5, 3), "1.5 V 3");
    EXPECT_EQ(nonFiniteFiguresFormatted(), before);
    strFormat("%.1f V", std::numeric_limits<double>::quiet_NaN());
    strFormat("%.1f %.1f", 1.0, -std::numeric_limits<double>::infinity());
    EXPECT_EQ(nonFiniteFiguresFormatted(), before + 2);
}

// Every circuit over random sheets whose values run from 1e-300 to 1e300 (and zero), each solve
// either refused with a message or shown with finite figures only. Seeded and bounded: the same
// sheets on every run.
TEST(NonFinite, SweepOfEveryCircuitOverExtremeValues) {
    std::mt19937 rng(20261210);
    const auto value = [&rng]() -> std::string {
        static const char* suffix[] = {"p", "n", "µ", "m", "", "k", "M"};
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0:
            return "0";
        case 1: // anywhere in the range of a double
            return "1e" + std::to_string(std::uniform_int_distribution<int>(-300, 300)(rng));
        default:
            return std::to_string(std::uniform_int_distribution<int>(1, 999)(rng)) +
                   suffix[std::uniform_int_distribution<int>(0, 6)(rng)];
        }
    };
    for (int n = 1; n <= kCircuitCount; ++n) {
        const CircuitInfo& info = circuitInfo(n);
        for (int round = 0; round < 25; ++round) {
            SolveRequest rq = firstOpening(n, {});
            for (auto& c : rq.sheet.controls) {
                if (c.kind == ControlKind::Edit) {
                    // Mostly a supply that passes validation, so that the solver runs.
                    c.text = c.name == "EdVb" && rng() % 4 != 0 ? std::to_string(20 + rng() % 781) : value();
                    if (fieldTakesNegative(info, c.name) && rng() % 2)
                        c.text = "-" + c.text;
                } else if (c.kind == ControlKind::CheckBox) {
                    c.checked = rng() % 2;
                } else if (c.kind == ControlKind::Selector && !c.items.empty()) {
                    c.selected = static_cast<int>(rng() % c.items.size());
                }
            }
            rq.bode.freqmin = static_cast<int>(rng() % 4);
            rq.bode.freqmax = static_cast<int>(rng() % 4);
            rq.bode.feedback = static_cast<int>(rng() % 8);
            rq.traceConvergence = round % 8 == 0;
            const std::string what = "C" + std::to_string(n) + " round " + std::to_string(round);
            const SolveOutcome out = solveCommand(rq);
            if (!out.solved) {
                EXPECT_FALSE(out.messages.empty()) << what;
                continue;
            }
            expectAllFinite(rq, out.result, what);
        }
    }
}
