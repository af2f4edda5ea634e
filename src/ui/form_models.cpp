// Building the tube-models window: the model list with its buttons, and the parameter group with a
// labelled box per column of the table, each with its key filter.
#include "ui/form_models.h"

#include "ui/screen_placement.h"
#include "ui/typed_key_filter.h"
#include "ui/ui_fonts.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
constexpr const char* kWindowName = "FormModels";
constexpr int kWidth = 800;
constexpr int kHeight = 650;
} // namespace

TFormModels::TFormModels(Telemetry*, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QString::fromLatin1(kWindowName));
    setWindowTitle(QStringLiteral("Models of tubes"));
    setFont(uiFont(9));
    setFixedSize(kWidth, kHeight);
    separator_ = userDecimalSeparator();
    IniPosDim.Open();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(10);
    layout->addWidget(buildListColumn());
    auto* right = new QVBoxLayout;
    auto* hint = new QLabel(QStringLiteral(
        "Click a model in the list to show its parameters, or create a new model.\n\nEvery change is "
        "stored at once; the tube lists of the other windows follow it."));
    hint->setObjectName(QStringLiteral("LabelHint"));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    hint->setContentsMargins(8, 8, 8, 8);
    right->addWidget(hint);
    right->addWidget(buildParamsGroup(), 1);
    layout->addLayout(right, 1);
    // The hint stands where the parameters are while no model is shown.
    hint_ = hint;
    GBparams->hide();
}

TFormModels::~TFormModels() {
    if (isVisible())
        storeWindowPlacement(this, IniPosDim, kWindowName);
    IniPosDim.Close();
}

QWidget* TFormModels::buildListColumn() {
    auto* column = new QWidget;
    column->setFixedWidth(230);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("Tube models"));
    title->setFont(uiFont(9, true));
    layout->addWidget(title);
    LBmodels = new QListWidget;
    LBmodels->setObjectName(QStringLiteral("LBmodels"));
    layout->addWidget(LBmodels, 1);
    butModelAdd = new QPushButton(QStringLiteral("Create a new model..."));
    butModelAdd->setObjectName(QStringLiteral("butModelAdd"));
    butModelRemove = new QPushButton(QStringLiteral("Remove ..."));
    butModelRemove->setObjectName(QStringLiteral("butModelRemove"));
    butModelRemove->setEnabled(false);
    butModelRestore = new QPushButton(QStringLiteral("Restore built-in models"));
    butModelRestore->setObjectName(QStringLiteral("butModelRestore"));
    butImportSpice = new QPushButton(QStringLiteral("Import from SPICE..."));
    butImportSpice->setObjectName(QStringLiteral("butImportSpice"));
    butExportSpice = new QPushButton(QStringLiteral("Export as SPICE..."));
    butExportSpice->setObjectName(QStringLiteral("butExportSpice"));
    for (QPushButton* b : {butModelAdd, butModelRemove, butModelRestore, butImportSpice, butExportSpice})
        layout->addWidget(b);

    // A model chosen by a click or the arrow keys (not the list's own change of its current row when
    // it takes the focus); a click on the selected model while none is shown shows it.
    connect(LBmodels, &QListWidget::itemSelectionChanged, this, &TFormModels::LBmodelsClick);
    connect(LBmodels, &QListWidget::itemClicked, this, [this] {
        if (!GBparams->isVisible())
            LBmodelsClick();
    });
    connect(butModelAdd, &QPushButton::clicked, this, &TFormModels::butModelAddClick);
    connect(butModelRemove, &QPushButton::clicked, this, &TFormModels::butModelRemoveClick);
    connect(butModelRestore, &QPushButton::clicked, this, &TFormModels::butModelRestoreClick);
    connect(butImportSpice, &QPushButton::clicked, this, &TFormModels::butImportSpiceClick);
    connect(butExportSpice, &QPushButton::clicked, this, &TFormModels::butExportSpiceClick);
    return column;
}

