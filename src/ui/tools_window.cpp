// The tools window.
#include "ui/tools_window.h"

#include "plots/tool_pictures.h"
#include "ui/key_filters.h"
#include "ui/picture_view.h"
#include "ui/tools_calc.h"
#include "ui/ui_fonts.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {
constexpr int kDiagramWidth = 110;
constexpr int kDiagramHeight = 150;

QLineEdit* box(const char* name, const QString& text) {
    auto* b = new QLineEdit(text);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}
QLabel* readout(const char* name) {
    auto* l = new QLabel;
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(monoFont(9, true));
    l->setMinimumWidth(100);
    return l;
}
} // namespace

TFormTools* TFormTools::instance(QWidget* near) {
    static QPointer<TFormTools> tools;
    if (!tools) {
        tools = new TFormTools;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, tools, &QObject::deleteLater);
        tools->adjustSize();
        const QRect around = near ? near->frameGeometry() : tools->screen()->availableGeometry();
        tools->move(around.center() - QPoint(tools->width() / 2, tools->height() / 2));
    }
    return tools;
}

void TFormTools::showTools(QWidget* near) {
    TFormTools* tools = instance(near);
    tools->show();
    tools->raise();
    tools->activateWindow();
}

TFormTools::TFormTools() : QWidget(nullptr, Qt::Tool) {
    setObjectName(QStringLiteral("FormTools"));
    setWindowTitle(QStringLiteral("Basic tools"));
    setFont(uiFont(9));

    auto* divider = new QGroupBox(QStringLiteral("Resistive divider"));
    auto* explanation = new QLabel(QStringLiteral(
        "Set V1 (input voltage) and the sum R1 + R2. Move the scrollbar to set the output voltage V2 : "
        "corresponding values of R1 and R2 will be displayed."));
    explanation->setWordWrap(true);
    EdV1 = box("EdV1", QStringLiteral("300"));
    EdR12 = box("EdR12", QStringLiteral("1E6"));
    auto* dividerForm = new QFormLayout;
    dividerForm->addRow(QStringLiteral("V1 (V)"), EdV1);
    dividerForm->addRow(QStringLiteral("R1 + R2 (\u03a9)"), EdR12);
    // The read-outs stand level with R1, the tap V2 and R2 of the drawing.
    auto* picture = new QWidget;
    picture->setFixedSize(kDiagramWidth + 130, kDiagramHeight);
    divider_ = new TPictureView(picture);
    divider_->setGeometry(0, 0, kDiagramWidth, kDiagramHeight);
    divider_->setPainter([](QSize size, double) { return drawDividerDiagram(size); });
    LabV2 = readout("LabV2");
    Lab1 = readout("Lab1");
    Lab2 = readout("Lab2");
    const std::pair<QLabel*, double> levels[] = {
        {Lab1, kDividerR1Level}, {LabV2, kDividerTapLevel}, {Lab2, kDividerR2Level}};
    for (const auto& [label, level] : levels) {
        label->setParent(picture);
        const int h = label->sizeHint().height();
        const int y = static_cast<int>(14 + (kDiagramHeight - 28) * level) - h / 2;
        label->setGeometry(kDiagramWidth + 8, y, 120, h);
    }
    ScrollBar1 = new QScrollBar(Qt::Horizontal);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(1, 300);
    ScrollBar1->setValue(1);
    auto* dividerLayout = new QVBoxLayout(divider);
    dividerLayout->addWidget(explanation);
    dividerLayout->addLayout(dividerForm);
    dividerLayout->addWidget(picture);
    dividerLayout->addWidget(ScrollBar1);

    auto* rc = new QGroupBox(QStringLiteral("RC dipole frequency"));
    rc->setToolTip(QStringLiteral("Use scientific notation with exponent like 220e3 or 47e-6"));
    LEDR = box("LEDR", QStringLiteral("1"));
    LEDC = box("LEDC", QString());
    LEDR->setToolTip(rc->toolTip());
    LEDC->setToolTip(rc->toolTip());
    installKeyFilter(LEDR, KeyFilterKind::Rc, QLatin1Char('.'));
    installKeyFilter(LEDC, KeyFilterKind::Rc, QLatin1Char('.'));
    LabF = readout("LabF");
    LabTau = readout("LabTau");
    auto* rcForm = new QFormLayout(rc);
    rcForm->addRow(QStringLiteral("Resistor (\u03a9)"), LEDR);
    rcForm->addRow(QStringLiteral("Capacitor (F)"), LEDC);
    rcForm->addRow(QStringLiteral("-3dB frequency"), LabF);
    rcForm->addRow(QStringLiteral("\u03c4 = RC"), LabTau);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(divider);
    layout->addWidget(rc);
    setMinimumWidth(300);

    connect(EdV1, &QLineEdit::textChanged, this, [this] { EdV1KeyUp(); });
    connect(EdR12, &QLineEdit::textChanged, this, [this] { ScrollBar1Change(); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
    connect(LEDR, &QLineEdit::textChanged, this, [this] { LEDRChange(); });
    connect(LEDC, &QLineEdit::textChanged, this, [this] { LEDRChange(); });
    EdV1KeyUp();
    ScrollBar1Change();
    LEDRChange();
}

void TFormTools::EdV1KeyUp() {
    if (const auto maximum = dividerMaximum(EdV1->text()))
        ScrollBar1->setMaximum(*maximum);
    ScrollBar1Change();
}

void TFormTools::ScrollBar1Change() {
    const auto r = dividerReadout(EdV1->text(), EdR12->text(), ScrollBar1->value(), ScrollBar1->maximum());
    if (!r)
        return;
    LabV2->setText(r->V2);
    Lab1->setText(r->R1);
    Lab2->setText(r->R2);
}

void TFormTools::LEDRChange() {
    const RcReadout r = rcReadout(LEDR->text(), LEDC->text());
    LabF->setText(r.F);
    LabTau->setText(r.Tau);
}
