// Parameter sweep: the values of a linear or logarithmic range, a solve per value, its grid rows.
#include "circuits/sweep.h"

#include "circuits/catalogue.h"
#include "circuits/solve_command.h"
#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>

namespace {

// A value as a field holds it: 12 significant digits in fixed notation (the value syntax reads no
// exponent), trailing zeros dropped, with the locale's decimal separator.
std::string valueText(double v, const NumberLocale& locale) {
    if (v == 0)
        return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    std::string s = strFormat("%.*f", std::max(0, 11 - magnitude), v);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
    }
    const auto point = s.find('.');
    if (point != std::string::npos)
        s.replace(point, 1, std::string(1, locale.decimalSeparator));
    return s;
}

std::vector<double> sweepValues(const SweepPlan& plan) {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(plan.steps) + 1);
    for (int i = 0; i <= plan.steps; ++i) {
        const double t = static_cast<double>(i) / plan.steps;
        double v =
            plan.log ? plan.from * std::pow(plan.to / plan.from, t) : plan.from + (plan.to - plan.from) * t;
        if (i == plan.steps)
            v = plan.to; // the last value is the end as typed, not a rounding of it
        values.push_back(v);
    }
    return values;
}

// The text of a grid cell as a number: the locale's grouping removed, its decimal separator read.
std::optional<double> cellNumber(const std::string& cell, const NumberLocale& locale) {
    std::string plain;
    for (std::size_t i = 0; i < cell.size();) {
        const std::string& group = locale.thousandsSeparator;
        if (!group.empty() && cell.compare(i, group.size(), group) == 0) {
            i += group.size();
            continue;
        }
        plain += cell[i] == locale.decimalSeparator ? '.' : cell[i];
        ++i;
    }
    if (plain.empty())
        return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

std::string sweepProblem(const Sheet& sheet, const SweepPlan& plan) {
    const SheetControl* c = sheet.find(plan.field);
    if (!c)
        return strFormat("C%d has no field %s", sheet.circuit, plan.field.c_str());
    if (c->kind != ControlKind::Edit)
        return strFormat("%s is not an edit field: only a number can be swept", plan.field.c_str());
    if (!std::isfinite(plan.from) || !std::isfinite(plan.to))
        return "the range needs two finite numbers";
    if (plan.from == plan.to)
        return strFormat("FROM and TO are both %g: a sweep needs two different ends", plan.from);
    if (plan.steps < 1 || plan.steps > kMaxSweepSteps)
        return strFormat("STEPS must be a whole number from 1 to %d, not %d", kMaxSweepSteps, plan.steps);
    if (plan.log && !(plan.from * plan.to > 0))
        return "a logarithmic sweep needs two ends of the same sign, neither of them 0";
    return {};
}

std::vector<std::string> sweepTexts(const SweepPlan& plan) {
    Sheet probe;
    probe.controls.push_back({plan.field, ControlKind::Edit, "", false, {}, -1});
    if (!sweepProblem(probe, plan).empty())
        return {};
    std::vector<std::string> texts;
    for (double v : sweepValues(plan))
        texts.push_back(valueText(v, NumberLocale{}));
    return texts;
}

SweepResult runSweep(const SolveRequest& base, const SweepPlan& plan, const SweepProgress& progress) {
    SweepResult result;
    result.plan = plan;
    result.locale = base.locale;
    result.columns = {"-"};
    if (base.circuit >= 1 && base.circuit <= kCircuitCount) {
        const CircuitInfo& info = circuitInfo(base.circuit);
        result.columns.insert(result.columns.end(), info.gridColumns.begin(), info.gridColumns.end());
    }
    if (!sweepProblem(base.sheet, plan).empty())
        return result;
    const std::vector<double> values = sweepValues(plan);
    const int total = static_cast<int>(values.size());
    SolveRequest rq = base;
    SheetControl* field = rq.sheet.find(plan.field);
    for (int i = 0; i < total; ++i) {
        SweepRow row;
        row.text = valueText(values[static_cast<std::size_t>(i)], base.locale);
        field->text = row.text;
        row.value = values[static_cast<std::size_t>(i)];
        try {
            SolveOutcome outcome = solveCommand(rq);
            if (!outcome.solved) {
                row.error = outcome.messages.empty() ? std::string("refused") : outcome.messages.front();
            } else if (outcome.result.gridRow.empty()) {
                row.error = outcome.result.messages.empty() ? std::string("no result row")
                                                            : outcome.result.messages.front();
            } else {
                row.solved = true;
                row.gridRow = std::move(outcome.result.gridRow);
            }
        } catch (const std::exception& e) {
            row.error = e.what();
        }
        result.rows.push_back(std::move(row));
        if (progress && !progress(i + 1, total)) {
            result.cancelled = i + 1 < total;
            break;
        }
    }
    return result;
}

std::optional<double> sweepCell(const SweepResult& result, const SweepRow& row, int column) {
    if (!row.solved || column < 1 || column >= static_cast<int>(row.gridRow.size()))
        return std::nullopt;
    return cellNumber(row.gridRow[static_cast<std::size_t>(column)], result.locale);
}

SweepSeries sweepSeries(const SweepResult& result, int column) {
    SweepSeries s;
    s.xLabel = result.plan.field;
    s.logX = result.plan.log;
    if (column >= 0 && column < static_cast<int>(result.columns.size()))
        s.yLabel = result.columns[static_cast<std::size_t>(column)];
    for (const SweepRow& row : result.rows)
        if (const auto y = sweepCell(result, row, column))
            s.points.emplace_back(row.value, *y);
    return s;
}
