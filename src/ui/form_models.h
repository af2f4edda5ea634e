// TFormModels: the tube-models window ("Models of tubes"). It lists the models of the database, shows
// one in its boxes, and creates, updates, renames, removes and restores models, each change written at
// once; it checks what was typed with the core's model-entry checks and tells the other windows.
#pragma once

#include "model/model_entry.h"
#include "storage/settings.h"

#include <QWidget>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class Telemetry;

class TFormModels : public QWidget {
    Q_OBJECT
public:
    // A hidden window of fixed size 800 x 650 (the telemetry is not used: nothing here is reported).
    explicit TFormModels(Telemetry* telemetry = nullptr, QWidget* parent = nullptr);
    ~TFormModels() override;

    // The actions of the buttons, as a click runs them.
    void butModelAddClick();
    void butModelStoreClick();
    void butModelRemoveClick();
    void butModelRestoreClick();
    // SPICE text (form_models_spice.cpp): the buttons ask for a file, a name and, when the text does
    // not tell, the KG1 convention; the functions behind them do the work and say what went wrong.
    void butImportSpiceClick();
    void butExportSpiceClick();
    bool importSpiceText(const std::string& text, const QString& name, int kg1Convention, QString* message);
    bool exportSpiceModel(const QString& model, const QString& path, QString* message);

signals:
    // After every store, rename, remove or restore that reached the database: the old and new name of
    // an updated or renamed model, the removed name and an empty new name after a removal, and two
    // empty names (a plain refresh) after a new model or a restore. The anode-curves window and every
    // open solver window refresh their model lists from it.
    void modelsChanged(const QString& oldName, const QString& newName);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // A labelled box of the parameter group: the label above the box.
    struct Field {
        QWidget* holder = nullptr;
        QLabel* label = nullptr;
        QLineEdit* edit = nullptr;
    };
    enum class KeySet { Any, Number, Capacitance };

    // Building the window (form_models.cpp).
    QWidget* buildListColumn();
    QGroupBox* buildParamsGroup();
    Field field(const char* name, const QString& caption, KeySet keys);
    void keyJudged(bool accepted);

    // Showing and storing models (form_models_actions.cpp).
    bool fillModelList();
    void LBmodelsClick();
    void RGtypeClick();
    void setPentodeBoxesShown(bool shown);
    ModelEntryTexts entryTexts() const;
    void setEntryTexts(const ModelEntryTexts& texts);
    QString selectedModel() const;
    void hideParams();

    TIniPosDim IniPosDim;
    QChar separator_;
    long long tag_ = 0; // GBparams' tag: the id of the model shown, 0 for a new model
    bool filling_ = false;

    QListWidget* LBmodels = nullptr;
    QPushButton* butModelAdd = nullptr;
    QPushButton* butModelRemove = nullptr;
    QPushButton* butModelRestore = nullptr;
    QPushButton* butImportSpice = nullptr;
    QPushButton* butExportSpice = nullptr;
    QPushButton* butModelStore = nullptr;
    QGroupBox* GBparams = nullptr;
    QLabel* hint_ = nullptr;
    QButtonGroup* RGtype = nullptr;
    QGroupBox* RGtypeBox = nullptr;
    QPlainTextEdit* MemoComment = nullptr;
    Field LEDname, LEDkp, LEDmu, LEDkvb, LEDx, LEDkg1, LEDkg2;
    Field LEDpmax, LEDimax, LEDvmax, LEDpemax, LEDvemax;
    Field LEDcgk, LEDcga, LEDcak;
};
