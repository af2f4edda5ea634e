// Building the main window: title strip, pages, popup menu; page switching, the menu's actions, opening
// solver windows, and the frame of a window without system caption.
#include "ui/main_window.h"

#include "circuits/catalogue.h"
#include "circuits/examples.h"
#include "markup/css_classes.h"
#include "storage/configurations.h"
#include "storage/data_folder.h"
#include "storage/packaged_files.h"
#include "telemetry/telemetry.h"
#include "ui/form_solver.h"
#include "ui/library_page.h"
#include "ui/library_tree.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/page_bar.h"
#include "ui/title_strip.h"
#include "ui/ui_fonts.h"
#include "ui/usage_page.h"
#include "ui/version_info.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace {
constexpr int kResizeMargin = 4; // the frame that resizes the window
} // namespace

TForm1::TForm1(Telemetry* telemetry, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), telemetry_(telemetry) {
    setObjectName(QStringLiteral("Form1"));
    setFont(uiFont(9));
    setMouseTracking(true);
    buildWindow();
    FormCreate();
}

void TForm1::buildWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kResizeMargin, kResizeMargin, kResizeMargin, kResizeMargin);
    layout->setSpacing(0);
    CTBPanel = new TTitleStrip;
    layout->addWidget(CTBPanel);

    pages_ = new QStackedWidget;
    pages_->addWidget(buildIntroPage());
    library_ = new TLibraryPage(IPD);
    pages_->addWidget(library_);
    usage_ = new TUsagePage(telemetry_);
    pages_->addWidget(usage_);
    layout->addWidget(pages_, 1);

    LabelLastCircuit = new QPushButton;
    LabelLastCircuit->setObjectName(QStringLiteral("LabelLastCircuit"));
    LabelLastCircuit->setFlat(true);
    LabelLastCircuit->setCursor(Qt::PointingHandCursor);
    LabelLastCircuit->setToolTip(QStringLiteral("Open the circuit solved last"));
    LabelLastCircuit->setStyleSheet(QStringLiteral(
        "QPushButton { color: #1a5fb4; border: none; background: transparent; text-decoration: underline; "
        "padding: 2px 6px; } QPushButton:hover { color: #0b3d91; }"));
    LabelLastCircuit->hide();
    TopPanelIntro->row()->insertWidget(0, LabelLastCircuit);

    buildMenu();
    connect(CTBPanel, &TTitleStrip::pageButtonClicked, this, &TForm1::butMenu1Click);
    connect(CTBPanel, &TTitleStrip::menuRequested, this, [this](QPoint at) { menu_->popup(at); });
    connect(CTBPanel, &TTitleStrip::closeClicked, this, &QWidget::close);
    connect(CTBPanel, &TTitleStrip::minimiseClicked, this, &QWidget::showMinimized);
    connect(CTBPanel, &TTitleStrip::maximiseClicked, this, &TForm1::toggleMaximised);
    connect(LabelLastCircuit, &QPushButton::clicked, this, &TForm1::butLastCircuitClick);
    connect(library_, &TLibraryPage::openSolver, this,
            [this](int code, const QString& name) { LoadFormSolver(code, name); });
}

QWidget* TForm1::buildIntroPage() {
    AdvPanelIntro = new QWidget;
    AdvPanelIntro->setObjectName(QStringLiteral("AdvPanelIntro"));
    auto* layout = new QVBoxLayout(AdvPanelIntro);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    TopPanelIntro = new TPageBar(QStringLiteral("Solvers for electron tubes"));
    TopPanelIntro->setObjectName(QStringLiteral("TopPanelIntro"));
    TopPanelIntro->row()->addStretch(1);
    layout->addWidget(TopPanelIntro);
    MemoInfo = new TDisplayMiniHTML;
    MemoInfo->setObjectName(QStringLiteral("MemoInfo"));
    MemoInfo->setFont(uiFont(10));
    MemoInfo->setLineWrapMode(QTextEdit::WidgetWidth);
    MemoInfo->setFrameShape(QFrame::NoFrame);
    MemoInfo->document()->setDocumentMargin(16);
    layout->addWidget(MemoInfo, 1);
    return AdvPanelIntro;
}

void TForm1::buildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("PopupMenu"));
    auto item = [this](const char* name, const QString& caption, auto handler) {
        QAction* action = menu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item("menuIntro", QStringLiteral("Welcome screen"), [this] { menuIntroClick(1); })->setData(1);
    menu_->addSeparator();
    item("menuLibrary", QStringLiteral("Libray of solvers"), [this] { menuIntroClick(2); })->setData(2);
    item("menuAnode", QStringLiteral("Anode curves"), [this] { menuIntroClick(4); })->setData(4);
    item("menuMytriodes", QStringLiteral("Tube models"), [this] { menuIntroClick(5); })->setData(5);
    menu_->addSeparator();
    item("menuUserManual", QStringLiteral("User Manual"), [this] { menuUserManualClick(); });
    item("menuUsage", QStringLiteral("Stats of worldwide usage"), [this] { menuIntroClick(3); })->setData(3);
    menu_->addSeparator();
    item("menuAbout", QStringLiteral("About"), [this] { menuAboutClick(); });
    item("menuWeb", QStringLiteral("Web site"), [this] { menuWebClick(); });
    item("menuEmail", QStringLiteral("E-mail"), [this] { menuEmailClick(); });
    // Dark and light modes: listed, hidden, and without action.
    item("menuModeDark", QStringLiteral("Set dark mode"), [] {})->setVisible(false);
    item("menuModeLight", QStringLiteral("Set light mode"), [] {})->setVisible(false);
}

