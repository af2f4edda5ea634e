// Private pieces of the power-stage solvers C37 .. C42: the tube count, the transformer yield,
// the advanced push-pull parameters and the report lines they share.
#pragma once

#include "circuits/solver_common.h"
#include "power/power_analysis.h"
#include "solver/solve.h"

#include <optional>
#include <string>

void solveC37(const SolveRequest& rq, SolveResult& rs);
void solveC38(const SolveRequest& rq, SolveResult& rs);
void solveC39(const SolveRequest& rq, SolveResult& rs);
void solveC40(const SolveRequest& rq, SolveResult& rs);
void solveC41(const SolveRequest& rq, SolveResult& rs);
void solveC42(const SolveRequest& rq, SolveResult& rs);

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
// "<br>Total power supply V  I  P" (V, mA, W), with " (over %d tubes)" when tubes > 0 (bold count
// when boldCount).
std::string powerSupplyLine(double Vb, double I, int tubes = 0, bool boldCount = false);

// Stack colour of the output tube.
constexpr std::uint32_t kStackOrange = 0xFFFF7F00;
