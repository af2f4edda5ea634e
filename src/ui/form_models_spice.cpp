// The tube-models window's SPICE buttons: "Import from SPICE..." reads a Koren .subckt, says what it
// read and which KG1 convention it took, asks for a name and stores the model after the window's own
// checks; "Export as SPICE..." writes the selected model as a Koren subcircuit.
#include "ui/form_models.h"

#include "spice/koren_model.h"
#include "spice/model_reader.h"
#include "storage/model_database.h"
#include "storage/model_import.h"
#include "ui/message_boxes.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

bool TFormModels::importSpiceText(const std::string& text, const QString& name, int kg1Convention,
                                  QString* message) {
    const SpiceModelRead read = readSpiceModel(text, static_cast<Kg1Convention>(kg1Convention));
    if (!read.params) {
        *message = QString::fromStdString(read.error);
        return false;
    }
    TubeParams params = *read.params;
    if (!name.isNull())
        params.name = name.toStdString();
    ModelImport stored;
    if (!guarded(this, [&] { stored = storeImportedModel(params); })) {
        *message = QString(); // the database error was shown
        return false;
    }
    if (!stored.stored) {
        *message = QString::fromStdString(stored.message);
        return false;
    }
    fillModelList();
    emit modelsChanged(QString(), QString());
    return true;
}

void TFormModels::butImportSpiceClick() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Import from SPICE"), QString(),
                                     QStringLiteral("SPICE models (*.lib *.inc *.sub *.cir *.mod *.txt);;"
                                                    "All files (*)"));
    if (path.isEmpty())
        return;
    std::string text, problem;
    if (!readModelFile(path.toStdString(), kMaxSpiceModelBytes, text, problem)) {
        showError(this, QString::fromStdString(problem));
        return;
    }
    SpiceModelRead read = readSpiceModel(text);
    int convention = static_cast<int>(Kg1Convention::Unknown);
    if (read.needsConvention) {
        // The text does not tell how KG1 scales the current: ask.
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Import from SPICE"),
                        QString::fromStdString(read.error), QMessageBox::Cancel, this);
        QPushButton* koren = ask.addButton(QStringLiteral("2·E1^EX/KG1 (Koren)"), QMessageBox::AcceptRole);
        QPushButton* single = ask.addButton(QStringLiteral("E1^EX/KG1"), QMessageBox::AcceptRole);
        ask.exec();
        if (ask.clickedButton() != koren && ask.clickedButton() != single)
            return;
        convention =
            static_cast<int>(ask.clickedButton() == koren ? Kg1Convention::Double : Kg1Convention::Single);
        read = readSpiceModel(text, static_cast<Kg1Convention>(convention));
    }
    if (!read.params) {
        showError(this, QString::fromStdString(read.error + "\nNothing stored."));
        return;
    }
    QString found;
    for (const auto& line : read.found)
        found += QString::fromStdString(line) + "\n";
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, QStringLiteral("Import from SPICE"),
                              QStringLiteral("Read from .subckt %1 (%2):\n\n%3\nName of the new model:")
                                  .arg(QString::fromStdString(read.subcircuit),
                                       read.params->t35 == 5 ? "pentode" : "triode", found),
                              QLineEdit::Normal, QString::fromStdString(read.params->name), &ok);
    if (!ok)
        return;
    QString message;
    if (!importSpiceText(text, name.trimmed(), convention, &message) && !message.isEmpty())
        showError(this, message + "\nNothing stored.");
}

bool TFormModels::exportSpiceModel(const QString& model, const QString& path, QString* message) {
    ModelRow row;
    bool found = false;
    if (!guarded(this, [&] { found = readModel(model.toStdString(), row); }))
        return false;
    if (!found) {
        *message = QStringLiteral("No model is named \"%1\".").arg(model);
        return false;
    }
    QFile file(path);
    const QByteArray bytes = QByteArray::fromStdString(spiceModelText(row.params));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        *message = QStringLiteral("The model could not be written to %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void TFormModels::butExportSpiceClick() {
    const QString model = selectedModel();
    if (model.isEmpty()) {
        showInformation(this, QStringLiteral("Select the model to export in the list."));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export as SPICE"),
        QString::fromStdString(spiceSubcircuitName(model.toStdString())) + QStringLiteral(".lib"),
        QStringLiteral("SPICE models (*.lib *.inc *.sub);;All files (*)"));
    if (path.isEmpty())
        return;
    QString message;
    if (!exportSpiceModel(model, path, &message) && !message.isEmpty())
        showError(this, message);
}
