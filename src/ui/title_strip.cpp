// The title strip's widgets and the system move of the frameless window.
#include "ui/title_strip.h"

#include "markup/css_classes.h"
#include "ui/markup_display.h"
#include "ui/ui_fonts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>

#include <cmath>

namespace {
const QColor kGlyphColour(0x40, 0x40, 0x40);
constexpr int kButtonGlyph = 24;
} // namespace

QIcon titleGlyphIcon(TitleGlyph glyph, int side, QColor colour) {
    QIcon icon;
    for (double scale : {1.0, 1.5, 2.0, 3.0})
        icon.addPixmap(QPixmap::fromImage(drawTitleGlyph(glyph, side, scale, colour)));
    return icon;
}

TTitleStrip::TTitleStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("CTBPanel"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xFA, 0xFA, 0xFA));
    setPalette(pal);
    setFixedHeight(48);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 2, 2);
    row->setSpacing(6);

    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(32, 32);
    row->addWidget(Image1);

    DisplayMiniHTMLTop = new TDisplayMiniHTML;
    DisplayMiniHTMLTop->setObjectName(QStringLiteral("DisplayMiniHTMLTop"));
    DisplayMiniHTMLTop->setFrameShape(QFrame::NoFrame);
    DisplayMiniHTMLTop->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DisplayMiniHTMLTop->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DisplayMiniHTMLTop->setTextInteractionFlags(Qt::NoTextInteraction);
    DisplayMiniHTMLTop->setFocusPolicy(Qt::NoFocus);
    DisplayMiniHTMLTop->viewport()->setCursor(Qt::ArrowCursor);
    DisplayMiniHTMLTop->setAttribute(Qt::WA_TransparentForMouseEvents); // presses move the window
    DisplayMiniHTMLTop->setFont(uiFont(9));
    DisplayMiniHTMLTop->document()->setDocumentMargin(1);
    DisplayMiniHTMLTop->setFixedSize(150, 40);
    QPalette textPal = DisplayMiniHTMLTop->palette();
    textPal.setColor(QPalette::Base, QColor(0xFA, 0xFA, 0xFA));
    DisplayMiniHTMLTop->setPalette(textPal);
    row->addWidget(DisplayMiniHTMLTop);
    row->addSpacing(12);

    const struct {
        const char* name;
        const char* caption;
        int tag;
    } pages[] = {{"AdvGlassButton3", "Library", 3},
                 {"AdvGlassButton1", "Models", 1},
                 {"AdvGlassButton2", "Curves", 2}};
    for (const auto& page : pages) {
        auto* button = new QPushButton(QString::fromLatin1(page.caption));
        button->setObjectName(QString::fromLatin1(page.name));
        button->setProperty("tag", page.tag);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFont(uiFont(9, true));
        button->setMinimumWidth(84);
        button->setStyleSheet(QStringLiteral(
            "QPushButton { border: 1px solid #c4cad2; border-radius: 4px; padding: 4px 12px; "
            "background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e6eaef); }"
            "QPushButton:hover { background: #dfe9f5; border-color: #7ea4cf; }"
            "QPushButton:pressed { background: #c9dbef; }"));
        const int tag = page.tag;
        connect(button, &QPushButton::clicked, this, [this, tag] { emit pageButtonClicked(tag); });
        row->addWidget(button);
    }
    row->addStretch(1);

    ImageMenu = windowButton("ImageMenu", TitleGlyph::Menu, QStringLiteral("Menu"));
    ImageMenu->installEventFilter(this);
    connect(ImageMenu, &QToolButton::clicked, this, &TTitleStrip::requestMenu);
    row->addWidget(ImageMenu);
    row->addSpacing(10);
    ImageMinimize = windowButton("ImageMinimize", TitleGlyph::Minimise, QStringLiteral("Minimise"));
    ImageMaximize = windowButton("ImageMaximize", TitleGlyph::Maximise, QStringLiteral("Maximise"));
    ImageShutdown = windowButton("ImageShutdown", TitleGlyph::Close, QStringLiteral("Close"));
    ImageShutdown->setStyleSheet(QStringLiteral("QToolButton:hover { background: #e81123; }"));
    for (QToolButton* b : {ImageMinimize, ImageMaximize, ImageShutdown})
        row->addWidget(b);
    connect(ImageMinimize, &QToolButton::clicked, this, &TTitleStrip::minimiseClicked);
    connect(ImageMaximize, &QToolButton::clicked, this, &TTitleStrip::maximiseClicked);
    connect(ImageShutdown, &QToolButton::clicked, this, &TTitleStrip::closeClicked);
}

QToolButton* TTitleStrip::windowButton(const char* name, TitleGlyph glyph, const QString& tip) {
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tip);
    button->setIcon(titleGlyphIcon(glyph, kButtonGlyph, kGlyphColour));
    button->setIconSize(QSize(kButtonGlyph, kButtonGlyph));
    button->setFixedSize(44, 40);
    return button;
}

void TTitleStrip::setIcon(const QImage& icon) {
    if (icon.isNull()) {
        Image1->clear();
        return;
    }
    const double scale = devicePixelRatioF();
    QPixmap pixmap =
        QPixmap::fromImage(icon.scaled(QSize(32, 32) * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(scale);
    Image1->setPixmap(pixmap);
}

void TTitleStrip::setNameAndVersion(const QString& name, const QString& version) {
    DisplayMiniHTMLTop->clearDisplay();
    DisplayMiniHTMLTop->AddString(
        QStringLiteral("<b>%1</b>\r\n<color=909090>%2</color>").arg(name, version).toStdString());
}

void TTitleStrip::setMaximised(bool maximised) {
    ImageMaximize->setIcon(
        titleGlyphIcon(maximised ? TitleGlyph::Restore : TitleGlyph::Maximise, kButtonGlyph, kGlyphColour));
    ImageMaximize->setToolTip(maximised ? QStringLiteral("Restore") : QStringLiteral("Maximise"));
}

void TTitleStrip::requestMenu() {
    emit menuRequested(ImageMenu->mapToGlobal(QPoint(0, ImageMenu->height())));
}

bool TTitleStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageMenu && event->type() == QEvent::Enter)
        requestMenu();
    return QFrame::eventFilter(watched, event);
}

void TTitleStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow* handle = window()->windowHandle())
            handle->startSystemMove();
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void TTitleStrip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit maximiseClicked();
}
