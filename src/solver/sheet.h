// A circuit's parameter sheet as plain data: the ordered named controls that the window shows
// and the solvers read (edit fields, selectors, check boxes, captions and result labels).
#pragma once

#include <string>
#include <vector>

enum class ControlKind { Edit, Selector, CheckBox, Label, Caption };

struct SheetControl {
    std::string name; // EdVb, LBtube, CheckBoxCkconnected, LabelVa, ...
    ControlKind kind = ControlKind::Edit;
    std::string text; // edit text, caption or label text
    bool checked = false;
    std::vector<std::string> items; // selector items
    int selected = -1;              // selector index, -1 = none

    // Text of the selected item, empty when none.
    std::string selectedText() const {
        return selected >= 0 && selected < static_cast<int>(items.size()) ? items[selected] : std::string();
    }
};

struct Sheet {
    int circuit = 0; // 1 .. 42
    std::vector<SheetControl> controls;

    SheetControl* find(const std::string& name) {
        for (auto& c : controls)
            if (c.name == name)
                return &c;
        return nullptr;
    }
    const SheetControl* find(const std::string& name) const { return const_cast<Sheet*>(this)->find(name); }
};
