// The anode-curves window at work: a drawing of the selected model, the read-out under a click, the
// "Compute Ia" panel, the copies to the clipboard and the refresh of the model list.
#include "ui/form_curves.h"

#include "plots/anode_plots.h"
#include "storage/model_database.h"
#include "telemetry/telemetry.h"
#include "ui/form_curves_table.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/picture_view.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <memory>

namespace {
// The hourglass for the length of a drawing, restored before any message box.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

std::string text(const QLineEdit* box) {
    return box->text().toStdString();
}

QString selectedName(const QListWidget* list) {
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}
} // namespace

void TFormCurves::LBtubeClick(bool userRequest) {
    const QString name = selectedName(LBtubes);
    if (name.isEmpty())
        return;
    TubeParams params;
    if (!guarded(this, [&] { params = loadTubeParams(name.toStdString()); }))
        return;
    if (params.t35 != 3 && params.t35 != 5) { // the row went away behind the list's back
        clearCharts();
        return;
    }
    BusyCursor busy;
    TTube tube(params, "T1");
    const bool pentode = params.t35 == 5;
    vsRow_->setVisible(pentode);
    vskLabel_->setVisible(pentode);
    EdVsk->setVisible(pentode);
    setWindowTitle(QString::fromStdString(anodeWindowCaption(params.name)));
    PageControl->setCurrentWidget(TabSheet1);
    const double Vg2 = drawingScreenVoltage(text(EdVs), separator_.toLatin1());
    panelCaption_->setText(QString::fromStdString(computePanelCaption(tube, Vg2)));
    drawn_ = params;
    EdVakKeyUp();

    const bool transfer = RGparm->checkedId() == 1;
    anode_ = transfer ? computeTransferCharacteristics(tube, Vg2) : computeAnodeCharacteristics(tube, Vg2);
    table_->setRows(anode_.rows);
    DMH->hide();
    ImageAnode->setPainter([chart = std::make_shared<const AnodeChart>(anode_)](QSize size, double scale) {
        return drawAnodeChart(*chart, size, scale);
    });
    multi_ = computeMultiChart(tube, Vg2);
    ImageMulti->setPainter([chart = std::make_shared<const MultiChart>(multi_)](QSize size, double scale) {
        return drawMultiChart(*chart, size, scale);
    });

    if (userRequest && telemetry_)
        telemetry_->logCurveDrawing(Telemetry::DrawCause::UserRequest);
    butSpecify->show();
    TabSheet1Show();
}

void TFormCurves::clearCharts() {
    drawn_.reset();
    anode_ = AnodeChart();
    multi_ = MultiChart();
    table_->setRows({});
    ImageAnode->clearPicture();
    ImageMulti->clearPicture();
    DMH->hide();
    AdvPanel1->hide();
    butSpecify->hide();
    LabelResult->clear();
    setWindowTitle(QStringLiteral("Tubes curves"));
}

void TFormCurves::EdVsKeyUp() {
    if (screenVoltageRedraws(text(EdVs), separator_.toLatin1()))
        LBtubeClick(true);
}

void TFormCurves::ImageAnodeMouseUp(const QPoint& at) {
    if (!drawn_)
        return;
    const auto click = anodeChartClick(at.x(), at.y(), ImageAnode->width(), ImageAnode->height(),
                                       anode_.transfer, anode_.Iamax, anode_.Vamax, anode_.Vgmin);
    if (!click) {
        DMH->hide();
        return;
    }
    // The read-out belongs to the chart on screen: its model and the screen voltage it was drawn at.
    TTube tube(*drawn_, "T1");
    const InstantReadout readout = displayInstant(tube, anode_.transfer, click->Ia, click->value, anode_.Vg2);
    DMH->clearDisplay();
    DMH->AddString(readout.text);
    QPalette palette = DMH->palette();
    palette.setColor(QPalette::Base, QColor::fromRgb(readout.colour));
    DMH->setPalette(palette);

    QTextDocument* document = DMH->document();
    document->adjustSize();
    const int margin = 2 * (DMH->frameWidth() + static_cast<int>(document->documentMargin())) + 4;
    const QSize size(static_cast<int>(document->idealWidth()) + margin,
                     static_cast<int>(document->size().height()) + margin);
    DMH->setFixedSize(size);
    // At the click, moved back inside the picture where it would stick out.
    const int x = std::max(0, std::min(at.x(), ImageAnode->width() - size.width()));
    const int y = std::max(0, std::min(at.y(), ImageAnode->height() - size.height()));
    DMH->move(x, y);
    DMH->show();
    DMH->raise();
}

void TFormCurves::EdVakKeyUp() {
    if (!drawn_) {
        LabelResult->clear();
        return;
    }
    TTube tube(*drawn_, "T1");
    LabelResult->setText(QString::fromStdString(
        typedVoltagesText(tube, text(EdVak), text(EdVgk), text(EdVsk), separator_.toLatin1())));
}

void TFormCurves::butSpecifyClick() {
    if (!drawn_)
        return;
    if (!panelPlaced_) {
        // First showing: over the top right corner of the chart.
        const QPoint corner = ImageAnode->mapTo(this, QPoint(ImageAnode->width(), 0));
        AdvPanel1->adjustSize();
        AdvPanel1->move(corner.x() - AdvPanel1->width() - 60, corner.y() + 60);
        panelPlaced_ = true;
    }
    AdvPanel1->show();
    AdvPanel1->raise();
    keepPanelInside();
    EdVak->setFocus();
}

void TFormCurves::keepPanelInside() {
    QPoint p = AdvPanel1->pos();
    if (p.x() < 0)
        p.setX(100);
    if (p.y() < 0)
        p.setY(100);
    if (p.x() + AdvPanel1->width() > width())
        p.setX(width() - AdvPanel1->width());
    if (p.y() + AdvPanel1->height() > height())
        p.setY(height() - AdvPanel1->height());
    AdvPanel1->move(p);
}

void TFormCurves::butCopyClipboardClick() {
    const TPictureView* view = PageControl->currentWidget() == TabSheet1   ? ImageAnode
                               : PageControl->currentWidget() == TabSheet2 ? ImageMulti
                                                                           : nullptr;
    if (view && view->hasPicture() && !view->image().isNull())
        QGuiApplication::clipboard()->setImage(view->image());
}

void TFormCurves::butCopyVSTClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(anodeTableText(table_->rows())));
}

void TFormCurves::TabSheet1Show() {
    butSpecify->setEnabled(PageControl->currentWidget() == TabSheet1);
}

void TFormCurves::refreshModelList(const QString& oldName, const QString& newName) {
    std::vector<std::string> names;
    if (!guarded(this, [&] { names = listModelNames(); }))
        return; // the list stays as it was
    const bool renamed = !oldName.isEmpty() && !newName.isEmpty();
    QString keep = selectedName(LBtubes);
    if (renamed && keep == oldName)
        keep = newName;
    {
        const QSignalBlocker block(LBtubes);
        LBtubes->clear();
        for (const std::string& name : names) {
            auto* item = new QListWidgetItem(QString::fromStdString(name), LBtubes);
            if (item->text() == keep)
                LBtubes->setCurrentItem(item);
        }
    }
    if (!drawn_)
        return;
    const QString drawn = drawnModel();
    const bool changed = !oldName.isEmpty() && drawn == oldName;
    const QString target = changed ? newName : drawn;
    const bool present =
        !target.isEmpty() && std::find(names.begin(), names.end(), target.toStdString()) != names.end();
    if (!present)
        clearCharts();
    else if (changed && selectedName(LBtubes) == target)
        LBtubeClick(false); // changed or renamed: drawn again, which is no request of the user
}
