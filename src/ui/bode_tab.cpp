// The bandwidth tab: options, curve choice, picture and per-stage table.
#include "ui/bode_tab.h"

#include "frequency/bode_text.h"
#include "plots/bode_plot.h"
#include "solver/distortion.h"
#include "ui/collapsible_panel.h"
#include "ui/picture_view.h"
#include "ui/ui_fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QComboBox* choice(const std::vector<std::string>& items, const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    for (const std::string& item : items)
        box->addItem(QString::fromStdString(item));
    return box;
}

QColor argb(std::uint32_t c) {
    return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// The panels' caption bars sit in a strip above the picture; open, they hang over it.
constexpr int kStrip = 32;
constexpr int kPanelGap = 6;
} // namespace

TBodeTab::TBodeTab(QWidget* parent) : QWidget(parent) {
    image_ = new TPictureView(this);
    image_->setObjectName(QStringLiteral("ImageBode"));
    options_ =
        new TCollapsiblePanel(QStringLiteral("Set options to calculate and plot"), buildOptions(), this);
    options_->setObjectName(QStringLiteral("PanelOptionsBode"));

    table_ = new QTableWidget(0, static_cast<int>(tableColumns().size()));
    table_->setObjectName(QStringLiteral("VSTQ"));
    QStringList titles;
    for (const std::string& t : tableColumns())
        titles << QString::fromStdString(t);
    table_->setHorizontalHeaderLabels(titles);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(18);
    table_->setFont(uiFont(8));
    table_->horizontalHeader()->setFont(uiFont(8));
    const int widths[] = {92, 150, 72, 60, 64, 76};
    int tableWidth = 2 * table_->frameWidth() + table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    for (int c = 0; c < table_->columnCount(); ++c) {
        table_->setColumnWidth(c, widths[c]);
        tableWidth += widths[c];
    }
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setMinimumWidth(tableWidth);
    stages_ = new TCollapsiblePanel(QStringLiteral("See gain and Zi @ frequency"), table_, this);
    stages_->setObjectName(QStringLiteral("PanelQuadripoles"));

    stagesX_ = options_->width() + kPanelGap;
    connect(options_, &TCollapsiblePanel::toggled, this, [this] { placePanels(); });
    connect(stages_, &TCollapsiblePanel::toggled, this, [this] { placePanels(); });
    connect(strayCap_, QOverload<int>::of(&QComboBox::activated), this, &TBodeTab::strayCapsChosen);
    connect(acMode_, QOverload<int>::of(&QComboBox::activated), this, &TBodeTab::acModeChosen);
    for (QCheckBox* box : legends_)
        connect(box, &QCheckBox::toggled, this, [this] { redrawPicture(); });
}

QWidget* TBodeTab::buildOptions() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 0, 4, 4);

    auto* sweep = new QGroupBox(QStringLiteral("Sweep frequency"));
    auto* sweepForm = new QFormLayout(sweep);
    freqMin_ = choice(freqMinItems(), "CBfreqmin");
    freqMax_ = choice(freqMaxItems(), "CBfreqmax");
    sweepForm->addRow(QStringLiteral("from"), freqMin_);
    sweepForm->addRow(QStringLiteral("to"), freqMax_);
    layout->addWidget(sweep);

    auto* stray = new QGroupBox(QStringLiteral("Stray capacitance per pin"));
    auto* strayForm = new QFormLayout(stray);
    strayCap_ = choice(strayCapItems(), "CBstraycap");
    strayForm->addRow(QStringLiteral("define base unit"), strayCap_);
    layout->addWidget(stray);

    auto* miller = new QGroupBox(QStringLiteral("Bootstrapping of capacitances"));
    auto* millerLayout = new QVBoxLayout(miller);
    ignoreMiller_ = new QCheckBox(QStringLiteral("ignore effects"));
    ignoreMiller_->setObjectName(QStringLiteral("CheckBoxIgnoreMiller"));
    millerLayout->addWidget(ignoreMiller_);
    layout->addWidget(miller);

    auto* feedback = new QGroupBox(QStringLiteral("Global feedback"));
    auto* feedbackLayout = new QVBoxLayout(feedback);
    feedback_ = choice(feedbackItems(), "CBfeedback");
    feedbackLayout->addWidget(feedback_);
    layout->addWidget(feedback);

    auto* arithmetic = new QGroupBox(QStringLiteral("Frequency response"));
    auto* arithmeticLayout = new QVBoxLayout(arithmetic);
    acMode_ = choice(acModeItems(), "CBacmode");
    arithmeticLayout->addWidget(acMode_);
    layout->addWidget(arithmetic);

    auto* curves = new QGroupBox(QStringLiteral("Check the outputs to plot"));
    auto* curvesLayout = new QVBoxLayout(curves);
    for (std::size_t i = 0; i < legends_.size(); ++i) {
        legends_[i] = new QCheckBox;
        legends_[i]->setObjectName(QStringLiteral("CheckBoxG%1").arg(i + 1));
        legends_[i]->hide();
        curvesLayout->addWidget(legends_[i]);
    }
    layout->addWidget(curves);

    // The level at which a single-tube gain stage's distortion is worked out.
    distortion_ = new QGroupBox(QStringLiteral("Distortion"));
    auto* distortionForm = new QFormLayout(distortion_);
    thdLevel_ = new QDoubleSpinBox;
    thdLevel_->setObjectName(QStringLiteral("EdThdLevel"));
    thdLevel_->setRange(0.1, 1000);
    thdLevel_->setDecimals(1);
    thdLevel_->setSuffix(QStringLiteral(" V"));
    thdLevel_->setValue(kDefaultThdLevel);
    thdLevel_->setToolTip(QStringLiteral("Output level, peak, of the Distortion line of the AC report"));
    distortionForm->addRow(QStringLiteral("output level (peak)"), thdLevel_);
    layout->addWidget(distortion_);
    return panel;
}

