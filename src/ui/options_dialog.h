// TFormSolverOptions: the modal "Options for interactive schematics" dialog: borders of the edit
// boxes, a border around the diagram, grey background of the edit boxes.
#pragma once

#include "ui/sheet_cosmetics.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;

class TFormSolverOptions : public QDialog {
    Q_OBJECT
public:
    TFormSolverOptions(const SheetCosmetics& current, QWidget* parent);
    // The choices shown now.
    SheetCosmetics choices() const;

private:
    QButtonGroup* RGEditBorders;
    QButtonGroup* RGContainerBorders;
    QCheckBox* CKBbackground;
};
