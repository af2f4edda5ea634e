// C23: the push-pull amplifier with DC feedback. An input pair T1/T2 with joined cathodes (Rk12)
// drives, from T2's anode, the grid of the upper output tube T4; T3 below it is self-biased by
// Rk3. The output Vo feeds the divider Rf1/Rf2 back to T2's grid, and Vo is moved until T2's
// anode voltage is exactly the grid voltage T4 needs.
#include "circuits/differential/differential_common.h"

#include "markup/formatters.h"
#include "solver/dissipation.h"
#include "solver/sheet_validation.h"
#include "solver/text_result.h"
#include "solver/verdicts.h"
#include "util/format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>

namespace {

using namespace differential;

constexpr int kOuterMaxIter = 1001;
constexpr int kMaxPinned = 20;   // passes with Vo held at a supply rail before giving up
constexpr int kBisections = 200; // each bisection halves its bracket: far more than doubles resolve

struct Point {
    double Vak = 0, Vgk = 0, Ia = 0;
};

struct Balance {
    Point p1, p2;
    double Vk = 0;         // the joined cathodes
    double R1 = 0, R2 = 0; // equivalent cathode resistors Vk/Ia1, Vk/Ia2 (R1 ∥ R2 = Rc)
    bool ok = false;
};

// Current of a triode with its grid at Vg, its cathode at Vk and Ra between Vb and its anode:
// the anode current lowers its own Vak, so the tube equation is solved by bisection on I. The
// search runs one halving at a time; until it ends, the current it will end on lies in
// [low(), high()], which is all a caller deciding on the sign of a sum may need.
class BranchSearch {
public:
    BranchSearch(TTube& T, double Vb, double Vg, double Ra, double Vk) : T_(&T), Ra_(Ra) {
        p_.Vgk = std::min(Vg - Vk, 0.0); // a grid above its cathode draws grid current: clamp at 0
        span_ = Vb - Vk;
        if (span_ <= 0) {
            p_.Vak = span_;
            done_ = true;
        } else if (Ra <= 0) {
            p_.Vak = span_;
            T.CalculerNK(p_.Vak, p_.Vgk, p_.Ia);
            done_ = true;
        } else {
            hi_ = span_ / Ra;
            settle();
        }
    }

    bool done() const { return done_; }
    double low() const { return done_ ? p_.Ia : lo_; }
    double high() const { return done_ ? p_.Ia : hi_; }
    double width() const { return high() - low(); }

    void step() {
        const double I = (lo_ + hi_) * 0.5;
        double ia = 0;
        T_->CalculerNK(span_ - Ra_ * I, p_.Vgk, ia);
        (ia > I ? lo_ : hi_) = I;
        ++passes_;
        settle();
    }

    const Point& finish() {
        while (!done_)
            step();
        return p_;
    }

private:
    // Ends the search once the bracket is narrow enough or the passes are spent.
    void settle() {
        if (passes_ < kBisections && hi_ - lo_ > 1e-11)
            return;
        p_.Ia = (lo_ + hi_) * 0.5;
        p_.Vak = span_ - Ra_ * p_.Ia;
        done_ = true;
    }

    TTube* T_;
    double Ra_;
    double span_ = 0, lo_ = 0, hi_ = 0;
    int passes_ = 0;
    bool done_ = false;
    Point p_;
};

// The searches of one branch made so far in a solve, by grid and cathode voltage. The cathodes
// often stay where they were from one outer pass to the next while the output settles; each pass
// then asks again for the cathode voltages of the last (the point found and its two neighbours,
// or the whole bisection when that point lies within a volt of ground), and a search already made
// or begun is taken up where it stopped.
class BranchCache {
public:
    BranchCache(TTube& T, double Vb, double Ra) : T_(T), Vb_(Vb), Ra_(Ra) {}

