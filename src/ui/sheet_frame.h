// TSheetFrame: the interactive parameter sheet of one circuit, with a real widget for each control
// of the catalogue (labelled edit boxes, selectors, check boxes, captions, result labels) placed by
// the sheet layout. It gives and takes the sheet's values as a Sheet.
#pragma once

#include "solver/sheet.h"
#include "ui/sheet_cosmetics.h"
#include "ui/sheet_layout.h"

#include <QWidget>

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

class TSheetFrame : public QWidget {
    Q_OBJECT
public:
    // decimalSeparator: the user's, for the key filter of the edit boxes.
    TSheetFrame(int circuit, QChar decimalSeparator, QWidget* parent = nullptr);

    int circuit() const { return circuit_; }
    QSize sizeHint() const override;

    // The values the widgets hold now, in the catalogue's order of the controls.
    Sheet sheet() const;
    // Puts the values into the widgets: edit texts, check states, selector items and selection.
    void setSheet(const Sheet& sheet);
    // Replaces a selector's items (the selection is then the first item, or none).
    void setSelectorItems(const std::string& name, const std::vector<std::string>& items);
    // Replaces a selector's items and selects the item of that text (none when it is not among them).
    void setSelectorItems(const std::string& name, const std::vector<std::string>& items,
                          const std::string& selected);
    // The text of a selector's selected item, empty when none.
    std::string selectedItem(const std::string& name) const;

    // Writes the texts of the result labels the solver filled; the others keep theirs.
    void setResultLabels(const std::vector<std::pair<std::string, std::string>>& labels);

    // Fonts, colours, borders and backgrounds of the controls; empties the result labels.
    void setFrameCosmetics(const SheetCosmetics& cosmetics);

    std::vector<QLineEdit*> editBoxes() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        SheetControl control; // kind, name and, for captions, text
        QWidget* widget = nullptr;
        QLabel* label = nullptr; // the label of an edit box
    };
    void placeEditBox(const Entry& e, const SheetPlacement& placement);

    int circuit_;
    SheetLayout layout_;
    std::vector<Entry> entries_;
};
