// The sweep dialog: field, range, steps and column chosen here; the sweep itself is the solver
// layer's, the picture the plots layer's.
#include "ui/sweep_dialog.h"

#include "circuits/catalogue.h"
#include "plots/sweep_plot.h"
#include "solver/value_parser.h"
#include "ui/picture_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// A progress bar appears only for a sweep that runs longer than this.
constexpr int kProgressDelayMs = 400;
constexpr int kDefaultSteps = 20;

QString numberText(double v) {
    return QString::number(v, 'g', 6);
}
} // namespace

TSweepDialog::TSweepDialog(const SolveRequest& base, QWidget* parent) : QDialog(parent), base_(base) {
    const CircuitInfo& info = circuitInfo(base_.circuit);
    setWindowTitle(QStringLiteral("Sweep - %1").arg(QString::fromStdString(info.code)));
    setObjectName(QStringLiteral("FormSweep"));

    field_ = new QComboBox;
    field_->setObjectName(QStringLiteral("CBsweepField"));
    for (const SheetControl& c : base_.sheet.controls) {
        if (c.kind != ControlKind::Edit)
            continue;
        QString caption = QString::fromStdString(c.name);
        for (const auto& [name, label] : info.fieldLabels)
            if (name == c.name && !label.empty())
                caption += QStringLiteral("  (%1)").arg(QString::fromStdString(label));
        field_->addItem(caption, QString::fromStdString(c.name));
    }
    from_ = new QLineEdit;
    from_->setObjectName(QStringLiteral("EdSweepFrom"));
    to_ = new QLineEdit;
    to_->setObjectName(QStringLiteral("EdSweepTo"));
    steps_ = new QSpinBox;
    steps_->setObjectName(QStringLiteral("SESweepSteps"));
    steps_->setRange(1, kMaxSweepSteps);
    steps_->setValue(kDefaultSteps);
    log_ = new QCheckBox(QStringLiteral("logarithmic steps"));
    log_->setObjectName(QStringLiteral("CheckBoxSweepLog"));
    column_ = new QComboBox;
    column_->setObjectName(QStringLiteral("CBsweepColumn"));
    for (std::size_t i = 0; i < info.columns.size(); ++i)
        if (!info.columns[i].text)
            column_->addItem(QString::fromStdString(info.columns[i].legend), static_cast<int>(i) + 1);
    // A designer sweeping a part first wants to see what it does to the tube's current; the supply
    // and the parts typed on the sheet, which lead the columns, do not move.
    const int current = column_->findText(QStringLiteral("Ia"), Qt::MatchStartsWith);
    if (current >= 0)
        column_->setCurrentIndex(current);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Field"), field_);
    auto* range = new QHBoxLayout;
    range->addWidget(from_);
    range->addWidget(new QLabel(QStringLiteral("to")));
    range->addWidget(to_);
    form->addRow(QStringLiteral("From"), range);
    auto* stepsRow = new QHBoxLayout;
    stepsRow->addWidget(steps_);
    stepsRow->addWidget(log_);
    stepsRow->addStretch(1);
    form->addRow(QStringLiteral("Steps"), stepsRow);
    form->addRow(QStringLiteral("Column to plot"), column_);

    run_ = new QPushButton(QStringLiteral("Run"));
    run_->setObjectName(QStringLiteral("ButtonSweepRun"));
    run_->setDefault(true);
    copy_ = new QPushButton(QStringLiteral("Copy picture"));
    copy_->setObjectName(QStringLiteral("ButtonSweepCopy"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("LabelSweepStatus"));
    status_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(run_);
    buttons->addWidget(copy_);
    buttons->addWidget(close);

    picture_ = new TPictureView;
    picture_->setObjectName(QStringLiteral("ImageSweep"));
    picture_->setMinimumSize(480, 300);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(picture_, 1);
    layout->addLayout(buttons);
    resize(640, 560);

    connect(field_, &QComboBox::currentIndexChanged, this, [this] { fieldChosen(); });
    connect(column_, &QComboBox::currentIndexChanged, this, [this] { replot(); });
    connect(run_, &QPushButton::clicked, this, [this] { run(); });
    connect(copy_, &QPushButton::clicked, this, [this] {
        if (picture_->hasPicture())
            QApplication::clipboard()->setImage(pictureImage());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    const int rk = field_->findData(QStringLiteral("EdRk"));
    field_->setCurrentIndex(rk >= 0 ? rk : 0);
    fieldChosen();
}

QImage TSweepDialog::pictureImage() const {
    return picture_->image();
}

// The range starts around the field's present value: from half of it to twice it.
void TSweepDialog::fieldChosen() {
    const SheetControl* c = base_.sheet.find(field_->currentData().toString().toStdString());
    bool ok = false;
    const double v = c ? parseValue(c->text, base_.locale, &ok) : 0;
    if (ok && v != 0) {
        from_->setText(numberText(v / 2));
        to_->setText(numberText(v * 2));
    } else {
        from_->setText(QStringLiteral("0"));
        to_->setText(QStringLiteral("1"));
    }
}

void TSweepDialog::showStatus(const QString& text, bool problem) {
    status_->setText(text);
    QPalette pal = status_->palette();
    pal.setColor(QPalette::WindowText, problem ? QColor(200, 0, 0) : palette().color(QPalette::WindowText));
    status_->setPalette(pal);
}

void TSweepDialog::run() {
    SweepPlan plan;
    plan.field = field_->currentData().toString().toStdString();
    bool okFrom = false, okTo = false;
    plan.from = parseValue(from_->text().toStdString(), base_.locale, &okFrom);
    plan.to = parseValue(to_->text().toStdString(), base_.locale, &okTo);
    plan.steps = steps_->value();
    plan.log = log_->isChecked();
    if (!okFrom || !okTo) {
        showStatus(QStringLiteral("The range needs two numbers."), true);
        return;
    }
    if (const std::string problem = sweepProblem(base_.sheet, plan); !problem.empty()) {
        showStatus(QString::fromStdString(problem), true);
        return;
    }

    QProgressDialog progress(QStringLiteral("Sweeping %1 …").arg(QString::fromStdString(plan.field)),
                             QStringLiteral("Cancel"), 0, plan.steps + 1, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    run_->setEnabled(false);
    result_ = runSweep(base_, plan, [&progress](int done, int) {
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.reset();
    run_->setEnabled(true);

    int failed = 0;
    for (const SweepRow& row : result_->rows)
        failed += row.solved ? 0 : 1;
    QString text =
        result_->cancelled
            ? QStringLiteral("Cancelled after %1 of %2 steps.").arg(result_->rows.size()).arg(plan.steps + 1)
            : QStringLiteral("%1 steps solved.").arg(result_->rows.size());
    if (failed > 0)
        text += QStringLiteral(" %1 did not solve (left out of the plot).").arg(failed);
    showStatus(text, false);
    replot();
}

void TSweepDialog::replot() {
    if (!result_ || column_->currentIndex() < 0) {
        picture_->clearPicture();
        return;
    }
    SweepSeries series = sweepSeries(*result_, column_->currentData().toInt());
    const std::string label = controlLabel(circuitInfo(base_.circuit), series.xLabel);
    if (!label.empty())
        series.xLabel = label + " (" + series.xLabel + ")";
    const std::string code = circuitInfo(base_.circuit).code;
    picture_->setPainter(
        [series, code](QSize size, double scale) { return drawSweep(series, code, size, scale); });
}