TFormModels::Field TFormModels::field(const char* name, const QString& caption, KeySet keys) {
    Field f;
    f.holder = new QWidget;
    auto* layout = new QVBoxLayout(f.holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    f.label = new QLabel(caption);
    f.label->setObjectName(QString::fromUtf8(name) + QStringLiteral("Label"));
    f.edit = new QLineEdit;
    f.edit->setObjectName(QString::fromUtf8(name));
    f.label->setBuddy(f.edit);
    layout->addWidget(f.label);
    layout->addWidget(f.edit);
    TTypedKeyFilter* filter = nullptr;
    switch (keys) {
    case KeySet::Any:
        filter = installTypedKeyFilter(f.edit, {}, true);
        break;
    case KeySet::Number:
        filter = installTypedKeyFilter(f.edit, numberKeySet(separator_));
        break;
    case KeySet::Capacitance:
        filter = installTypedKeyFilter(f.edit, numberKeySet(separator_, QStringLiteral("-Ee")));
        f.edit->setToolTip(QStringLiteral("In farads, for example 2%12E-12").arg(separator_));
        break;
    }
    connect(filter, &TTypedKeyFilter::judged, this, &TFormModels::keyJudged);
    // Deleting, cutting and pasting change the text without a typed character.
    connect(f.edit, &QLineEdit::textEdited, this, [this] { keyJudged(true); });
    return f;
}

void TFormModels::keyJudged(bool accepted) {
    butModelStore->setEnabled(accepted);
}

QGroupBox* TFormModels::buildParamsGroup() {
    GBparams = new QGroupBox;
    GBparams->setObjectName(QStringLiteral("GBparams"));
    auto* layout = new QVBoxLayout(GBparams);
    layout->setSpacing(8);

    auto* top = new QHBoxLayout;
    LEDname = field("LEDname", QStringLiteral("Model name"), KeySet::Any);
    LEDname.edit->setFont(uiFont(10, true));
    top->addWidget(LEDname.holder, 1);
    RGtypeBox = new QGroupBox(QStringLiteral("Tube type"));
    RGtypeBox->setObjectName(QStringLiteral("RGtype"));
    auto* types = new QHBoxLayout(RGtypeBox);
    RGtype = new QButtonGroup(this);
    auto* triode = new QRadioButton(QStringLiteral("triode"));
    triode->setObjectName(QStringLiteral("RGtypeTriode"));
    auto* pentode = new QRadioButton(QStringLiteral("pentode / tetrode"));
    pentode->setObjectName(QStringLiteral("RGtypePentode"));
    RGtype->addButton(triode, 3);
    RGtype->addButton(pentode, 5);
    types->addWidget(triode);
    types->addWidget(pentode);
    top->addWidget(RGtypeBox);
    layout->addLayout(top);

    auto* commentLabel = new QLabel(QStringLiteral("Comment"));
    MemoComment = new QPlainTextEdit;
    MemoComment->setObjectName(QStringLiteral("MemoComment"));
    MemoComment->setFixedHeight(84);
    commentLabel->setBuddy(MemoComment);
    layout->addWidget(commentLabel);
    layout->addWidget(MemoComment);
    connect(installTypedKeyFilter(MemoComment, {}, true), &TTypedKeyFilter::judged, this,
            &TFormModels::keyJudged);
    connect(MemoComment, &QPlainTextEdit::textChanged, this, [this] {
        if (!filling_)
            keyJudged(true);
    });

    const auto group = [&](const char* name, const QString& title, std::initializer_list<Field*> fields) {
        auto* box = new QGroupBox(title);
        box->setObjectName(QString::fromLatin1(name));
        auto* grid = new QGridLayout(box);
        grid->setHorizontalSpacing(12);
        int i = 0;
        for (Field* f : fields) {
            grid->addWidget(f->holder, i / 3, i % 3);
            ++i;
        }
        for (int c = 0; c < 3; ++c)
            grid->setColumnStretch(c, 1);
        layout->addWidget(box);
    };
    LEDkp = field("LEDkp", QStringLiteral("Kp"), KeySet::Number);
    LEDmu = field("LED\u00b5", QStringLiteral("\u00b5"), KeySet::Number);
    LEDkvb = field("LEDkvb", QStringLiteral("Kvb"), KeySet::Number);
    LEDx = field("LEDx", QStringLiteral("X"), KeySet::Number);
    LEDkg1 = field("LEDkg1", QStringLiteral("Kg1"), KeySet::Number);
    LEDkg2 = field("LEDkg2", QStringLiteral("Kg2"), KeySet::Number);
    group("GroupNK", QStringLiteral("NK simulation parameters"),
          {&LEDkp, &LEDmu, &LEDkvb, &LEDx, &LEDkg1, &LEDkg2});
    LEDpmax = field("LEDpmax", QStringLiteral("Pa max (W)"), KeySet::Number);
    LEDimax = field("LEDimax", QStringLiteral("Ia max (A)"), KeySet::Number);
    LEDvmax = field("LEDvmax", QStringLiteral("Va max (V)"), KeySet::Number);
    LEDpemax = field("LEDpemax", QStringLiteral("Pg2 max (W)"), KeySet::Number);
    LEDvemax = field("LEDvemax", QStringLiteral("Vg2 max (V)"), KeySet::Number);
    group("GroupSOA", QStringLiteral("SOA parameters"), {&LEDpmax, &LEDimax, &LEDvmax, &LEDpemax, &LEDvemax});
    LEDcgk = field("LEDcgk", QStringLiteral("Cgk"), KeySet::Capacitance);
    LEDcga = field("LEDcga", QStringLiteral("Cga"), KeySet::Capacitance);
    LEDcak = field("LEDcak", QStringLiteral("Cak"), KeySet::Capacitance);
    group("GroupCapacitances", QStringLiteral("Interelectrodes capacitances (F)"),
          {&LEDcgk, &LEDcga, &LEDcak});
    layout->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    butModelStore = new QPushButton(QStringLiteral("Save the new model"));
    butModelStore->setObjectName(QStringLiteral("butModelStore"));
    butModelStore->setMinimumWidth(180);
    butModelStore->setEnabled(false);
    bottom->addWidget(butModelStore);
    layout->addLayout(bottom);

    connect(RGtype, &QButtonGroup::idClicked, this, &TFormModels::RGtypeClick);
    connect(butModelStore, &QPushButton::clicked, this, &TFormModels::butModelStoreClick);
    return GBparams;
}

void TFormModels::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    restoreWindowPlacement(this, IniPosDim, kWindowName, true);
    hideParams();
    fillModelList();
}

void TFormModels::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        storeWindowPlacement(this, IniPosDim, kWindowName);
}