    BranchSearch& at(double Vg, double Vk) {
        const Key key{std::bit_cast<std::uint64_t>(Vg), std::bit_cast<std::uint64_t>(Vk)};
        if (const auto found = searches_.find(key); found != searches_.end())
            return found->second;
        if (searches_.size() >= kMaxSearches) // a long run that moves: forget the old points
            searches_.clear();
        return searches_.try_emplace(key, T_, Vb_, Vg, Ra_, Vk).first->second;
    }

private:
    static constexpr std::size_t kMaxSearches = 256;
    using Key = std::pair<std::uint64_t, std::uint64_t>;
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return std::hash<std::uint64_t>()(k.first * 31 + k.second);
        }
    };
    TTube& T_;
    double Vb_, Ra_;
    std::unordered_map<Key, BranchSearch, KeyHash> searches_;
};

// The excess current at the joined cathodes, Ia1 + Ia2 - Vk/Rc. While a branch search is open
// its bracket bounds the excess: a rounded sum or difference never decreases when an operand
// grows, so the excess computed at the end lies between the sums of the brackets' ends, and a
// comparison is decided as soon as both bounds are on the same side. Branches are narrowed only
// until then.
class Excess {
public:
    Excess(BranchSearch& b1, BranchSearch& b2, double q) : b1_(b1), b2_(b2), q_(q) {}

    // Whether the excess, computed in full, is above t / below t.
    bool above(double t) {
        for (;;) {
            if (low() > t)
                return true;
            if (high() <= t || !narrow())
                return false;
        }
    }
    bool below(double t) {
        for (;;) {
            if (high() < t)
                return true;
            if (low() >= t || !narrow())
                return false;
        }
    }

    void finish(Balance& b) {
        b.p1 = b1_.finish();
        b.p2 = b2_.finish();
    }

private:
    double low() const { return b1_.low() + b2_.low() - q_; }
    double high() const { return b1_.high() + b2_.high() - q_; }

    // Halves the wider open bracket; false when both searches have ended.
    bool narrow() {
        if (b1_.done() && b2_.done())
            return false;
        (b2_.done() || (!b1_.done() && b1_.width() >= b2_.width()) ? b1_ : b2_).step();
        return true;
    }

    BranchSearch& b1_;
    BranchSearch& b2_;
    double q_;
};

// Two triodes with joined cathodes on Rc, T1's grid at Vg1: for T2's grid at Vg2 the cathode
// voltage Vk is found by bisection where the two branch currents add up to Vk/Rc.
//
// Splitting Rc into two equivalent resistors and balancing the two single-tube bias points
// cannot close on a few millivolts once Rc is tens of kilohms (as it is with the cathodes
// high above ground): the single-tube solver stops at ±2 µA, which is already a quarter volt
// there. Both ways meet at the same operating point, so the direct search is used.
class PairBalance {
public:
    PairBalance(TTube& T1, TTube& T2, double Vb, double Vg1, double Ra1, double Ra2, double Rc)
        : T1_(T1), T2_(T2), Vb_(Vb), Vg1_(Vg1), Rc_(Rc), branch1_(T1, Vb, Ra1), branch2_(T2, Vb, Ra2) {}

