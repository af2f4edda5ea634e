// TUsagePage (AdvPanelUsage): the usage statistics page of the main window. It asks the telemetry client
// for the statistics and shows them, or the text saying why there are none (no server set, switched off,
// or the fetch failed), in the display REU.
#pragma once

#include <QWidget>

class Telemetry;
class TDisplayMiniHTML;
class TPageBar;

class TUsagePage : public QWidget {
    Q_OBJECT
public:
    // telemetry may be null: the page then says that no usage server is set.
    explicit TUsagePage(Telemetry* telemetry, QWidget* parent = nullptr);

    TPageBar* bar() const { return bar_; }
    TDisplayMiniHTML* display() const { return REU; }
    // ProcessDatalog: asks for the statistics; the page fills when they come (never blocks).
    void ProcessDatalog();
    bool waiting() const { return waiting_; }

signals:
    // The page was filled, with the statistics (true) or with the text saying why there are none.
    void filled(bool statistics);

private:
    void fill(const QString& markup, bool statistics);

    Telemetry* telemetry_;
    TPageBar* bar_;
    TDisplayMiniHTML* REU;
    bool waiting_ = false;
};
