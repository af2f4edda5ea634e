// Named cells of the results grid.
#include "circuits/grid_row.h"

#include "circuits/catalogue.h"
#include "circuits/solver_common.h"
#include "solver/grid_cells.h"
#include "util/format.h"

#include <stdexcept>

GridRow::GridRow(const SolveRequest& request) : GridRow(request, circuitInfo(request.circuit)) {}

GridRow::GridRow(const SolveRequest& request, const CircuitDef& circuit)
    : request_(request), circuit_(circuit), cells_(circuit.columns.size()), filled_(circuit.columns.size()) {}

void GridRow::fill(const std::string& column, const std::string& cell, bool number, double value,
                   bool blank) {
    for (std::size_t i = 0; i < circuit_.columns.size(); ++i) {
        const GridColumn& c = circuit_.columns[i];
        if (c.name != column)
            continue;
        if (filled_[i] && request_.checked)
            throw std::logic_error(
                strFormat("C%d fills grid column %s twice", circuit_.number, column.c_str()));
        if (!blank && number == c.text && request_.checked)
            throw std::logic_error(strFormat("C%d fills grid column %s with a %s", circuit_.number,
                                             column.c_str(), number ? "number" : "text"));
        cells_[i] = blank    ? std::string()
                    : number ? gridCell(c.decimals, c.factor, value, request_.locale)
                             : cell;
        filled_[i] = true;
        return;
    }
    if (request_.checked)
        throw std::logic_error(strFormat("C%d has no grid column %s", circuit_.number, column.c_str()));
}

GridRow& GridRow::set(const std::string& column, double value) {
    fill(column, {}, true, value);
    return *this;
}

GridRow& GridRow::text(const std::string& column, const std::string& text) {
    fill(column, text, false, 0);
    return *this;
}

GridRow& GridRow::none(const std::string& column) {
    fill(column, {}, false, 0, true);
    return *this;
}

GridRow& GridRow::tube(const std::string& suffix, const TTube& tube) {
    return set("Vak" + suffix, tube.Vak()).set("Vgk" + suffix, tube.Vgk()).set("Ia" + suffix, tube.Ia());
}

std::vector<std::string> GridRow::finish(bool ok) const {
    for (std::size_t i = 0; i < filled_.size(); ++i)
        if (!filled_[i] && request_.checked)
            throw std::logic_error(strFormat("C%d leaves grid column %s empty", circuit_.number,
                                             circuit_.columns[i].name.c_str()));
    std::vector<std::string> row = {gridStatus(request_, ok)};
    row.insert(row.end(), cells_.begin(), cells_.end());
    return row;
}
