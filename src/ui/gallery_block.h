// TFrameLib: one block of the library's gallery: the group box "#C<n>" with the circuit's thumbnail and
// its title. Hovering the thumbnail asks for the circuit's description, clicking it for a solver window.
#pragma once

#include <QFrame>
#include <QImage>

class QGroupBox;
class QLabel;

class TFrameLib : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 220;

    // Block n ("bfl<n>", tag n) with its thumbnail (drawn for the scale its resolution says) and title.
    TFrameLib(int n, const QImage& thumbnail, const QString& title, QWidget* parent = nullptr);
    int tag() const { return tag_; }

signals:
    void hovered(int circuit); // the mouse entered the thumbnail
    void clicked(int circuit); // the thumbnail was clicked

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int tag_;
    QGroupBox* AGB;
    QLabel* ImageSchema;
    QLabel* LabelTitre;
};
