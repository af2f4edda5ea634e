// TPictureView: a picture control whose picture is drawn by a function of the plots layer at the
// control's own size, as sharp as the screen (see PlotDeviceRatio), and drawn again whenever the
// control is resized.
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class TPictureView : public QWidget {
    Q_OBJECT
public:
    // Draws the picture for a canvas of that size in logical pixels, with fonts at that scale of
    // their 96 dpi size (the view passes 1: the screen's density comes through PlotDeviceRatio).
    using Painter = std::function<QImage(QSize size, double scale)>;

    explicit TPictureView(QWidget* parent = nullptr);

    // Draws with the painter now, and again at each resize.
    void setPainter(Painter painter);
    // Forgets the painter: the control shows the window colour.
    void clearPicture();
    bool hasPicture() const { return static_cast<bool>(painter_); }

    // The picture as last drawn, in device pixels with its device pixel ratio set; null when none.
    const QImage& image() const { return image_; }
    // Width in logical pixels of the picture as drawn (pictures wider or narrower than the control).
    int pictureWidth() const;

signals:
    // After each drawing of a picture.
    void redrawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void redraw();

    Painter painter_;
    QImage image_;
    QSize drawnFor_;
};
