// What the output stages C37 .. C42 share: their grid columns, the tube count and transformer
// yield of their sheets, the advanced push-pull parameters, the report lines written alike, the
// damped search of the self-biased pairs and the hand-over to the swing analysis.
#pragma once

#include "circuits/circuit_def.h"
#include "circuits/solver_common.h"
#include "power/power_analysis.h"
#include "solver/solve.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace power_stage {

// Stack colour of the output tube.
constexpr std::uint32_t kStackOrange = 0xFFFF7F00;

// The grid columns of every output stage: the sheet, the operating point and the last cycle of
// the swing analysis (swing, output power, mean current, efficiency).
std::vector<GridColumn> columns();

// Validation rules: the cathode resistor of a self-biased pair (10 to 1000 Ω) and the grid bias of
// a fixed-bias pair (negative or null).
FieldRange selfBiasCathodeResistor();
FieldRange fixedGridBias();

// Tubes in parallel (LBparallel, 1 .. 4; 1 when nothing readable is selected).
int parallelCount(const SheetValues& sheet);
// Transformer yield as a fraction (LBYt percent / 100; 1 when nothing readable is selected).
double transformerYield(const SheetValues& sheet);

// kza, kzb and the load function of a push-pull circuit: the controls LEDkza, LEDkzb and
// RGfonction when the host puts them in the sheet, else the values the window starts with.
// A kza or kzb that is not a decimal number in the user's locale adds its message to the result
// and gives nothing.
std::optional<AdvancedPowerParams> advancedParams(const SolveRequest& rq, SolveResult& rs);

// "<b>title</b><br>n iterations", or "<b>title</b>" when passes < 0.
std::string powerHeader(const std::string& title, int passes);
// "<br>Total power supply V  I  P" (V, mA without decimals, W with one), with " (over %d tubes)"
// when tubes > 0 (bold count when boldCount).
std::string powerSupplyLine(double Vb, double I, int tubes = 0, bool boldCount = false);

// A loop that stopped once its bracket closed stands for one that ran to its bound repeating its
// last point: the trace gets that point for every pass up to maxPasses.
void traceRepeated(TFormConvergence* trace, int lastPass, int maxPasses, double value);

// The inputs of a single-ended stage (C37, C38).
struct SingleEndedSheet {
    double Vb, Rp, Ra, Vg, Rk;
    int n;
    double Yt;
};
SingleEndedSheet readSingleEnded(const SheetValues& sheet);

// Upper end of the single-ended bisection: half the zero-bias current, lowered to the
// short-circuit current of the anode circuit when it has resistance.
double startHigh(double zeroBiasCurrent, double Vb, double Rdc);

// The single-ended swing analysis of T1 at its solved point (Ia the total of the n tubes, Vgk the
// bias it swings around), named after the request's circuit.
PowerData analyseSingleEnded(const SolveRequest& rq, const TTube& T1, const SingleEndedSheet& s, double Ia,
                             double Vgk);
// The logged-results row of a single-ended stage (its last columns from the analysis' last cycle,
// empty without one), then the analysis into the result.
void logSingleEnded(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const SingleEndedSheet& s,
                    double Ia, double Vak, PowerData power);

// The verdict line of an analysis that dropped impossible cycles; false when it wrote one.
bool powerVerdict(std::string& report, const PowerData& power);
// The verdict line of output tubes whose quiescent state (T1.displayOP(npar)) lies outside their
// safe operating area: the report's block says so, and the solve fails with it. False when it
// wrote the line.
bool safeAreaVerdict(std::string& report, const TTube& T1, int npar);

// The inputs of a push-pull stage (C39 .. C42).
struct PushPullSheet {
    double Vb, Zaa;
    int n;
    double Yt;
};
PushPullSheet readPushPull(const SheetValues& sheet);

// Sets a result label when the sheet has it (some push-pull sheets lack LabelVa or LabelVk).
void setSheetLabel(const SolveRequest& rq, SolveResult& rs, const std::string& name, const std::string& text);

// "C%d - reference model": the trace caption of a fixed-bias stage, which solves in one evaluation.
void captionFixedBias(TFormConvergence* trace, const TTube& T1);

// The damped search of a self-biased pair: I is the middle of [lo, hi]; the bound on the side
// where the tube carries too much (or too little) moves by a tenth of the error.
struct DampedSearch {
    double lo = 0, hi = 0, tolerance = 0;
    double middle() const { return (lo + hi) / 2; }
    // Moves a bound after the tube carried Ia at the trial current I; true when the search stops.
    bool step(double Ia, double I);
};

// The push-pull swing analysis of T1 (one side at its solved point), biased as the circuit's entry
// says, named after the request's circuit. Rk, Vek and Vgk as calculPP takes them.
PowerData analysePushPull(const SolveRequest& rq, const TTube& T1, const PushPullSheet& s,
                          const AdvancedPowerParams& adv, double Rk, double Vek, double Vgk);
// The logged-results row of a push-pull stage, then the analysis into the result, with the
// warning when some samples did not converge. The row counts the pair as the supply line does:
// 2n tubes, the anode current of both sides (I) and the supply power Vb·supplyCurrent; Vg is the
// grid bias of a fixed-bias pair (0, the grid return, for a self-biased one), Rk the self-biased
// pair's cathode resistor (none for a fixed bias). There is no primary resistance to show.
struct PushPullRow {
    double Vg = 0;
    std::optional<double> Rk;
    double Vak = 0, Vgk = 0;
    double I = 0, supplyCurrent = 0;
};
void keepPushPull(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const PushPullSheet& s,
                  const PushPullRow& row, PowerData power);

} // namespace power_stage
