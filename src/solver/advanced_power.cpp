// The advanced push-pull controls of a solve request.
#include "solver/advanced_power.h"

const std::vector<std::string>& loadFunctionItems() {
    static const std::vector<std::string> items = {"f1", "f2", "f3 simple", "f4 Zaa/2"};
    return items;
}

int loadFunctionIndex(const std::string& name) {
    const auto& items = loadFunctionItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        if (name == item || name == item.substr(0, item.find(' ')))
            return static_cast<int>(i);
    }
    return -1;
}

namespace {
SheetControl& ensureControl(Sheet& sheet, const std::string& name, ControlKind kind) {
    if (SheetControl* c = sheet.find(name))
        return *c;
    SheetControl c;
    c.name = name;
    c.kind = kind;
    sheet.controls.push_back(c);
    return sheet.controls.back();
}
} // namespace

void setAdvancedPowerControls(Sheet& sheet, const std::string& kza, const std::string& kzb, int fonction) {
    ensureControl(sheet, kKzaControl, ControlKind::Edit).text = kza;
    ensureControl(sheet, kKzbControl, ControlKind::Edit).text = kzb;
    SheetControl& f = ensureControl(sheet, kLoadFunctionControl, ControlKind::Selector);
    f.items = loadFunctionItems();
    f.selected = fonction >= 0 && fonction < static_cast<int>(f.items.size()) ? fonction : -1;
}
