// The single-ended and push-pull point searches of the swing analyses, with the evaluations that
// the rise of the tube's current with its anode makes certain left out.
#include "power/point_search.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace {

// What one step of the walk or one halving may lose in the last bits of the libm functions, and
// so the distance from a threshold beyond which a comparison stands for its neighbours too.
double lastBits(double x) {
    return 1e-9 * std::fabs(x) + 1e-12;
}

bool finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double x) { return std::isfinite(x); });
}

} // namespace

AnodeSweep::AnodeSweep(TTube& t, double vg, double Vs, int n) : t_(t), vg_(vg), Vs_(Vs), n_(n) {
    if (t.t35() == 5) {
        grid_ = t.pentodeGrid(vg, Vs);
        ie_ = n * t.CalculerEcranPentode(vg, Vs);
    }
}

double AnodeSweep::operator()(double va) {
    if (t_.t35() == 5)
        return n_ * t_.pentodeAnode(grid_, va);
    return t_.current(vg_, va, Vs_, n_);
}

bool risesWithAnode(const TTube& t) {
    // Triode: E1 = (Va/kp)·ln(1 + e^x), x = kp·(1/mu + Vg/√(kvb + Va²)), rises with Va for kp, mu > 0
    // and kvb ≥ 0 whatever the grid (ln(1 + e^x) > x·σ(x) outweighs a positive grid's fall of x).
    // Pentode: the anode enters only through atan(Va/kvb).
    if (!finite({t.kp(), t.mu(), t.kvb(), t.Ex(), t.Kg1()}) || !(t.Kg1() > 0) || !(t.Ex() > 0))
        return false;
    if (t.t35() == 3)
        return t.kp() > 0 && t.mu() > 0 && t.kvb() >= 0;
    if (t.t35() == 5)
        return t.kvb() > 0;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Single-ended points

SingleEndedPoints::SingleEndedPoints(const TTube& tube, int n, double Vs, double Ia0, double Va0, double Z)
    : n_(n), Vs_(Vs), Ia0_(Ia0), Va0_(Va0), Z_(Z),
      monotone_(risesWithAnode(tube) && Z >= 0 && Ia0 > 0 && finite({Z, Ia0, Va0})) {}

void SingleEndedPoints::startCycle() {
    for (History& h : history_)
        h.count = 0;
}

double SingleEndedPoints::anodeAt(double I) const {
    double va = Va0_ + (Ia0_ - I) * Z_;
    if (va < 10)
        va = 10;
    return va;
}

// Where the load line would take the anode below its 10 V floor, the tube is saturated: the anode
// rests on the floor and the load, not the tube, sets the current, that of the line at 10 V. (The
// tube's own current there lies off the load line, and counting it would credit the stage with
// power the load never takes.)
void SingleEndedPoints::saturate(Result& p, double I) const {
    if (saturatedAt(I)) {
        p.va = 10;
        p.ia = Ia0_ + (Va0_ - 10) / Z_;
    }
}

bool SingleEndedPoints::saturatedAt(double I) const {
    return Z_ > 0 && Va0_ > 10 && Va0_ + (Ia0_ - I) * Z_ < 10;
}

double lastRisingMidpoint(double lo, double hi, double previous, int halving) {
    const auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
    const auto binade = [&](double x) { return bits(x) >> 52; };
    for (; halving <= 256; ++halving) {
        // With lo and hi positive and normal, in one binade (or hi the power of two that closes
        // lo's), each halving is exact or ties to the even neighbour, in steps of lo's last bit: the
        // gap to hi halves (up or down to the parity of hi's bits) until it is one step. An even hi
        // is then reached (the next midpoint repeats it); from an odd hi the midpoint stays one step
        // below. That takes at most 56 halvings from a gap of 2^53 steps.
        const bool hiPower = (bits(hi) & ((std::uint64_t{1} << 52) - 1)) == 0;
        if (lo >= std::numeric_limits<double>::min() && lo < hi && std::isfinite(hi) && halving + 60 <= 256 &&
            (binade(lo) == binade(hi) || (hiPower && binade(lo) + 1 == binade(hi))))
            return bits(hi) % 2 == 0 ? hi : std::nextafter(hi, 0.0);
        const double I = (lo + hi) / 2;
        if (I == previous)
            break;
        previous = lo = I;
    }
    return previous;
}

// One point's search: the evaluations made so far and what they decide.
struct SingleEndedPoints::Sample {
    explicit Sample(AnodeSweep c) : current(c) {}
    AnodeSweep current;
    static constexpr int kKept = 12;
    struct Kept {
        double x, va, ia;
    };
    Kept kept[kKept]; // only the first `count` are set
    int count = 0;
    // Halvings at or below `below` lift lo, those at or above `above` lower hi.
    double below = -std::numeric_limits<double>::infinity();
    double above = std::numeric_limits<double>::infinity();
    // The nearest evaluations on either side of the balance, where the tube carries at least I
    // and where it carries less: they give the balance and the slope the next sample predicts from.
    double xl = NAN, fl = 0, xu = NAN, fu = 0;
};

SingleEndedPoints::Result SingleEndedPoints::solve(TTube& t, int which, double vg) {
    constexpr double kTolerance = 0.0001;
    History& h = history_[which];
    Sample s{AnodeSweep(t, vg, Vs_, n_)};
    Result p;
    p.ie = s.current.screen();
    const double top = 13 * Ia0_;

    // The tube current at the line's anode for I, from the sample's evaluations where it was made.
    const auto evaluate = [&](double I, double& va) {
        for (int i = 0; i < s.count; ++i)
            if (s.kept[i].x == I) {
                va = s.kept[i].va;
                return s.kept[i].ia;
            }
        va = anodeAt(I);
        const double ia = s.current(va);
        if (s.count < Sample::kKept)
            s.kept[s.count++] = Sample::Kept{I, va, ia};
        const double f = ia - I;
        if (f >= 0 && !(I <= s.xl))
            s.xl = I, s.fl = f;
        else if (f < 0 && !(I >= s.xu))
            s.xu = I, s.fu = f;
        return ia;
    };

    // The bisection's state: its interval, last midpoint and next halving.
    double lo = 0, hi = top;
    double previous = NAN;
    int start = 1;
    bool unevaluated = false; // the last halving was decided without evaluating it

    // The balance current predicted from the last samples, linear in the grid voltage.
    double predicted = NAN;
    if (monotone_) {
        if (h.count == 0 && h.haveFirst)
            predicted = h.first;
        else if (h.count == 1)
            predicted = h.last + h.firstGain * (vg - h.lastVg);
        else if (h.count >= 2) {
            const double dv = h.lastVg - h.beforeVg;
            predicted = h.last + (dv != 0 ? (h.last - h.beforeLast) / dv * (vg - h.lastVg) : 0);
        }
    }
    if (std::isfinite(predicted)) {
        // The currents within the tolerance lie within tolerance / slope of the balance; the window
        // adds the last miss of the prediction. (Wider windows leave more halvings inside to
        // evaluate; narrower ones put the bracketing evaluations inside the tolerance.)
        const double half = kTolerance / h.slope + h.err + lastBits(top);
        if (std::isfinite(half)) {
            const auto certify = [&](double x) {
                double va;
                const double ia = evaluate(x, va);
                if (ia > (x + kTolerance) + lastBits(ia))
                    s.below = std::max(s.below, x);
                else if (ia < (x - kTolerance) - lastBits(ia))
                    s.above = std::min(s.above, x);
            };
            // A balance beyond the top (a stage whose point the search cannot reach) bounds every
            // halving at the top.
            if (predicted + half >= top && top > 0)
                certify(top);
            if (s.below < top) {
                // The path the bisection takes while its midpoints stay out of the window around the
                // prediction; its last midpoints on either side of it, evaluated, bound the rest.
                constexpr int kTried = 4;
                double lows[kTried], highs[kTried];
                int nl = 0, nh = 0;
                double slo = 0, shi = top, sprevious = NAN;
                int shalving = 1;
                for (; shalving <= 256; ++shalving) {
                    const double I = (slo + shi) / 2;
                    if (I == sprevious)
                        break;
                    if (I < predicted - half)
                        lows[nl++ % kTried] = sprevious = slo = I;
                    else if (I > predicted + half)
                        highs[nh++ % kTried] = sprevious = shi = I;
                    else
                        break;
                }
                // Innermost first, outwards until one bounds the halvings on its side.
                for (int k = 1; k <= std::min(nh, kTried) && !(s.above < top); ++k) {
                    const double x = highs[(nh - k) % kTried];
                    if (x > s.below)
                        certify(x);
                }
                for (int k = 1; k <= std::min(nl, kTried) && !(s.below > 0); ++k) {
                    const double x = lows[(nl - k) % kTried];
                    if (x < s.above)
                        certify(x);
                }
                // Where the evaluations bound the whole of that path (and do not overlap, which only
                // a current that is not monotone could make them do), the bisection takes it too.
                if (s.below < s.above && (nl == 0 || s.below >= lows[(nl - 1) % kTried]) &&
                    (nh == 0 || s.above <= highs[(nh - 1) % kTried])) {
                    lo = slo, hi = shi, previous = sprevious, start = shalving;
                    unevaluated = shalving > 1;
                }
            }
        }
    }

    for (int halving = start; halving <= 256; ++halving) {
        if (hi <= s.below) {
            // Every halving left lifts lo: only where they end matters.
            previous = lastRisingMidpoint(lo, hi, previous, halving);
            unevaluated = true;
            break;
        }
        const double I = (lo + hi) / 2;
        if (I == previous)
            break;
        previous = I;
        if (I <= s.below || I >= s.above) {
            (I <= s.below ? lo : hi) = I;
            unevaluated = true;
            continue;
        }
        unevaluated = false;
        p.ia = evaluate(I, p.va);
        if (p.ia > I + kTolerance)
            lo = I;
        else if (p.ia < I - kTolerance)
            hi = I;
        else {
            p.iterations = halving;
            break;
        }
    }
    // A saturated point takes the line's values, not the tube's.
    if (unevaluated && !saturatedAt(previous))
        p.ia = evaluate(previous, p.va);
    saturate(p, previous);

    // What the next sample predicts from: the balance, where the tube current's excess over I
    // crosses zero between the nearest evaluations either side.
    double balance = previous;
    if (std::isfinite(s.xl) && std::isfinite(s.xu) && s.xu > s.xl) {
        const double slope = (s.fl - s.fu) / (s.xu - s.xl);
        if (std::isfinite(slope))
            h.slope = std::clamp(slope, 1.0, 1e12);
        balance = s.xl + s.fl / h.slope;
    } else if (std::isfinite(s.xl))
        balance = s.xl + s.fl / h.slope;
    else if (std::isfinite(s.xu))
        balance = s.xu + s.fu / h.slope;
    if (!std::isfinite(balance))
        balance = previous;
    h.err = std::isfinite(predicted) ? std::fabs(balance - predicted) : 0;
    if (h.count == 1 && h.lastVg != vg)
        h.firstGain = (balance - h.last) / (vg - h.lastVg);
    h.beforeLast = h.last;
    h.beforeVg = h.lastVg;
    h.last = balance;
    h.lastVg = vg;
    if (h.count++ == 0) {
        h.first = balance;
        h.haveFirst = true;
    }
    return p;
}

// ---------------------------------------------------------------------------------------------
// Push-pull points

double loadLineOffset(const AdvancedPowerParams& adv, double R, double Ia0, double Vak0, double Zaa,
                      double va1, double ia1, double ia2) {
    const double L = loadFunction(adv.fonction, adv.kzb, adv.kza, R, Ia0, ia1, Zaa);
    double T = adv.fonction == LoadFunction::f4Half ? Vak0 - 0.5 * L * (ia1 - ia2) : Vak0 - (ia1 - ia2) * L;
    if (va1 > T + 2)
        T = va1 - 2;
    if (T < 0)
        T = 0;
    return T - va1;
}

struct PushPullPoints::Sample {
    Sample(AnodeSweep a, AnodeSweep b) : current1(a), current2(b) {}
    AnodeSweep current1, current2;
    static constexpr int kKept = 32;
    // The last evaluations of the sample, looked up by anode voltage; only the first `count` (at
    // most kKept) are read, so the array is left unset.
    struct Kept {
        double va1, va2, ia1, ia2, delta;
    };
    Kept kept[kKept];
    int count = 0;
};

PushPullPoints::PushPullPoints(const TTube& tube, int n, const AdvancedPowerParams& adv, double R, double Ia0,
                               double Vak0, double Vek, double Zaa)
    : n_(n), adv_(adv), R_(R), Ia0_(Ia0), Vak0_(Vak0), Vek_(Vek), Zaa_(Zaa) {
    // The offset T − va1 falls as va1 rises when the load is a constant one: tube 1's current rises
    // and tube 2's falls, but for the clamp just below Ia0 that may lift it by 1 µA.
    const bool constantLoad = adv.fonction == LoadFunction::f3Simple || adv.fonction == LoadFunction::f4Half;
    const double L = loadFunction(adv.fonction, adv.kzb, adv.kza, R, Ia0, 0, Zaa);
    const double share = adv.fonction == LoadFunction::f4Half ? 0.5 : 1.0;
    skipping_ =
        risesWithAnode(tube) && constantLoad && Zaa >= 0 && Vak0 > 0 && finite({Zaa, Vak0, Ia0, L}) && L >= 0;
    margin_ = share * L * 1.01e-6 + lastBits(Vak0) + 1e-7;
}

bool PushPullPoints::solve(TTube& t1, TTube& t2, TPointOper& p, double& lo, double& hi) {
    Sample s(AnodeSweep(t1, p.vg1, Vek_, n_), AnodeSweep(t2, p.vg2, Vek_, n_));
    bool firstRun[2] = {true, true}; // the first run each way sets the guess for the next sample
    int pass = 1;
    // Samples of a cycle mostly start the way the last one did: its first run, from the first pass.
    if (skipping_ && firstDir_ != 0) {
        const int dir = firstDir_;
        const int skipped = skipRun(s, dir, lo, hi, 0, true);
        firstRun[dir > 0 ? 0 : 1] = false;
        (dir > 0 ? lo : hi) = ladder_[skipped];
        pass += skipped;
    }
    for (bool first = pass == 1;; ++pass, first = false) {
        const Eval e = evaluate(s, (lo + hi) / 2);
        p.va1 = e.va1;
        p.va2 = e.va2;
        p.ia1 = e.ia1;
        p.ia2 = e.ia2;
        int dir = 0;
        if (e.delta > 0.2) {
            lo += 0.2;
            dir = 1;
        } else if (e.delta < -0.2) {
            hi -= 0.2;
            dir = -1;
        }
        if (first)
            firstDir_ = dir;
        if (std::fabs(e.delta) <= 0.2 || hi <= lo + 0.2 || lo < 0)
            return true;
        if (pass >= kPushPullPassLimit || !std::isfinite(e.delta))
            return false;
        if (skipping_ && dir != 0) {
            const int skipped = skipRun(s, dir, lo, hi, pass, firstRun[dir > 0 ? 0 : 1]);
            firstRun[dir > 0 ? 0 : 1] = false;
            (dir > 0 ? lo : hi) = ladder_[skipped];
            pass += skipped;
        }
    }
}

PushPullPoints::Eval PushPullPoints::evaluate(Sample& s, double va1) {
    const int kept = std::min(s.count, Sample::kKept);
    for (int i = 0; i < kept; ++i)
        if (s.kept[i].va1 == va1) {
            const Sample::Kept& k = s.kept[i];
            return Eval{k.va1, k.va2, k.ia1, k.ia2, k.delta};
        }
    Eval e;
    e.va1 = va1;
    e.va2 = 2 * Vak0_ - va1;
    e.ia2 = s.current2(e.va2);
    if (e.ia2 > Ia0_)
        e.ia2 = Ia0_ - 1e-6;
    e.ia1 = s.current1(e.va1);
    e.delta = loadLineOffset(adv_, R_, Ia0_, Vak0_, Zaa_, e.va1, e.ia1, e.ia2);
    s.kept[s.count++ % Sample::kKept] = Sample::Kept{e.va1, e.va2, e.ia1, e.ia2, e.delta};
    return e;
}

// ---------------------------------------------------------------------------------------------
// The walk's bounds

void StepLadder::reset(double start, int dir) {
    start_ = start;
    dir_ = dir;
    exact_ = 0;
    step_ = 0;
    if (start >= 1 && std::isfinite(start)) {
        // The binade [low, high) of the start; its grid u is 2^-52 or coarser, and 0.2 is an odd
        // multiple of 2^-54, so rounding x ± 0.2 onto the grid never meets a tie: every step that
        // stays inside adds the same rounded 0.2 (0 where u is 0.5 or more).
        const double low = std::bit_cast<double>(std::bit_cast<std::uint64_t>(start) & 0x7ff0000000000000u);
        const double high = 2 * low;
        const double step = std::fabs((dir > 0 ? start + 0.2 : start - 0.2) - start);
        if (step > 0) {
            // Two steps of margin keep every step of the exact stretch inside, whatever the last
            // bits of the division (the rounded step is at least 0.125 V).
            const double room = (dir > 0 ? high - start : start - low) / step - 2;
            exact_ = static_cast<int>(std::clamp(room, 0.0, static_cast<double>(kPushPullPassLimit)));
            step_ = step;
        }
    }
    tail_.assign(1, at(exact_));
}

double StepLadder::operator[](int j) {
    if (j <= exact_)
        return at(j);
    const auto k = static_cast<std::size_t>(j - exact_);
    while (tail_.size() <= k)
        tail_.push_back(dir_ > 0 ? tail_.back() + 0.2 : tail_.back() - 0.2);
    return tail_[k];
}

// After a pass that stepped lo up (dir 1) or hi down (dir -1), the passes of the run that would
// step the same way, all but the last of them left out. ladder_[j] is the moving bound after j
// further steps; the count returned is the number of passes the caller skips. The length of a run
// that `learn`s becomes the first guess of the next.
int PushPullPoints::skipRun(Sample& s, int dir, double lo, double hi, int pass, bool learn) {
    ladder_.reset(dir > 0 ? lo : hi, dir);
    // Whether further pass k's step would end the search: it closes the interval, takes lo below 0
    // or reaches the pass limit. Once true it stays true for every later pass (the bound only moves
    // one way, and lo, fixed while hi moves, is not negative when lo moves up), so the first such
    // pass is found by halving.
    const auto ends = [&](int k) {
        const double next = ladder_[k];
        const bool closes = dir > 0 ? hi <= next + 0.2 || next < 0 : next <= lo + 0.2 || lo < 0;
        return closes || pass + k >= kPushPullPassLimit;
    };
    const bool lowStart = dir > 0 && !(lo >= 0); // next < 0 could end early passes only
    int stop = 0;  // the first further pass whose step would end the search, once known
    int clear = 0; // no pass up to this one ends it
    // Makes the bound before further pass j known; returns j, or the stop when that comes first.
    const auto reach = [&](int j) {
        if (stop == 0 && j > clear) {
            if (lowStart) {
                for (int k = clear + 1; k <= j && stop == 0; ++k)
                    if (ends(k))
                        stop = k;
            } else if (ends(j)) {
                int a = clear, b = j; // ends(a) false (or a = 0), ends(b) true
                while (b - a > 1) {
                    const int m = a + (b - a) / 2;
                    (ends(m) ? b : a) = m;
                }
                stop = b;
            }
            if (stop == 0)
                clear = j;
        }
        return stop != 0 ? std::min(j, stop) : j;
    };
    // 1: pass j steps the same way and so do all before it; 0: it does not; -1: it steps, but too
    // near the threshold to vouch for the passes before it.
    const auto probe = [&](int j) {
        const double bound = ladder_[j - 1];
        const double delta = evaluate(s, dir > 0 ? (bound + hi) / 2 : (lo + bound) / 2).delta;
        const double beyond = dir * delta - 0.2;
        return beyond > margin_ ? 1 : beyond > 0 ? -1 : 0;
    };

    const int d = dir > 0 ? 0 : 1;
    int certain = 0, first = 0; // all passes up to `certain` step; `first` is the first that does not
    const int guess = reach(std::max(guess_[d], 1));
    int c = probe(guess);
    if (c > 0) {
        certain = guess;
        for (int step = 1;; step *= 2) {
            const int j = reach(certain + step);
            if (j <= certain)
                break;
            c = probe(j);
            if (c <= 0) {
                if (c == 0)
                    first = j;
                break;
            }
            certain = j;
        }
    } else if (c == 0) {
        first = guess;
    }
    if (first > 0) {
        bool nearEnd = first == guess;
        while (first - certain > 1) {
            const int j = nearEnd ? first - 1 : (certain + first) / 2;
            nearEnd = false;
            c = probe(j);
            if (c > 0)
                certain = j;
            else if (c == 0)
                first = j;
            else
                break;
        }
        if (first - certain == 1 && learn)
            guess_[d] = first;
    }
    // The pass that closes the interval is run, not skipped.
    return stop != 0 ? std::min(certain, stop - 1) : certain;
}
