// TFormConfigSchema: the modal dialog that saves the sheet of a solver window as a named
// configuration with a comment, or loads (or deletes) a saved configuration of its circuit. The
// circuit's built-in "Example" heads the list: it loads like the others, and is never deleted or
// overwritten.
#pragma once

#include "circuits/examples.h"
#include "storage/configurations.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TSheetFrame;

class TFormConfigSchema : public QDialog {
    Q_OBJECT
public:
    enum Mode { Load = -1, Save = 1 };

    // caller: the solver window (the dialog opens 22 pixels right of and below its corner); sheet:
    // its sheet, read when saving and set when loading; name: the configuration name it shows now.
    TFormConfigSchema(QWidget* caller, TSheetFrame* sheet, Mode mode, const QString& name);

    // The configuration saved or loaded, after OK.
    QString configName() const { return configName_; }
    // True when a configuration was deleted while the dialog was open.
    bool deletedSome() const { return deleted_; }

    void accept() override;

private:
    void loadConfigs();
    void showCommentOf(const QString& name);
    void deleteSelected();
    // The index in Configs of a row of the list; -1 for the built-in example or no row.
    int configIndex(int row) const;
    bool isExampleRow(int row) const { return example_ && row == 0; }

    TSheetFrame* sheet_;
    Mode mode_;
    TArrayCircuitConfig Configs;
    std::optional<CircuitExample> example_; // the circuit's built-in example, listed first
    QString configName_;
    bool deleted_ = false;

    QLineEdit* LEDnomConfig;
    QPlainTextEdit* Memo;
    QListWidget* LBload;
    QLabel* LabelComment;
    QPushButton* deleteButton_;
};