    // hint: the cathode voltage of the previous solve (negative for none), which narrows the bracket.
    Balance solve(double Vg2, double hint) {
        Balance b;
        const auto excessAt = [&](double Vk) {
            return Excess(branch1_.at(Vg1_, Vk), branch2_.at(Vg2, Vk), Vk / Rc_);
        };
        double lo = 0, hi = std::max(Vb_, 0.0);
        if (hint >= 0 && hint - 1 > lo && hint + 1 < hi && excessAt(hint - 1).above(0) &&
            excessAt(hint + 1).below(0))
            lo = hint - 1, hi = hint + 1;
        for (int i = 0; i < kBisections; ++i) {
            const double Vk = (lo + hi) * 0.5;
            Excess excess = excessAt(Vk);
            const bool within = excess.above(-1e-10) && excess.below(1e-10);
            const bool closed = hi - lo < 1e-7;
            if (within || closed || i == kBisections - 1) { // the last pass: keep its points
                b.Vk = Vk;
                excess.finish(b);
                if (within || closed) {
                    b.ok = true;
                    break;
                }
            }
            (excess.above(0) ? lo : hi) = Vk;
        }
        // Leave each tube's operating-point fields at its point.
        double ia = 0;
        T1_.CalculerNK(b.p1.Vak, b.p1.Vgk, ia);
        T2_.CalculerNK(b.p2.Vak, b.p2.Vgk, ia);
        b.R1 = b.p1.Ia > 0 ? b.Vk / b.p1.Ia : 0;
        b.R2 = b.p2.Ia > 0 ? b.Vk / b.p2.Ia : 0;
        return b;
    }

private:
    TTube& T1_;
    TTube& T2_;
    double Vb_, Vg1_, Rc_;
    BranchCache branch1_, branch2_;
};