double TBodeTab::thdLevel() const {
    return thdLevel_->value();
}

void TBodeTab::setThdLevel(double volts) {
    thdLevel_->setValue(volts);
}

void TBodeTab::setThdLevelShown(bool shown) {
    distortion_->setVisible(shown);
}

void TBodeTab::setCheckBoxLegends(const std::vector<std::string>& legends, bool feedbackEnabled) {
    for (std::size_t i = 0; i < legends_.size(); ++i) {
        QCheckBox* box = legends_[i];
        const QSignalBlocker block(box);
        box->setVisible(i < legends.size());
        if (i >= legends.size())
            continue;
        box->setText(QString::fromStdString(legends[i]));
        box->setChecked(true);
        QPalette pal = box->palette();
        pal.setColor(QPalette::WindowText, argb(legendColour(i)));
        box->setPalette(pal);
    }
    feedback_->setCurrentIndex(0);
    feedback_->setEnabled(feedbackEnabled);
}

std::vector<bool> TBodeTab::legendsShown() const {
    std::vector<bool> shown;
    for (const QCheckBox* box : legends_)
        if (!box->isHidden())
            shown.push_back(box->isChecked());
    return shown;
}

void TBodeTab::setOptions(const BodeOptions& o) {
    auto pick = [](QComboBox* box, int index) {
        box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    };
    pick(freqMin_, o.freqmin);
    pick(freqMax_, o.freqmax);
    pick(strayCap_, o.straycaps);
    pick(feedback_, o.feedback);
    pick(acMode_, o.ac);
    ignoreMiller_->setChecked(o.ignoreMiller);
}

BodeOptions TBodeTab::options() const {
    BodeOptions o;
    o.freqmin = freqMin_->currentIndex();
    o.freqmax = freqMax_->currentIndex();
    o.straycaps = strayCap_->currentIndex();
    o.feedback = feedback_->currentIndex();
    o.ignoreMiller = ignoreMiller_->isChecked();
    o.ac = acMode_->currentIndex() == kAcExact ? kAcExact : kAcClassic;
    return o;
}

void TBodeTab::showResult(const std::optional<BodeData>& data, const NumberLocale& locale) {
    data_ = data;
    locale_ = locale;
    table_->setRowCount(0);
    if (!data_) {
        image_->clearPicture();
        return;
    }
    table_->setRowCount(static_cast<int>(data_->table.size()));
    for (int r = 0; r < table_->rowCount(); ++r) {
        const TDataQP& row = data_->table[static_cast<std::size_t>(r)];
        const std::vector<std::string> cells = tableCells(row, locale);
        for (int c = 0; c < table_->columnCount() && c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
            item->setForeground(argb(row.couleur));
            table_->setItem(r, c, item);
        }
    }
    redrawPicture();
}

bool TBodeTab::hasRows() const {
    return table_->rowCount() > 0;
}

void TBodeTab::redrawPicture() {
    if (!data_) {
        image_->clearPicture();
        return;
    }
    BodeData shown = *data_;
    const std::vector<bool> states = legendsShown();
    for (std::size_t i = 0; i < shown.legends.size() && i < states.size(); ++i)
        shown.legends[i].display = states[i];
    const NumberLocale locale = locale_;
    image_->setPainter(
        [shown, locale](QSize size, double scale) { return drawBode(shown, size, scale, locale); });
}

void TBodeTab::collapsePanels() {
    options_->show();
    stages_->show();
    options_->setExpanded(false);
    stages_->setExpanded(false);
    placePanels();
}

void TBodeTab::revealStagePanel() {
    stages_->setVisible(hasRows());
    placePanels();
}

void TBodeTab::setCornerWidget(QWidget* widget) {
    corner_ = widget;
    corner_->setParent(this);
    corner_->show();
    placePanels();
}

void TBodeTab::placePanels() {
    const QSize room(width(), height());
    options_->setRoom(room);
    const int tableHeight = table_->horizontalHeader()->height() + table_->verticalHeader()->length() +
                            2 * table_->frameWidth() + 2;
    stages_->setWantedHeight(tableHeight);
    stages_->setRoom(QSize(width() - kPanelGap, height()));
    options_->move(0, 0);
    // The per-stage panel's caption follows the options panel's; open, it moves left to stay in the tab.
    stages_->move(std::max(0, std::min(stagesX_, width() - stages_->width())), 0);
    if (corner_) {
        corner_->adjustSize();
        corner_->move(width() - corner_->width(), (kStrip - corner_->height()) / 2);
    }
    if (options_->isExpanded())
        options_->raise();
    if (stages_->isExpanded())
        stages_->raise();
}

void TBodeTab::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    image_->setGeometry(0, kStrip, width(), std::max(1, height() - kStrip));
    placePanels();
}
