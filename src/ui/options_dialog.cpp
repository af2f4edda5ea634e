// The sheet options dialog.
#include "ui/options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QButtonGroup* radioGroup(QWidget* owner, QVBoxLayout* layout, const QString& caption, const char* name,
                         const QStringList& items, int selected) {
    auto* box = new QGroupBox(caption);
    box->setObjectName(QString::fromLatin1(name));
    auto* boxLayout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(owner);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items[i]);
        group->addButton(radio, i);
        boxLayout->addWidget(radio);
    }
    if (QAbstractButton* b = group->button(selected))
        b->setChecked(true);
    layout->addWidget(box);
    return group;
}
} // namespace

TFormSolverOptions::TFormSolverOptions(const SheetCosmetics& current, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormSolverOptions"));
    setWindowTitle(QStringLiteral("Options for interactive schematics"));
    auto* layout = new QVBoxLayout(this);
    RGEditBorders = radioGroup(this, layout, QStringLiteral("Borders of edit boxes"), "RGEditBorders",
                               {QStringLiteral("none"), QStringLiteral("visible")}, current.editBorders);
    RGContainerBorders =
        radioGroup(this, layout, QStringLiteral("Electrical diagram"), "RGContainerBorders",
                   {QStringLiteral("no border"), QStringLiteral("border visible")}, current.diagramBorder);
    CKBbackground = new QCheckBox(QStringLiteral("gray background of edit boxes"));
    CKBbackground->setObjectName(QStringLiteral("CKBbackground"));
    CKBbackground->setChecked(current.greyBackground);
    layout->addWidget(CKBbackground);

    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("ButtonSave"));
    save->setDefault(true);
    buttons->addButton(QStringLiteral("Discard"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("ButtonDiscard"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

SheetCosmetics TFormSolverOptions::choices() const {
    SheetCosmetics c;
    c.editBorders = std::max(0, RGEditBorders->checkedId());
    c.diagramBorder = std::max(0, RGContainerBorders->checkedId());
    c.greyBackground = CKBbackground->isChecked();
    return c;
}
