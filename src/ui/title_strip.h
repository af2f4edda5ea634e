// TTitleStrip (CTBPanel): the main window's own title strip. The window has no system caption: the strip
// shows the icon, the name and version, the three page buttons, the menu image and the window buttons,
// and dragging it moves the window through the platform.
#pragma once

#include "plots/title_bar_glyphs.h"

#include <QFrame>
#include <QIcon>

class QLabel;
class QPushButton;
class QToolButton;
class TDisplayMiniHTML;

// The strip's glyph as an icon sharp at 100 % and 200 %.
QIcon titleGlyphIcon(TitleGlyph glyph, int side, QColor colour);

class TTitleStrip : public QFrame {
    Q_OBJECT
public:
    explicit TTitleStrip(QWidget* parent = nullptr);

    void setIcon(const QImage& icon);
    // DisplayMiniHTMLTop: the application name text in bold, the product version in grey below it.
    void setNameAndVersion(const QString& name, const QString& version);
    // The maximise button shows "restore" while the window is maximised.
    void setMaximised(bool maximised);
    QToolButton* menuImage() const { return ImageMenu; }

signals:
    // AdvGlassButton1 "Models" (1), AdvGlassButton2 "Curves" (2), AdvGlassButton3 "Library" (3).
    void pageButtonClicked(int tag);
    // The mouse entered the menu image, or it was clicked: the menu opens at this global point.
    void menuRequested(QPoint globalLowerLeft);
    void closeClicked();
    void minimiseClicked();
    void maximiseClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* windowButton(const char* name, TitleGlyph glyph, const QString& tip);
    void requestMenu();

    QLabel* Image1 = nullptr;
    TDisplayMiniHTML* DisplayMiniHTMLTop = nullptr;
    QToolButton* ImageMenu = nullptr;
    QToolButton* ImageMinimize = nullptr;
    QToolButton* ImageMaximize = nullptr;
    QToolButton* ImageShutdown = nullptr;
};
