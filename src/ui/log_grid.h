// TLogGrid: the "Logged results" grid of a solver window, one row per solve, cells coloured by
// the unit of their column, and its text for the clipboard.
#pragma once

#include <QColor>
#include <QTableWidget>

#include <optional>
#include <string>
#include <vector>

// Colour of the cells of a column by its title: "(V)" red, "A)" navy, "Ω)" dark red, "W)" light
// red, a title that begins with "T" green; none for the others.
std::optional<QColor> logCellColour(const std::string& title);

class TLogGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit TLogGrid(QWidget* parent = nullptr);

    // The column titles, the first one "-" for the status; every column at least 60 pixels wide.
    void setColumns(const std::vector<std::string>& titles);
    // Appends a row; cells beyond the columns are dropped, missing ones left empty.
    void addRecord(const std::vector<std::string>& cells);

    // Every title followed by a tab, then CR LF; then every row's cells likewise.
    QString clipboardText() const;

private:
    std::vector<std::string> titles_;
};
