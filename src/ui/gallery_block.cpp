// A gallery block: the thumbnail shown at its logical size, sharp at the screen's scale.
#include "ui/gallery_block.h"

#include "plots/schematic_thumbnail.h"
#include "ui/ui_fonts.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

TFrameLib::TFrameLib(int n, const QImage& thumbnail, const QString& title, QWidget* parent)
    : QFrame(parent), tag_(n) {
    setObjectName(QStringLiteral("bfl%1").arg(n));
    setProperty("tag", n);
    setFixedWidth(kWidth);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    AGB = new QGroupBox(QStringLiteral("#C%1").arg(n));
    AGB->setObjectName(QStringLiteral("AGB"));
    AGB->setFont(uiFont(9, true));
    auto* layout = new QVBoxLayout(AGB);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);

    ImageSchema = new QLabel;
    ImageSchema->setObjectName(QStringLiteral("ImageSchema"));
    ImageSchema->setProperty("tag", n);
    ImageSchema->setToolTip(QStringLiteral("Click to open the solver window"));
    ImageSchema->setCursor(Qt::PointingHandCursor);
    ImageSchema->setAlignment(Qt::AlignCenter);
    ImageSchema->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #c8c8c8; background: white; }"));
    if (!thumbnail.isNull()) {
        // Shown at the size it was drawn for, resampled once for this screen's scale.
        const double drawnFor = pictureScale(thumbnail);
        const QSize logical(qRound(thumbnail.width() / drawnFor), qRound(thumbnail.height() / drawnFor));
        const double screen = devicePixelRatioF();
        QPixmap pixmap = QPixmap::fromImage(
            thumbnail.scaled(logical * screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(screen);
        ImageSchema->setPixmap(pixmap);
        ImageSchema->setFixedSize(logical + QSize(2, 2));
    }
    ImageSchema->installEventFilter(this);
    layout->addWidget(ImageSchema, 0, Qt::AlignHCenter);

    LabelTitre = new QLabel(title);
    LabelTitre->setObjectName(QStringLiteral("LabelTitre"));
    LabelTitre->setFont(uiFont(9));
    LabelTitre->setWordWrap(true);
    LabelTitre->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    LabelTitre->setMinimumHeight(LabelTitre->fontMetrics().lineSpacing() * 2);
    layout->addWidget(LabelTitre);
    layout->addStretch(1);
    outer->addWidget(AGB);
}

bool TFrameLib::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageSchema) {
        if (event->type() == QEvent::Enter)
            emit hovered(tag_);
        else if (event->type() == QEvent::MouseButtonRelease &&
                 static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                 ImageSchema->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
            emit clicked(tag_);
    }
    return QFrame::eventFilter(watched, event);
}
