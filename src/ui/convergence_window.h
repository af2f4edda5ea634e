// TConvergenceWindow: a small tool window of a solver window that shows the trace of one bias solve
// and names its result in the caption; it lives until the next solve of its solver window.
#pragma once

#include "model/convergence.h"

#include <QWidget>

class TPictureView;

class TConvergenceWindow : public QWidget {
    Q_OBJECT
public:
    // owner: the solver window (the convergence window closes with it).
    TConvergenceWindow(const TFormConvergence& trace, QWidget* owner);

    const TFormConvergence& trace() const { return trace_; }
    TPictureView* picture() const { return picture_; }

private:
    TFormConvergence trace_;
    TPictureView* picture_;
};
