// The usage page: fetch, then render the answer with the page's classes "h1" and "rou".
#include "ui/usage_page.h"

#include "markup/css_classes.h"
#include "telemetry/telemetry.h"
#include "telemetry/usage_page_text.h"
#include "ui/markup_display.h"
#include "ui/page_bar.h"
#include "ui/ui_fonts.h"

#include <QVBoxLayout>

TUsagePage::TUsagePage(Telemetry* telemetry, QWidget* parent) : QWidget(parent), telemetry_(telemetry) {
    setObjectName(QStringLiteral("AdvPanelUsage"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    bar_ = new TPageBar(QStringLiteral("Usage"));
    bar_->setObjectName(QStringLiteral("TopPanelUsage"));
    layout->addWidget(bar_);
    REU = new TDisplayMiniHTML;
    REU->setObjectName(QStringLiteral("REU"));
    REU->setFont(uiFont(10));
    REU->setLineWrapMode(QTextEdit::WidgetWidth);
    REU->setFrameShape(QFrame::NoFrame);
    REU->document()->setDocumentMargin(14);
    layout->addWidget(REU, 1);

    if (telemetry_) {
        connect(telemetry_, &Telemetry::statisticsReady, this,
                [this](const QString& page) { fill(page, true); });
        connect(telemetry_, &Telemetry::statisticsFailed, this,
                [this](const QString& why) { fill(why, false); });
    }
}

void TUsagePage::ProcessDatalog() {
    if (!telemetry_) {
        fill(usagePageHelp(UsageServerState::NotSet, QString()), false);
        return;
    }
    // While an earlier fetch is under way its answer is the one shown.
    if (!telemetry_->fetchStatistics())
        return;
    waiting_ = true;
    REU->clearDisplay();
    REU->setClassesCSS(classesFor(MarkupDisplay::UsageStatistics));
    REU->AddString("<color=808080>Fetching the usage statistics...</color>");
    REU->viewport()->setCursor(Qt::BusyCursor);
}

void TUsagePage::fill(const QString& markup, bool statistics) {
    waiting_ = false;
    REU->viewport()->setCursor(Qt::IBeamCursor);
    REU->setUpdatesEnabled(false);
    REU->clearDisplay();
    // The classes are defined anew for each fill.
    REU->setClassesCSS(classesFor(MarkupDisplay::UsageStatistics));
    REU->AddString(markup.toStdString());
    REU->setUpdatesEnabled(true);
    emit filled(statistics);
}
