// The results log grid.
#include "ui/log_grid.h"

#include "ui/ui_fonts.h"

#include <QFontMetrics>
#include <QHeaderView>

std::optional<QColor> logCellColour(const std::string& title) {
    auto has = [&](const char* part) { return title.find(part) != std::string::npos; };
    if (has("(V)"))
        return QColor(0xFF, 0x00, 0x00);
    if (has("A)"))
        return QColor(0x00, 0x00, 0x80);
    if (has("\u03a9)"))
        return QColor(0x80, 0x00, 0x00);
    if (has("W)"))
        return QColor(0xDD, 0x55, 0x55);
    if (!title.empty() && title[0] == 'T')
        return QColor(0x22, 0xAA, 0x22);
    return std::nullopt;
}

TLogGrid::TLogGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setFont(uiFont(8));
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setFont(uiFont(8));
    setWordWrap(false);
}

void TLogGrid::setColumns(const std::vector<std::string>& titles) {
    titles_ = titles;
    setColumnCount(static_cast<int>(titles.size()));
    QStringList labels;
    for (const std::string& t : titles)
        labels << QString::fromStdString(t);
    setHorizontalHeaderLabels(labels);
    const QFontMetrics header(horizontalHeader()->font());
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, std::max(60, header.horizontalAdvance(labels[c]) + 14));
}

void TLogGrid::addRecord(const std::vector<std::string>& cells) {
    const int row = rowCount();
    insertRow(row);
    const QFontMetrics metrics(font());
    for (int c = 0; c < columnCount() && c < static_cast<int>(cells.size()); ++c) {
        auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
        if (const auto colour = logCellColour(titles_[c]))
            item->setForeground(*colour);
        setItem(row, c, item);
        const int needed = metrics.horizontalAdvance(item->text()) + 12;
        if (columnWidth(c) < needed)
            setColumnWidth(c, needed);
    }
    scrollToBottom();
}

QString TLogGrid::clipboardText() const {
    QString text;
    for (const std::string& t : titles_)
        text += QString::fromStdString(t) + '\t';
    text += "\r\n";
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            const QTableWidgetItem* cell = item(r, c);
            text += (cell ? cell->text() : QString()) + '\t';
        }
        text += "\r\n";
    }
    return text;
}
