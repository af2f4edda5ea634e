// The table of the anode-curves window: every point of the last chart, three coloured columns (Va,
// Vg, Ia in mA) and "÷÷÷÷" across the row that separates two curves.
#pragma once

#include "model/anode_charts.h"

#include <QAbstractTableModel>

#include <vector>

class TAnodeTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row in one reset, however many points the chart has.
    void setRows(std::vector<AnodeRow> rows);
    const std::vector<AnodeRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<AnodeRow> rows_;
};
