// Drawing and showing one picture control.
#include "ui/picture_view.h"

#include "plots/plot_style.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

TPictureView::TPictureView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TPictureView::setPainter(Painter painter) {
    painter_ = std::move(painter);
    drawnFor_ = QSize();
    redraw();
}

void TPictureView::clearPicture() {
    painter_ = nullptr;
    image_ = QImage();
    drawnFor_ = QSize();
    update();
}

int TPictureView::pictureWidth() const {
    if (image_.isNull())
        return 0;
    return static_cast<int>(std::ceil(image_.width() / image_.devicePixelRatio()));
}

void TPictureView::redraw() {
    if (!painter_ || width() < 1 || height() < 1) {
        update();
        return;
    }
    const PlotDeviceRatio ratio(devicePixelRatioF());
    image_ = painter_(size(), 1.0);
    drawnFor_ = size();
    update();
    emit redrawn();
}

void TPictureView::paintEvent(QPaintEvent*) {
    if (painter_ && drawnFor_ != size())
        redraw();
    if (image_.isNull())
        return;
    QPainter p(this);
    p.drawImage(QPointF(0, 0), image_);
}

void TPictureView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (painter_ && event->size() != drawnFor_)
        redraw();
}
