// The tube-models window at work: showing a model, starting a new one, storing, removing and
// restoring, each written to the database at once and told to the other windows.
#include "ui/form_models.h"

#include "storage/model_database.h"
#include "ui/message_boxes.h"
#include "util/format.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ss(const QLineEdit* box) {
    return box->text().toStdString();
}
} // namespace

QString TFormModels::selectedModel() const {
    const QList<QListWidgetItem*> items = LBmodels->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

bool TFormModels::fillModelList() {
    std::vector<std::string> names;
    if (!guarded(this, [&] { names = listModelNames(); }))
        return false; // the list stays as it was
    const QSignalBlocker block(LBmodels);
    LBmodels->clear();
    for (const std::string& name : names)
        LBmodels->addItem(qs(name));
    return true;
}

void TFormModels::hideParams() {
    GBparams->hide();
    hint_->show();
    butModelRemove->setEnabled(false);
}

void TFormModels::setPentodeBoxesShown(bool shown) {
    for (const Field* f : {&LEDkg2, &LEDpemax, &LEDvemax})
        f->holder->setVisible(shown);
}

ModelEntryTexts TFormModels::entryTexts() const {
    ModelEntryTexts t;
    t.name = ss(LEDname.edit);
    t.comment = MemoComment->toPlainText().toStdString();
    t.t35 = RGtype->checkedId() == 3 || RGtype->checkedId() == 5 ? RGtype->checkedId() : 0;
    t.kp = ss(LEDkp.edit);
    t.mu = ss(LEDmu.edit);
    t.kvb = ss(LEDkvb.edit);
    t.ex = ss(LEDx.edit);
    t.kg1 = ss(LEDkg1.edit);
    t.kg2 = ss(LEDkg2.edit);
    t.pmax = ss(LEDpmax.edit);
    t.imax = ss(LEDimax.edit);
    t.vmax = ss(LEDvmax.edit);
    t.pemax = ss(LEDpemax.edit);
    t.vemax = ss(LEDvemax.edit);
    t.cgk = ss(LEDcgk.edit);
    t.cga = ss(LEDcga.edit);
    t.cak = ss(LEDcak.edit);
    return t;
}

void TFormModels::setEntryTexts(const ModelEntryTexts& t) {
    filling_ = true;
    LEDname.edit->setText(qs(t.name));
    MemoComment->setPlainText(qs(t.comment));
    const std::pair<const Field*, const std::string*> boxes[] = {
        {&LEDkp, &t.kp},     {&LEDmu, &t.mu},       {&LEDkvb, &t.kvb},     {&LEDx, &t.ex},
        {&LEDkg1, &t.kg1},   {&LEDkg2, &t.kg2},     {&LEDpmax, &t.pmax},   {&LEDimax, &t.imax},
        {&LEDvmax, &t.vmax}, {&LEDpemax, &t.pemax}, {&LEDvemax, &t.vemax}, {&LEDcgk, &t.cgk},
        {&LEDcga, &t.cga},   {&LEDcak, &t.cak},
    };
    for (const auto& [f, text] : boxes)
        f->edit->setText(qs(*text));
    filling_ = false;
}

void TFormModels::LBmodelsClick() {
    const QString name = selectedModel();
    if (name.isEmpty())
        return;
    butModelRemove->setEnabled(true);
    tag_ = 0; // until the row is read: a remove never takes the id of the model shown before
    ModelRow row;
    bool found = false;
    if (!guarded(this, [&] { found = readModel(name.toStdString(), row); }) || !found) {
        GBparams->hide();
        hint_->show();
        return;
    }
    const TubeParams& p = row.params;
    const char sep = separator_.toLatin1();
    ModelEntryTexts t;
    t.name = p.name;
    t.comment = commentForDisplay(p.comment);
    t.kp = formatModelNumber(p.kp, sep);
    t.mu = formatModelNumber(p.mu, sep);
    t.kvb = formatModelNumber(p.kvb, sep);
    t.ex = formatModelNumber(p.ex, sep);
    t.kg1 = formatModelNumber(p.kg1, sep);
    t.kg2 = formatModelNumber(p.kg2, sep);
    t.pmax = formatModelNumber(p.pmax, sep);
    t.imax = formatModelNumber(p.imax, sep);
    t.vmax = formatModelNumber(p.vmax, sep);
    t.pemax = formatModelNumber(p.pemax, sep);
    t.vemax = formatModelNumber(p.vemax, sep);
    t.cgk = formatModelNumber(p.cgk, sep);
    t.cga = formatModelNumber(p.cga, sep);
    t.cak = formatModelNumber(p.cak, sep);

    tag_ = row.id;
    setEntryTexts(t);
    const bool pentode = p.t35 == 5;
    GBparams->setTitle(qs(strFormat(
        pentode ? "Parameters of pentode model %s" : "Parameters of triode model %s", p.name.c_str())));
    setPentodeBoxesShown(pentode);
    if (QAbstractButton* type = RGtype->button(p.t35))
        type->setChecked(true);
    RGtypeBox->setEnabled(false); // the type of a stored model never changes
    LEDname.label->setText(QStringLiteral("You may rename the model"));
    butModelStore->setText(QStringLiteral("Update the model"));
    hint_->hide();
    GBparams->show();
    butModelStore->setEnabled(false);
}

void TFormModels::butModelAddClick() {
    GBparams->setTitle(QStringLiteral("Create a new tube model"));
    tag_ = 0;
    {
        const QSignalBlocker block(LBmodels);
        LBmodels->clearSelection();
        LBmodels->setCurrentRow(-1);
    }
    butModelRemove->setEnabled(false);
    RGtypeBox->setEnabled(true); // the type chosen before stays chosen
    setPentodeBoxesShown(RGtype->checkedId() == 5);
    setEntryTexts(ModelEntryTexts{});
    LEDname.label->setText(QStringLiteral("Give the model a unique name"));
    butModelStore->setText(QStringLiteral("Save the new model"));
    hint_->hide();
    GBparams->show();
    butModelStore->setEnabled(false);
    LEDname.edit->setFocus();
}

void TFormModels::RGtypeClick() {
    setPentodeBoxesShown(RGtype->checkedId() == 5);
    butModelStore->setEnabled(true);
}

void TFormModels::butModelStoreClick() {
    butModelStore->setEnabled(false);
    const QString oldName = selectedModel();
    ModelEntryTexts texts = entryTexts();
    normaliseModelEntry(texts);
    setEntryTexts(texts);

    const ModelEntryCheck check = readModelEntry(texts, separator_.toLatin1());
    if (!check.params) {
        showError(this, qs(check.message));
        return;
    }
    const TubeParams& params = *check.params;
    long long owner = 0;
    if (!guarded(this, [&] { owner = findModelId(params.name); }))
        return;
    if (owner != 0 && owner != tag_) {
        showError(this, qs(strFormat("This model name \"%s\" is already used. Please set a new name.",
                                     params.name.c_str())));
        return;
    }
    const long long id = tag_;
    if (!guarded(this, [&] {
            if (id != 0)
                updateModel(id, params);
            else
                insertModel(params);
        }))
        return; // nothing stored: the list and the boxes stay as they are

    fillModelList();
    hideParams();
    if (id != 0)
        emit modelsChanged(oldName, qs(params.name));
    else
        emit modelsChanged(QString(), QString());
}

void TFormModels::butModelRemoveClick() {
    const QString name = selectedModel();
    if (name.isEmpty() || tag_ == 0)
        return;
    if (!confirm(this, QStringLiteral("Do you want to erase the model named\n\n \"%1\" ?").arg(name)))
        return;
    const long long id = tag_;
    if (!guarded(this, [&] { deleteModel(id); }))
        return;
    fillModelList();
    hideParams();
    emit modelsChanged(name, QString());
}

void TFormModels::butModelRestoreClick() {
    if (!confirm(this, QStringLiteral("Do you want to restore all the missing built-in tube models ?")))
        return;
    std::vector<std::string> restored;
    if (!guarded(this, [&] { restored = seedBuiltInModels(); }))
        return;
    fillModelList();
    hideParams();
    emit modelsChanged(QString(), QString());
    std::string text = strFormat("%d tube model(s) were restored:\n\n", static_cast<int>(restored.size()));
    for (const std::string& name : restored)
        text += name + "\n";
    showInformation(this, qs(text));
}
