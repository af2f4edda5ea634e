// TFormTools: the "Basic tools" window, one per program, shown without blocking the solver windows:
// a resistive divider and the corner frequency of an RC pair.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollBar;
class TPictureView;

class TFormTools : public QWidget {
    Q_OBJECT
public:
    // The window of the program, created on first use and centred on the window that asks first.
    static TFormTools* instance(QWidget* near = nullptr);
    // Shows and raises it.
    static void showTools(QWidget* near);

private:
    TFormTools();
    void EdV1KeyUp();
    void ScrollBar1Change();
    void LEDRChange();

    QLineEdit* EdV1;
    QLineEdit* EdR12;
    QScrollBar* ScrollBar1;
    QLabel* LabV2;
    QLabel* Lab1;
    QLabel* Lab2;
    QLineEdit* LEDR;
    QLineEdit* LEDC;
    QLabel* LabF;
    QLabel* LabTau;
    TPictureView* divider_;
};
