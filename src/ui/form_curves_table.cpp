// Cells of the anode-curves table, as the chart computations write them.
#include "ui/form_curves_table.h"

#include <QColor>

void TAnodeTableModel::setRows(std::vector<AnodeRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TAnodeTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TAnodeTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant TAnodeTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const AnodeRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(anodeTableCell(row, index.column()));
    case Qt::ForegroundRole:
        return QColor::fromRgb(anodeTableColour(index.column()));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TAnodeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    static const char* const titles[] = {"Va (V)", "Vg (V)", "Ia (mA)"};
    return section >= 0 && section < 3 ? QString::fromLatin1(titles[section]) : QVariant();
}
