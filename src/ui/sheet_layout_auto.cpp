// The automatic sheet layout: the controls of a sheet grouped by kind into labelled columns, edit
// boxes of a column aligned on one label width, nothing of the circuit drawn.
#include "ui/sheet_layout.h"

#include "circuits/catalogue.h"
#include "plots/plot_style.h"
#include "plots/sheet_columns_plot.h"
#include "ui/ui_fonts.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

enum class Group { Voltages, Currents, Resistors, Capacitors, Tubes, Options, Results };

const char* heading(Group g) {
    switch (g) {
    case Group::Voltages:
        return "Supply and voltages";
    case Group::Currents:
        return "Currents";
    case Group::Resistors:
        return "Resistors and loads";
    case Group::Capacitors:
        return "Capacitors";
    case Group::Tubes:
        return "Tubes";
    case Group::Options:
        return "Options";
    case Group::Results:
        return "Solved values";
    }
    return "";
}

constexpr int kMargin = 10;
constexpr int kRow = 26;
constexpr int kGap = 6;
constexpr int kColumnGap = 22;
constexpr int kMaxRows = 9;
constexpr int kTubeSelectorWidth = 150;
constexpr int kSmallSelectorWidth = 60;
constexpr int kResultWidth = 84;

// The symbol of an edit field: its name without the two-letter prefix ("EdRa" -> "Ra").
std::string symbolOf(const std::string& name) {
    return name.size() > 2 ? name.substr(2) : name;
}

Group groupOf(const SheetControl& c) {
    switch (c.kind) {
    case ControlKind::Edit: {
        const char first = symbolOf(c.name).empty() ? 'V' : symbolOf(c.name)[0];
        if (first == 'I')
            return Group::Currents;
        if (first == 'R' || first == 'Z')
            return Group::Resistors;
        if (first == 'C')
            return Group::Capacitors;
        return Group::Voltages;
    }
    case ControlKind::Selector:
    case ControlKind::Caption:
        return Group::Tubes;
    case ControlKind::CheckBox:
        return Group::Options;
    case ControlKind::Label:
        return Group::Results;
    }
    return Group::Voltages;
}

// The name written at the left of a selector or a result label.
std::string drawnName(const SheetControl& c) {
    if (c.kind == ControlKind::Label)
        return c.name.rfind("Label", 0) == 0 ? c.name.substr(5) : c.name;
    if (c.kind == ControlKind::Selector) {
        if (c.name == "LBtube")
            return "Tube";
        if (c.name == "LBtube1")
            return "Tube 1";
        if (c.name == "LBtube2")
            return "Tube 2";
        if (c.name == "LBparallel")
            return "In parallel";
        if (c.name == "LBYt")
            return "Yield (%)";
        return c.name;
    }
    return {};
}

struct Item {
    const SheetControl* control = nullptr;
    std::string name;  // drawn at the left (selectors, results) or the edit's label
    int nameWidth = 0; // of the left part
    int widgetWidth = 0;
    int spanWidth = 0; // captions and check boxes use the whole width
};

struct Column {
    int x = 0;
    int rows = 0;
    std::vector<std::pair<Group, int>> headings; // group and its row
    std::vector<std::pair<Item, int>> items;     // item and its row
    int nameWidth = 0;
    int width = 0;
};

// Labels of the sheet's edit fields, told apart by the field's symbol where two share one text or
// where the catalogue has none.
std::map<std::string, std::string> editLabels(const CircuitInfo& info) {
    std::map<std::string, int> uses;
    for (const SheetControl& c : info.controls)
        if (c.kind == ControlKind::Edit)
            ++uses[controlLabel(info, c.name)];
    std::map<std::string, std::string> labels;
    for (const SheetControl& c : info.controls) {
        if (c.kind != ControlKind::Edit)
            continue;
        const std::string label = controlLabel(info, c.name);
        const std::string symbol = symbolOf(c.name);
        if (label.empty() || label == c.name)
            labels[c.name] = symbol;
        else if (uses[label] > 1 && label != symbol)
            labels[c.name] = label + " (" + symbol + ")";
    }
    return labels;
}

} // namespace

