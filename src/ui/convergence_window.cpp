// A convergence trace window.
#include "ui/convergence_window.h"

#include "plots/convergence_plot.h"
#include "ui/picture_view.h"

#include <QVBoxLayout>

TConvergenceWindow::TConvergenceWindow(const TFormConvergence& trace, QWidget* owner)
    : QWidget(owner, Qt::Tool), trace_(trace) {
    setWindowTitle(QString::fromStdString(trace_.caption));
    setAttribute(Qt::WA_DeleteOnClose);
    picture_ = new TPictureView(this);
    picture_->setObjectName(QStringLiteral("Image"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture_);
    setMinimumSize(300, 111);
    resize(384, 111);
    const TFormConvergence* data = &trace_;
    picture_->setPainter([data](QSize size, double scale) { return drawConvergence(*data, size, scale); });
}
