// Parameter sweep: one edit field of a sheet stepped over a range, a full solve at each value, and
// the grid row of every step; the command line and the solver window's sweep dialog share it.
#pragma once

#include "solver/solve.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct SweepPlan {
    std::string field; // an edit field of the circuit's sheet (EdRk)
    double from = 0;
    double to = 0;
    int steps = 0; // intervals: steps + 1 values from `from` to `to`
    bool log = false;
};

inline constexpr int kMaxSweepSteps = 10000;

// Why the sweep cannot run on this sheet (a field the sheet lacks or that is no edit field, equal
// ends, a step count outside 1 … kMaxSweepSteps, a logarithmic range through or at zero, a
// non-finite end); empty when it can.
std::string sweepProblem(const Sheet& sheet, const SweepPlan& plan);

// The values of the sweep as typed into the field ("%.12g"), so that a single solve with the same
// text reproduces the step. Empty when sweepProblem refuses the plan.
std::vector<std::string> sweepTexts(const SweepPlan& plan);

struct SweepRow {
    double value = 0;
    std::string text;                 // what the field held
    bool solved = false;              // false: refused by the sheet's checks, or the solver gave no row
    std::vector<std::string> gridRow; // status, model, cells (empty when not solved)
    std::string error;                // why the step gave no row
};

struct SweepResult {
    SweepPlan plan;
    std::vector<std::string> columns; // "-" (the status), then the grid column legends
    std::vector<SweepRow> rows;
    bool cancelled = false;
    NumberLocale locale; // of the cells' numbers
};

// Called after each step with (steps done, total); returning false stops the sweep there.
using SweepProgress = std::function<bool(int done, int total)>;

// Solves the request's sheet at each value of the sweep. A step that does not solve gives a row
// with its error and the sweep goes on. Refuses nothing: check sweepProblem first (a refused plan
// gives no rows).
SweepResult runSweep(const SolveRequest& base, const SweepPlan& plan, const SweepProgress& progress = {});

// The column's number in a row's cell (nullopt for a text cell, an empty one, or a step without a row).
std::optional<double> sweepCell(const SweepResult& result, const SweepRow& row, int column);

// The points (swept value, cell) of one column, steps without a number left out.
struct SweepSeries {
    std::string xLabel; // the field's name
    std::string yLabel; // the column's legend
    bool logX = false;
    std::vector<std::pair<double, double>> points;
};
SweepSeries sweepSeries(const SweepResult& result, int column);