void solveC23(const SolveRequest& rq, SolveResult& rs) {
    Traces traces(rq, 4);
    const SheetValues sheet(rq);
    const double Vb = clampSupply(sheet.num("EdVb"));
    const double Vg1 = sheet.num("EdVg1");
    const double Ra1 = sheet.num("EdRa1");
    const double Ra2 = sheet.num("EdRa2");
    double Rk12 = sheet.num("EdRk12");
    if (Rk12 <= 0) // the pair needs a cathode resistor to split
        Rk12 = 1;
    const double Rk3 = sheet.num("EdRk3");
    const double Rf1 = sheet.num("EdRf1");
    const double Rf2 = sheet.num("EdRf2");
    auto T1 = makeTube(rq, "LBtube1", "T1");
    auto T2 = makeTube(rq, "LBtube1", "T2");
    auto T3 = makeTube(rq, "LBtube2", "T3");
    auto T4 = makeTube(rq, "LBtube2", "T4");

    // Feedback ratio; a divider of zero total is taken as a direct connection.
    const double Rf = Rf1 + Rf2;
    const double k = Rf > 0 ? Rf2 / Rf : 1;
    const auto clampVo = [&](double v) { return std::clamp(std::isfinite(v) ? v : Vb / 2, 0.0, Vb); };
    double Vo = clampVo(k > 0 ? Vg1 / k : Vb / 2);

    PairBalance balance(*T1, *T2, Vb, Vg1, Ra1, Ra2, Rk12);
    Balance pair;
    double I3 = 0, I4 = 0, IRf = 0, Vgk4 = 0;
    double start[4] = {};
    double damping = 0.05, lastD = 0;
    int pinned = 0;
    bool converged = false;
    int iter = 0;
    for (;;) {
        pair = balance.solve(k * Vo, iter > 0 ? pair.Vk : -1);
        I3 = T3->basicBiasSuccApprox(Vo, 0, Rk3);
        IRf = Rf > 0 ? Vo / Rf : 0;
        I4 = I3 + IRf;
        Vgk4 = T4->whichVg(I4, Vb - Vo, 0);
        const double currents[4] = {pair.p1.Ia, pair.p2.Ia, I3, I4};
        for (int t = 0; t < 4; ++t) {
            if (iter == 0) {
                start[t] = currents[t];
                tracePoint(traces.at(t), 0, currents[t]);
            }
            tracePoint(traces.at(t), iter + 1, currents[t]);
        }
        ++iter;
        const double D = (Vb - Ra2 * pair.p2.Ia) - Vo - Vgk4;
        if (std::fabs(D) < 0.001) {
            converged = true;
            break;
        }
        if (iter >= kOuterMaxIter) // keep Vo consistent with the last solves
            break;
        // Where the loop gain through T2 and Ra2 is high the fixed step overshoots and the
        // mismatch grows while changing sign: halve the step then. The fixed point is the same.
        if (lastD != 0 && (D > 0) != (lastD > 0) && std::fabs(D) > 0.5 * std::fabs(lastD))
            damping *= 0.5;
        lastD = D;
        const double next = clampVo(Vo + damping * D);
        // Pinned at 0 or Vb: no output voltage inside the supply balances the loop.
        pinned = next == Vo ? pinned + 1 : 0;
        if (pinned > kMaxPinned)
            break;
        Vo = next;
    }
    double Ia4 = 0; // T4's own current at the grid voltage found, for its operating-point fields
    T4->CalculerNK(Vb - Vo, Vgk4, Ia4);
    const Point p1 = pair.p1, p2 = pair.p2;
    // T3 as its bias solve left it, the point its quiescent block shows.
    const double Vak3 = T3->Vak(), Vgk3 = T3->Vgk(), Vak4 = Vb - Vo;
    const TTube* tubes[4] = {T1.get(), T2.get(), T3.get(), T4.get()};
    for (int t = 0; t < 4; ++t)
        titleTraceMillivolts(traces.at(t), *tubes[t], iter, 0.001, start[t]);

    const double I12 = p1.Ia + p2.Ia, Vk12 = Rk12 * I12, Vk3 = Rk3 * I3;
    const double Itot = I12 + I4;
    const double Va1 = Vb - Ra1 * p1.Ia, Va2 = Vb - Ra2 * p2.Ia, Vg2 = k * Vo;

    // Bars: the two input branches, the output totem, the feedback divider under T4. The divider's
    // bar reaches the supply only through the divider's own current, so only the first three
    // are checked.
    const TVoltageStacks branch1 = pairBranchBar(1, Ra1 * p1.Ia, p1.Vak, {{"Rk12", Vk12, kStackGreen}});
    const TVoltageStacks branch2 = pairBranchBar(2, Ra2 * p2.Ia, p2.Vak, {{"Rk12", Vk12, kStackGreen}});
    TVoltageStacks totem, divider;
    totem.Add("T4", Vak4, kStackYellow);
    totem.Add("T3", Vak3, kStackYellow);
    totem.Add("Rk3", Vk3, kStackGreen);
    divider.Add("T4", Vak4, kStackYellow);
    divider.Add("Rf1", Rf1 * IRf, kStackRed);
    divider.Add("Rf2", Rf2 * IRf, kStackLime);

    // Checks.
    auto test1 = makeTube(rq, "LBtube1", "test");
    auto test2 = makeTube(rq, "LBtube2", "test");
    const bool opOk = test1->checkOP(p1.Vak, p1.Vgk, p1.Ia, 0, 1) &&
                      test1->checkOP(p2.Vak, p2.Vgk, p2.Ia, 0, 1) && test2->checkOP(Vak3, Vgk3, I3, 0, 1) &&
                      test2->checkOP(Vak4, Vgk4, I4, 0, 1);
    const bool vgkOk = p1.Vgk < 0 && p2.Vgk < 0 && Vgk3 < 0 && Vgk4 < 0;
    const bool stacksOk = stackCheck(1, Vb, stackSum(branch1)) && stackCheck(1, Vb, stackSum(branch2)) &&
                          stackCheck(1, Vb, stackSum(totem));
    const bool iterOk = converged && pair.ok;

    // DC report.
    TTextResult text(reportHeader(rs.title) + strFormat(" %d iterations", iter));
    rs.ok = verdicts(text.texte, true, opOk, vgkOk, stacksOk, iterOk);
    text.Add(supplyLine(Vb, Itot));
    text.Add("<br><br>" + fmtCurrent("Ia1", 3, 1000 * p1.Ia));
    text.Add("<br>" + fmtCurrent("Ia2", 3, 1000 * p2.Ia));
    text.Add("<br>" + fmtCurrent("Ia3", 3, 1000 * I3));
    text.Add("<br>" + fmtCurrent("Ia4", 3, 1000 * I4));
    text.Add("<br>" + fmtCurrent("IRf", 3, 1000 * IRf));
    text.Add("<br><br>" + fmtVoltage("Vg1", 2, Vg1));
    text.Add("<br>" + fmtVoltage("Vg2", 2, Vg2));
    text.Add("<br>" + fmtVoltage("Vo", 2, Vo));
    text.Add("<br>" + fmtVoltage("Va1", 2, Va1));
    text.Add("<br>" + fmtVoltage("Va2", 2, Va2));
    text.Add("<br>" + fmtVoltage("Vk12", 3, Vk12));
    text.Add("<br>" + fmtVoltage("Vk3", 3, Vk3));
    for (const TTube* t : tubes)
        text.Add("<br>" + t->displayOP(1));
    std::vector<TResistor> resistors = {resistorRecord("Ra1", p1.Ia, Ra1), resistorRecord("Ra2", p2.Ia, Ra2),
                                        resistorRecord("Rk12", I12, Rk12), resistorRecord("Rk3", I3, Rk3),
                                        resistorRecord("Rf1", IRf, Rf1),   resistorRecord("Rf2", IRf, Rf2)};
    text.Add("<br>" + dissipationTable(resistors));
    rs.dcReport = text.texte;

    // Schematic labels.
    rs.setLabel("LabelVa1", strFormat("%.2fV", Va1));
    rs.setLabel("LabelVa2", strFormat("%.2fV", Va2));
    rs.setLabel("LabelVk12", strFormat("%.2fV", Vk12));
    rs.setLabel("LabelVk3", strFormat("%.2fV", Vk3));
    rs.setLabel("LabelVg2", strFormat("%.2fV", Vg2));
    rs.setLabel("LabelVo", strFormat("%.2fV", Vo));
    rs.setLabel("LabelI1", strFormat("%.2fmA", 1000 * p1.Ia));
    rs.setLabel("LabelI2", strFormat("%.2fmA", 1000 * p2.Ia));
    rs.setLabel("LabelI3", strFormat("%.2fmA", 1000 * I3));
    rs.setLabel("LabelI4", strFormat("%.2fmA", 1000 * I4));
    rs.setLabel("LabelIf12", strFormat("%.2fmA", 1000 * IRf));
    rs.setLabel("LabelI12", strFormat("%.2fmA", 1000 * I12));
    rs.setLabel("LabelItot", strFormat("%.2fmA", 1000 * Itot));
    rs.stacks = {branch1, branch2, totem, divider};

    // Logged-results row: the input pair at its balanced point, T3 at its bias, T4 at the grid
    // voltage that passes T3's and the divider's currents.
    GridRow row(rq);
    row.text("input model", T1->ModelName()).text("output model", T3->ModelName());
    row.set("Vb", Vb).set("Vg1", Vg1).set("Vg2", Vg2).set("Vo", Vo).set("Va1", Va1).set("Va2", Va2);
    row.set("Vk12", Vk12);
    row.set("Vak1", p1.Vak).set("Vgk1", p1.Vgk).set("Ia1", p1.Ia).set("Vak2", p2.Vak).set("Vgk2", p2.Vgk);
    row.set("Ia2", p2.Ia).set("Vak3", Vak3).set("Vgk3", Vgk3).set("Ia3", I3).set("Vak4", Vak4);
    row.set("Vgk4", Vgk4).set("Ia4", I4);
    row.set("Ra1", Ra1).set("Ra2", Ra2).set("Rk12", Rk12).set("Rk3", Rk3).set("Rf1", Rf1).set("Rf2", Rf2);
    row.set("Ptot", Vb * Itot).set("PT1", p1.Vak * p1.Ia).set("PT2", p2.Vak * p2.Ia).set("PT3", Vak3 * I3);
    row.set("PT4", Vak4 * I4).set("PRa1", Ra1 * p1.Ia * p1.Ia).set("PRa2", Ra2 * p2.Ia * p2.Ia);
    row.set("PRf1", Rf1 * IRf * IRf).set("PRf2", Rf2 * IRf * IRf);
    rs.gridRow = row.finish(rs.ok);

    // Load lines: the input tubes on their share of Rk12, T3 on Rk3 under Vo; T4 has no resistor.
    rs.loadLines.push_back(pairLoadLine(*T1, Vb, Ra1 + pair.R1, 1));
    rs.loadLines.push_back(pairLoadLine(*T2, Vb, Ra2 + pair.R2, 2));
    rs.loadLines.push_back(pairLoadLine(*T3, Vo, Rk3, 3));
    rs.loadLines.push_back(pairLoadLine(*T4, Vak4, 0, 4));
    for (const auto& t : {T1.get(), T2.get(), T3.get(), T4.get()}) {
        t->calculerParamètresIntrinsèques();
        rs.tubes.push_back(*t);
    }
    traces.moveTo(rs);
}

} // namespace

