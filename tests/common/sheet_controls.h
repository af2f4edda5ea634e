// Builders of sheet controls for tests that assemble a sheet by hand.
#pragma once

#include "solver/sheet.h"

#include <string>
#include <utility>
#include <vector>

inline SheetControl edit(const std::string& name, const std::string& text) {
    SheetControl c;
    c.name = name;
    c.kind = ControlKind::Edit;
    c.text = text;
    return c;
}

inline SheetControl checkBox(const std::string& name, bool checked) {
    SheetControl c;
    c.name = name;
    c.kind = ControlKind::CheckBox;
    c.checked = checked;
    return c;
}

inline SheetControl selector(const std::string& name, std::vector<std::string> items, int selected) {
    SheetControl c;
    c.name = name;
    c.kind = ControlKind::Selector;
    c.items = std::move(items);
    c.selected = selected;
    return c;
}

inline SheetControl label(const std::string& name, const std::string& text) {
    SheetControl c;
    c.name = name;
    c.kind = ControlKind::Label;
    c.text = text;
    return c;
}
