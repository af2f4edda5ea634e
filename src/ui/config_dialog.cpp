// Saving, loading and deleting circuit configurations.
#include "ui/config_dialog.h"

#include "storage/builtin_configs.h"
#include "ui/message_boxes.h"
#include "ui/sheet_frame.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormConfigSchema::TFormConfigSchema(QWidget* caller, TSheetFrame* sheet, Mode mode, const QString& name)
    : QDialog(caller), sheet_(sheet), mode_(mode) {
    setObjectName(QStringLiteral("FormConfigSchema"));
    const int circuit = sheet->circuit();
    setWindowTitle(mode == Load ? QStringLiteral("Load a C%1 circuit configuration").arg(circuit)
                                : QStringLiteral("Save this C%1 circuit configuration").arg(circuit));

    auto* savePanel = new QWidget;
    savePanel->setObjectName(QStringLiteral("PanelSave"));
    auto* saveLayout = new QVBoxLayout(savePanel);
    saveLayout->setContentsMargins(0, 0, 0, 0);
    // A sheet loaded from the built-in example is saved under a name of the user's.
    LEDnomConfig = new QLineEdit(isReservedConfigName(name.toStdString()) ? QString() : name);
    LEDnomConfig->setObjectName(QStringLiteral("LEDnomConfig"));
    Memo = new QPlainTextEdit;
    Memo->setObjectName(QStringLiteral("Memo"));
    saveLayout->addWidget(new QLabel(QStringLiteral("Name this circuit configuration")));
    saveLayout->addWidget(LEDnomConfig);
    saveLayout->addWidget(new QLabel(QStringLiteral("Comment")));
    saveLayout->addWidget(Memo, 1);

    auto* loadPanel = new QWidget;
    loadPanel->setObjectName(QStringLiteral("PanelLoad"));
    auto* loadLayout = new QVBoxLayout(loadPanel);
    loadLayout->setContentsMargins(0, 0, 0, 0);
    LBload = new QListWidget;
    LBload->setObjectName(QStringLiteral("LBload"));
    LabelComment = new QLabel;
    LabelComment->setObjectName(QStringLiteral("LabelComment"));
    LabelComment->setWordWrap(true);
    LabelComment->setTextFormat(Qt::PlainText);
    LabelComment->setMinimumHeight(48);
    LabelComment->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    deleteButton_ = new QPushButton(QStringLiteral("Delete"));
    deleteButton_->setObjectName(QStringLiteral("ButtonDelete"));
    loadLayout->addWidget(new QLabel(QStringLiteral("Select a circuit configuration:")));
    loadLayout->addWidget(LBload, 1);
    loadLayout->addWidget(LabelComment);
    loadLayout->addWidget(deleteButton_, 0, Qt::AlignLeft);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(savePanel, 1);
    layout->addWidget(loadPanel, 1);
    layout->addWidget(buttons);
    savePanel->setVisible(mode == Save);
    loadPanel->setVisible(mode == Load);
    resize(380, 320);
    if (caller)
        move(caller->pos() + QPoint(22, 22));

    connect(buttons, &QDialogButtonBox::accepted, this, &TFormConfigSchema::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormConfigSchema::reject);
    connect(LBload, &QListWidget::currentRowChanged, this, [this](int row) {
        if (isExampleRow(row)) {
            LabelComment->setText(qstr(example_->comment));
            Memo->setPlainText(qstr(example_->comment));
        } else {
            showCommentOf(LBload->item(row) ? LBload->item(row)->text() : QString());
        }
        deleteButton_->setEnabled(configIndex(row) >= 0 || row < 0);
    });
    connect(LBload, &QListWidget::itemDoubleClicked, this, &TFormConfigSchema::accept);
    connect(deleteButton_, &QPushButton::clicked, this, &TFormConfigSchema::deleteSelected);

    if (LEDnomConfig->text().isEmpty())
        Memo->clear();
    loadConfigs();
    for (const TCircuitConfig& c : Configs)
        if (qstr(c.name) == LEDnomConfig->text()) {
            showCommentOf(qstr(c.name));
            break;
        }
    if (mode == Save) {
        LEDnomConfig->setFocus();
        LEDnomConfig->selectAll();
    }
}

