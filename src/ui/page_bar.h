// TPageBar: the caption bar across the top of each page of the main window, with room for the page's
// own controls after the caption.
#pragma once

#include <QFrame>

class QHBoxLayout;
class QLabel;

class TPageBar : public QFrame {
    Q_OBJECT
public:
    explicit TPageBar(const QString& caption, QWidget* parent = nullptr);
    QLabel* captionLabel() const { return caption_; }
    // The row after the caption, where a page puts its controls.
    QHBoxLayout* row() const { return row_; }

private:
    QLabel* caption_;
    QHBoxLayout* row_;
};
