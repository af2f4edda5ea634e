// TCollapsiblePanel: a panel laid over a picture, reduced to its caption bar or opened to show its
// content; a click on the caption toggles it.
#pragma once

#include <QFrame>

class QToolButton;

class TCollapsiblePanel : public QFrame {
    Q_OBJECT
public:
    TCollapsiblePanel(const QString& caption, QWidget* content, QWidget* parent);

    bool isExpanded() const { return expanded_; }
    void setExpanded(bool expanded);
    // Largest size the open panel may take (the room over the picture).
    void setRoom(QSize room);
    // The height the open panel asks for; by default the content's size hint.
    void setWantedHeight(int height) { wantedHeight_ = height; }

    QWidget* content() const { return content_; }

signals:
    void toggled(bool expanded);

private:
    void fit();

    QToolButton* caption_;
    QWidget* content_;
    bool expanded_ = false;
    QSize room_{10000, 10000};
    int wantedHeight_ = 0;
};
