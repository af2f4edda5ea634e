// The buttons of a solver window: the split strip, configurations, sheet options, copy buttons,
// and Enter anywhere as "Solve [Ent]".
#include "ui/form_solver.h"

#include "storage/builtin_configs.h"
#include "storage/configurations.h"
#include "ui/bode_tab.h"
#include "ui/config_dialog.h"
#include "ui/log_grid.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/options_dialog.h"
#include "ui/picture_view.h"
#include "ui/sheet_frame.h"
#include "ui/wave_tab.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kFlashMilliseconds = 192;

QImage pictureOf(TPictureView* view) {
    return view->image().isNull() ? view->grab().toImage() : view->image();
}
} // namespace

void TFormSolver::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ButtonSolver->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFormSolver::eventFilter(QObject* watched, QEvent* event) {
    if (watched == LabelSplit && event->type() == QEvent::MouseButtonRelease) {
        LabelSplitClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormSolver::LabelSplitClick() {
    if (PanelParams->width() >= panelMaxWidth_) {
        PanelParams->setFixedWidth(kCollapsedPanelWidth);
        LabelSplit->setText(QStringLiteral("\u00bb\n\u00bb\n\u00bb"));
    } else {
        PanelParams->setFixedWidth(panelMaxWidth_);
        LabelSplit->setText(QStringLiteral("\u00ab\n\u00ab\n\u00ab"));
    }
}

void TFormSolver::butSchemaLoadClick(int mode) {
    TFormConfigSchema dialog(this, frame_, mode < 0 ? TFormConfigSchema::Load : TFormConfigSchema::Save,
                             ContainerSchema->title());
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (ok) {
        ContainerSchema->setTitle(dialog.configName());
        LabelCustom->setText(dialog.configName());
    }
    if ((ok && mode > 0) || dialog.deletedSome())
        refreshConfigCount();
}

bool TFormSolver::applyConfiguration(long long id, const QString& name) {
    Sheet sheet = frame_->sheet();
    if (!guarded(this, [&] { applyKeyVals(sheet, getKeyVal(id)); }))
        return false;
    frame_->setSheet(sheet);
    ContainerSchema->setTitle(name);
    LabelCustom->setText(name);
    return true;
}

bool TFormSolver::applyExample() {
    const ExamplesRead read = readExamples();
    const CircuitExample* example = read.ok ? read.set.find(Tag) : nullptr;
    if (!example)
        return false;
    Sheet sheet = frame_->sheet();
    applyKeyVals(sheet, exampleKeyVals(*example));
    frame_->setSheet(sheet);
    ContainerSchema->setTitle(QString::fromUtf8(kExampleConfigName));
    LabelCustom->setText(QString::fromUtf8(kExampleConfigName));
    return true;
}

void TFormSolver::butOptionsClick() {
    TFormSolverOptions dialog(readSheetCosmetics(IniPosDim), this);
    dialog.adjustSize();
    dialog.move(frameGeometry().center() - QPoint(dialog.width() / 2, dialog.height() / 2));
    if (dialog.exec() != QDialog::Accepted)
        return;
    writeSheetCosmetics(dialog.choices(), IniPosDim);
    applyCosmetics();
}

void TFormSolver::butClipBrdClick(QToolButton* button) {
    ImageFlash->show();
    button->hide();
    copyToClipboard(button->property("tag").toInt());
    QPointer<QToolButton> pressed(button);
    QPointer<QLabel> flash(ImageFlash);
    QTimer::singleShot(kFlashMilliseconds, this, [pressed, flash] {
        if (flash)
            flash->hide();
        if (pressed)
            pressed->show();
    });
}

void TFormSolver::copyToClipboard(int tag) {
    QClipboard* clipboard = QApplication::clipboard();
    switch (tag) {
    case 1:
        clipboard->setImage(ContainerSchema->grab().toImage());
        break;
    case 2:
        clipboard->setImage(SBLL->grab().toImage());
        break;
    case 3:
        clipboard->setImage(pictureOf(ImgBar));
        break;
    case 4:
        clipboard->setText(DMHDC->toPlainText());
        break;
    case 5:
        clipboard->setText(DMHAC->toPlainText());
        break;
    case 6:
        clipboard->setText(VSTL->clipboardText());
        break;
    case 7:
        clipboard->setImage(pictureOf(Bode->picture()));
        break;
    case 8:
        clipboard->setImage(pictureOf(Wave->picture()));
        break;
    case 9:
        clipboard->setImage(pictureOf(ImagePower));
        break;
    case 10:
        clipboard->setImage(pictureOf(IMLL));
        break;
    default:
        break;
    }
}