const CircuitDef& c23PushPullDcFeedback() {
    static const CircuitDef def = defineCircuit({
        .number = 23,
        .title = "Push-pull amplifier with DC feedback after Lumacraft",
        .tubeCount = 4,
        .tubeSelectors = {{"LBtube1", kTriode}, {"LBtube2", kTriode}},
        .groups = {LibraryGroup::GainStage, LibraryGroup::CascodeLike},
        .sheet =
            {
                .edits = {{"EdVb", "Vb : power supply (V)"},
                          {"EdRa1", "Ra1"},
                          {"EdRa2", "Ra2"},
                          {"EdRk3", "Rk3"},
                          {"EdRf1", "Rf1"},
                          {"EdRk12", "Rk12"},
                          {"EdRf2", "Rf2"},
                          {"EdVg1", "EdVg1"}},
                .captions = {"T1 and T2", "T3 and T4", "T1", "T2", "T4", "T3"},
                .resultLabels = {"LabelItot", "LabelVo", "LabelVk3", "LabelVg2", "LabelVk12", "LabelVa1",
                                 "LabelVa2", "LabelI1", "LabelI2", "LabelI4", "LabelIf12", "LabelI12",
                                 "LabelI3"},
            },
        .columns =
            columnTable({textColumn("input model", "T1-T2"),
                         textColumn("output model", "T3-T4"),
                         {"Vb", "Vb (V)"},
                         {"Vg1", "Vg1 (V)", 2},
                         {"Vg2", "Vg2 (V)", 2},
                         {"Vo", "Vo (V)", 2},
                         {"Va1", "Va1 (V)", 1},
                         {"Va2", "Va2 (V)", 1},
                         {"Vk12", "Vk12 (V)", 3}},
                        tubeColumns("1", 1), tubeColumns("2", 1), tubeColumns("3", 1), tubeColumns("4", 1),
                        {{"Ra1", "Ra1 (Ω)"},
                         {"Ra2", "Ra2 (Ω)"},
                         {"Rk12", "Rk12 (Ω)"},
                         {"Rk3", "Rk3 (Ω)"},
                         {"Rf1", "Rf1 (Ω)"},
                         {"Rf2", "Rf2 (Ω)"},
                         {"Ptot", "Ptot (mW)", 0, 1000},
                         {"PT1", "PT1 (mW)", 0, 1000},
                         {"PT2", "PT2 (mW)", 0, 1000},
                         {"PT3", "PT3 (mW)", 0, 1000},
                         {"PT4", "PT4 (mW)", 0, 1000},
                         {"PRa1", "PR1 (mW)", 0, 1000},
                         {"PRa2", "PR2 (mW)", 0, 1000},
                         {"PRf1", "PRf1 (mW)", 0, 1000},
                         {"PRf2", "PRf2 (mW)", 0, 1000}}),
        .solve = solveC23,
    });
    return def;
}