void TFormConfigSchema::loadConfigs() {
    Configs.clear();
    LBload->clear();
    example_.reset();
    const ExamplesRead examples = readExamples();
    if (const CircuitExample* example = examples.ok ? examples.set.find(sheet_->circuit()) : nullptr) {
        example_ = *example;
        auto* item = new QListWidgetItem(QString::fromUtf8(kExampleConfigName));
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        item->setForeground(QColor(0x00, 0x50, 0x90));
        item->setToolTip(QStringLiteral("Built-in configuration: it can be loaded, not changed or deleted"));
        LBload->addItem(item);
    }
    guarded(this, [&] { Configs = getCircuitConfigs(configCode(sheet_->circuit())); });
    for (const TCircuitConfig& c : Configs)
        LBload->addItem(qstr(c.name));
    deleteButton_->setEnabled(!Configs.empty());
}

int TFormConfigSchema::configIndex(int row) const {
    const int index = example_ ? row - 1 : row;
    return index >= 0 && index < static_cast<int>(Configs.size()) ? index : -1;
}

void TFormConfigSchema::showCommentOf(const QString& name) {
    for (const TCircuitConfig& c : Configs)
        if (qstr(c.name) == name) {
            LabelComment->setText(qstr(c.comment));
            Memo->setPlainText(qstr(c.comment));
            return;
        }
}

void TFormConfigSchema::deleteSelected() {
    const int row = LBload->currentRow();
    if (isExampleRow(row)) {
        showInformation(this, QStringLiteral("The built-in configuration \"%1\" cannot be deleted")
                                  .arg(QString::fromUtf8(kExampleConfigName)));
        return;
    }
    const int index = configIndex(row);
    if (index < 0) {
        showInformation(this, QStringLiteral("Please select a configuration"));
        return;
    }
    const TCircuitConfig config = Configs[static_cast<std::size_t>(index)];
    if (!confirm(this, QStringLiteral("Delete the configuration \"%1\"?").arg(qstr(config.name))))
        return;
    if (guarded(this, [&] { deleteCircuitConfig(config.id); }))
        deleted_ = true;
    LabelComment->clear();
    loadConfigs();
}

void TFormConfigSchema::accept() {
    if (mode_ == Load) {
        const int row = LBload->currentRow();
        const int index = configIndex(row);
        if (!isExampleRow(row) && index < 0) {
            showInformation(this, QStringLiteral("Please select a configuration or cancel the operation"));
            return;
        }
        Sheet sheet = sheet_->sheet();
        if (isExampleRow(row)) {
            applyKeyVals(sheet, exampleKeyVals(*example_));
        } else if (!guarded(this, [&] {
                       applyKeyVals(sheet, getKeyVal(Configs[static_cast<std::size_t>(index)].id));
                   })) {
            return;
        }
        sheet_->setSheet(sheet);
        configName_ = LBload->item(row)->text();
    } else {
        const QString name = LEDnomConfig->text().trimmed();
        if (name.isEmpty()) {
            showInformation(this, QStringLiteral("Please name this configuration or cancel the operation"));
            return;
        }
        if (isReservedConfigName(name.toStdString())) {
            showInformation(this, QStringLiteral("\"%1\" is the name of the built-in configuration: please "
                                                 "choose another name")
                                      .arg(QString::fromUtf8(kExampleConfigName)));
            return;
        }
        const std::string comment = Memo->toPlainText().toStdString();
        if (!guarded(this, [&] { saveSheetConfig(sheet_->sheet(), name.toStdString(), comment); }))
            return;
        configName_ = name;
    }
    QDialog::accept();
}
