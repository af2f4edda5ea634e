// TSweepDialog: the solver window's "Sweep…" dialog. It steps one edit field of the window's sheet
// over a range, solves at each value with the shared sweep of the solver layer, and plots a chosen
// grid column against the swept value; a progress bar shows on a sweep that takes a while and can
// cancel it.
#pragma once

#include "circuits/sweep.h"
#include "solver/solve.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TPictureView;

class TSweepDialog : public QDialog {
    Q_OBJECT
public:
    // base: the request the window would solve now (its sheet, options and tube factory).
    explicit TSweepDialog(const SolveRequest& base, QWidget* parent = nullptr);

    // Runs the sweep the controls describe; a refused range shows its message and solves nothing.
    void run();
    const std::optional<SweepResult>& result() const { return result_; }
    TPictureView* picture() const { return picture_; }
    // The picture as drawn, for the clipboard.
    QImage pictureImage() const;

private:
    void fieldChosen();
    void replot();
    void showStatus(const QString& text, bool problem);

    SolveRequest base_;
    QComboBox* field_;
    QLineEdit* from_;
    QLineEdit* to_;
    QSpinBox* steps_;
    QCheckBox* log_;
    QComboBox* column_;
    QPushButton* run_;
    QPushButton* copy_;
    QLabel* status_;
    TPictureView* picture_;
    std::optional<SweepResult> result_;
};
