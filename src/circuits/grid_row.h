// A row of the results grid filled by column name from the circuit's column table: each value is
// written with its column's decimals and factor, and a tube's quiescent point fills its three
// columns at once. The status cell comes first.
#pragma once

#include "circuits/circuit_def.h"
#include "model/tube.h"
#include "solver/solve.h"

#include <string>
#include <vector>

class GridRow {
public:
    // The row of the request's circuit.
    explicit GridRow(const SolveRequest& request);
    GridRow(const SolveRequest& request, const CircuitDef& circuit);

    // The column's number: gridCell(decimals, factor, value).
    GridRow& set(const std::string& column, double value);
    // A text column (the model name).
    GridRow& text(const std::string& column, const std::string& text);
    // "Vak<suffix>", "Vgk<suffix>" and "Ia<suffix>" from the tube's operating point.
    GridRow& tube(const std::string& suffix, const TTube& tube);
    // The column's cell left empty on purpose: there is no figure to show (a power stage whose
    // swing analysis has no cycle).
    GridRow& none(const std::string& column);

    // The status (the time of day when ok, else "ERROR") and every cell in column order. A column
    // filled twice, a name the table lacks or a column left empty is a fault of the solver: in
    // checked mode it throws std::logic_error (the first two at once), otherwise the last value
    // stands and an empty column stays empty.
    std::vector<std::string> finish(bool ok) const;

private:
    void fill(const std::string& column, const std::string& cell, bool number, double value,
              bool blank = false);

    const SolveRequest& request_;
    const CircuitDef& circuit_;
    std::vector<std::string> cells_;
    std::vector<bool> filled_;
};