SheetLayout automaticSheetLayout(int circuit, double scale) {
    const CircuitInfo& info = circuitInfo(circuit);
    SheetLayout layout;
    const std::map<std::string, std::string> replaced = editLabels(info);
    for (const auto& [name, text] : replaced)
        layout.labels.emplace_back(name, text);

    QFont textFont(kUiFace);
    textFont.setPixelSize(kSheetTextPixels);
    const QFontMetrics text(textFont);
    const QFontMetrics label(uiFont(8));
    auto widthOf = [](const QFontMetrics& fm, const std::string& s) {
        return fm.horizontalAdvance(QString::fromStdString(s)) + 2;
    };

    // Items by group, in the sheet's order.
    std::map<Group, std::vector<Item>> groups;
    for (const SheetControl& c : info.controls) {
        Item item;
        item.control = &c;
        switch (c.kind) {
        case ControlKind::Edit:
            item.name = replaced.count(c.name) ? replaced.at(c.name) : controlLabel(info, c.name);
            item.nameWidth = widthOf(label, item.name);
            item.widgetWidth = kEditBoxWidth;
            break;
        case ControlKind::Selector:
            item.name = drawnName(c);
            item.nameWidth = widthOf(text, item.name);
            item.widgetWidth = selectorTubeKind(info, c.name) != 0 ? kTubeSelectorWidth : kSmallSelectorWidth;
            break;
        case ControlKind::Label:
            item.name = drawnName(c);
            item.nameWidth = widthOf(text, item.name);
            item.widgetWidth = kResultWidth;
            break;
        case ControlKind::CheckBox:
            item.spanWidth = widthOf(label, c.text) + 26;
            break;
        case ControlKind::Caption:
            item.spanWidth = widthOf(label, c.text) + 4;
            break;
        }
        groups[groupOf(c)].push_back(item);
    }

    // Columns: a group starts with its heading row; it moves to a new column when it does not fit
    // below the previous group, and runs on into further columns when it is taller than one.
    std::vector<Column> columns(1);
    for (auto& [group, items] : groups) {
        const int needed = 1 + static_cast<int>(items.size());
        if (columns.back().rows > 0 && columns.back().rows + std::min(needed, kMaxRows) > kMaxRows)
            columns.emplace_back();
        columns.back().headings.emplace_back(group, columns.back().rows++);
        for (const Item& item : items) {
            if (columns.back().rows >= kMaxRows)
                columns.emplace_back();
            columns.back().items.emplace_back(item, columns.back().rows++);
        }
    }

    int x = kMargin;
    int rows = 0;
    std::vector<SheetColumnText> texts;
    for (Column& col : columns) {
        for (const auto& [item, row] : col.items)
            col.nameWidth = std::max(col.nameWidth, item.nameWidth);
        for (const auto& [item, row] : col.items)
            col.width = std::max(
                {col.width, item.spanWidth, item.widgetWidth ? col.nameWidth + kGap + item.widgetWidth : 0});
        for (const auto& [group, row] : col.headings)
            col.width = std::max(col.width, widthOf(text, heading(group)) + 4);
        col.x = x;
        x += col.width + kColumnGap;
        rows = std::max(rows, col.rows);

        for (const auto& [group, row] : col.headings)
            texts.push_back({heading(group), QPoint(col.x, kMargin + row * kRow + 16), true, col.width});
        for (const auto& [item, row] : col.items) {
            const int top = kMargin + row * kRow + (kRow - kControlHeight) / 2;
            const SheetControl& c = *item.control;
            QRect rect;
            if (c.kind == ControlKind::Edit) {
                rect = QRect(col.x, top, col.nameWidth + kGap + kEditBoxWidth, kControlHeight);
            } else if (item.widgetWidth) {
                rect = QRect(col.x + col.nameWidth + kGap, top, item.widgetWidth, kControlHeight);
                texts.push_back({item.name, QPoint(col.x, top + 15), false, 0});
            } else {
                rect = QRect(col.x, top, item.spanWidth, kControlHeight);
            }
            layout.placements.push_back({c.name, rect});
        }
    }
    layout.size = QSize(x - kColumnGap + kMargin, kMargin * 2 + rows * kRow);
    const PlotDeviceRatio ratio(scale);
    layout.background = drawSheetColumns(layout.size, texts);
    return layout;
}
