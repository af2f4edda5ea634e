// Opening and closing an overlaid panel.
#include "ui/collapsible_panel.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

TCollapsiblePanel::TCollapsiblePanel(const QString& caption, QWidget* content, QWidget* parent)
    : QFrame(parent), caption_(new QToolButton(this)), content_(content) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    caption_->setText(caption);
    caption_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    caption_->setArrowType(Qt::RightArrow);
    caption_->setAutoRaise(true);
    caption_->setObjectName(QStringLiteral("caption"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(caption_);
    layout->addWidget(content_);
    connect(caption_, &QToolButton::clicked, this, [this] { setExpanded(!expanded_); });
    content_->hide();
    fit();
}

void TCollapsiblePanel::setExpanded(bool expanded) {
    if (expanded == expanded_)
        return;
    expanded_ = expanded;
    caption_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    content_->setVisible(expanded);
    fit();
    if (expanded)
        raise();
    emit toggled(expanded);
}

void TCollapsiblePanel::setRoom(QSize room) {
    room_ = room;
    fit();
}

void TCollapsiblePanel::fit() {
    const QMargins m = layout()->contentsMargins();
    const QSize bar = caption_->sizeHint();
    QSize size(bar.width() + m.left() + m.right() + 2 * frameWidth(),
               bar.height() + m.top() + m.bottom() + 2 * frameWidth());
    if (expanded_) {
        const QSize inner = content_->sizeHint().expandedTo(content_->minimumSize());
        const int height = wantedHeight_ > 0 ? wantedHeight_ : inner.height();
        size = QSize(std::max(size.width(), inner.width() + m.left() + m.right() + 2 * frameWidth()),
                     size.height() + layout()->spacing() + height);
    }
    resize(size.boundedTo(room_).expandedTo(QSize(20, 10)));
}