void TForm1::setCompanionWindows(QWidget* curves, QWidget* models) {
    curves_ = curves;
    models_ = models;
}

QWidget* TForm1::currentPage() const {
    return pages_->currentWidget();
}

void TForm1::menuIntroClick(int tag) {
    auto bringUp = [](QWidget* w) {
        if (!w)
            return;
        w->show();
        w->raise();
        w->activateWindow();
    };
    switch (tag) {
    case 1:
        pages_->setCurrentWidget(AdvPanelIntro);
        break;
    case 2:
        pages_->setCurrentWidget(library_);
        break;
    case 3:
        pages_->setCurrentWidget(usage_);
        usage_->ProcessDatalog();
        break;
    case 4:
        bringUp(curves_);
        break;
    case 5:
        bringUp(models_);
        break;
    default:
        return;
    }
    // The last-circuit link stands on the welcome page's bar, or on the library's.
    TPageBar* bar = tag == 1 ? TopPanelIntro : library_->bar();
    if (LabelLastCircuit->parentWidget() != bar) {
        const bool shown = lastCircuit_ > 0;
        bar->row()->insertWidget(0, LabelLastCircuit);
        LabelLastCircuit->setVisible(shown);
    }
}

void TForm1::butMenu1Click(int tag) {
    switch (tag) {
    case 1:
        menuIntroClick(5);
        break;
    case 2:
        menuIntroClick(4);
        break;
    case 3:
        menuIntroClick(2);
        break;
    default:
        break;
    }
}

TFormSolver* TForm1::LoadFormSolver(int requestCode, const QString& configName) {
    if (requestCode <= 0)
        return nullptr;
    const int circuit = requestCode % 1024;
    const long long id = requestCode / 1024;
    if (circuit < 1 || circuit > kCircuitCount)
        return nullptr;
    auto* window = new TFormSolver(circuit);
    connect(window, &TFormSolver::solved, this, [this](int n) {
        if (telemetry_)
            telemetry_->logSolve(n);
        SetLastCircuit(n);
    });
    window->show();
    if (id > 0) {
        QString name = configName;
        bool found = !name.isEmpty();
        if (!found)
            guarded(this, [&] {
                for (const TCircuitConfig& c : getCircuitConfigs(configCode(circuit)))
                    if (c.id == id && !found) {
                        name = QString::fromStdString(c.name);
                        found = true;
                    }
            });
        if (found)
            window->applyConfiguration(id, name);
    } else if (configName == QString::fromUtf8(kExampleConfigName)) {
        // The library's built-in node: the example, whatever the window restored.
        window->applyExample();
    }
    return window;
}

void TForm1::SetLastCircuit(int circuit) {
    if (circuit < 1 || circuit > kCircuitCount) {
        lastCircuit_ = 0;
        LabelLastCircuit->setText(QString());
        LabelLastCircuit->hide();
        return;
    }
    lastCircuit_ = circuit;
    LabelLastCircuit->setProperty("tag", circuit);
    LabelLastCircuit->setText(QStringLiteral("C%1 %2").arg(circuit).arg(
        QString::fromStdString(Titres()[static_cast<std::size_t>(circuit)])));
    LabelLastCircuit->show();
}

void TForm1::butLastCircuitClick() {
    if (lastCircuit_ > 0)
        LoadFormSolver(lastCircuit_);
}

void TForm1::menuUserManualClick() {
    const QString manual = QString::fromStdString(dataFilePath(kUserManualFile));
    // The desktop's viewer opens it; a missing file is said here, since a desktop may say nothing.
    if (!QFileInfo::exists(manual)) {
        showError(this, QStringLiteral("Cannot find the user manual %1").arg(manual));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(manual));
}

void TForm1::menuAboutClick() {
    const VersionRecord v = versionRecord();
    showInformation(this, QStringLiteral("\n\n%1\n\nby %2\n\nSoftware %3 version %4\n\n")
                              .arg(v.FileDescription, v.LegalCopyright, v.ProductName, v.FileVersion));
}

void TForm1::menuWebClick() {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(IPD.webSite())));
}

void TForm1::menuEmailClick() {
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + QString::fromStdString(IPD.emailAddress())));
}

void TForm1::toggleMaximised() {
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TForm1::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        CTBPanel->setMaximised(isMaximized());
        // The resizing frame only while the window can be resized.
        const int m = isMaximized() || isFullScreen() ? 0 : kResizeMargin;
        layout()->setContentsMargins(m, m, m, m);
    }
    QWidget::changeEvent(event);
}

void TForm1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0xFA, 0xFA, 0xFA));
    if (isMaximized() || isFullScreen())
        return;
    // A grey frame, and the black line along the top edge of a window in its normal state.
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(Qt::black);
    p.drawLine(0, 0, width() - 1, 0);
}

Qt::Edges TForm1::edgesAt(QPoint pos) const {
    Qt::Edges edges;
    if (isMaximized() || isFullScreen())
        return edges;
    if (pos.x() < kResizeMargin)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - kResizeMargin)
        edges |= Qt::RightEdge;
    if (pos.y() < kResizeMargin)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - kResizeMargin)
        edges |= Qt::BottomEdge;
    return edges;
}

void TForm1::mouseMoveEvent(QMouseEvent* event) {
    const Qt::Edges e = edgesAt(event->position().toPoint());
    if ((e & Qt::LeftEdge && e & Qt::TopEdge) || (e & Qt::RightEdge && e & Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if ((e & Qt::RightEdge && e & Qt::TopEdge) || (e & Qt::LeftEdge && e & Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (e & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (e & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && edges && windowHandle()) {
        windowHandle()->startSystemResize(edges);
        return;
    }
    QWidget::mousePressEvent(event);
}
