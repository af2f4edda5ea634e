// The page caption bar: a light gradient, the caption in bold, the page's controls after it.
#include "ui/page_bar.h"

#include "ui/ui_fonts.h"

#include <QHBoxLayout>
#include <QLabel>

TPageBar::TPageBar(const QString& caption, QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PageBar"));
    setStyleSheet(QStringLiteral("TPageBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                 "stop:0 #f4f6f9, stop:1 #dde3ea); border-bottom: 1px solid #b9c2cc; }"));
    setMinimumHeight(34);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 3, 8, 3);
    layout->setSpacing(8);
    caption_ = new QLabel(caption);
    caption_->setFont(uiFont(11, true));
    caption_->setStyleSheet(QStringLiteral("color: #303a48; background: transparent;"));
    layout->addWidget(caption_);
    row_ = new QHBoxLayout;
    row_->setSpacing(6);
    layout->addLayout(row_, 1);
}
