// A drawing in the anode-curves window as a click on the parameter switch runs it: the anode or
// transfer characteristics, the gm / rho / mu chart and the table of points computed, and both
// pictures painted at the size of their controls. A triode and a pentode, whose gm chart searches
// the most grid voltages.
#include "ui/form_curves.h"
#include "ui/picture_view.h"

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <benchmark/benchmark.h>

namespace {

void drawInWindow(benchmark::State& state, const char* model) {
    auto* w = new TFormCurves;
    w->resize(1100, 720);
    w->show();
    auto* list = w->findChild<QListWidget*>("LBtubes");
    list->setCurrentItem(list->findItems(model, Qt::MatchExactly).value(0));
    QApplication::processEvents();
    QRadioButton* switches[] = {w->findChild<QRadioButton*>("RGparmVak"),
                                w->findChild<QRadioButton*>("RGparmVgk")};
    int k = 0;
    for (auto _ : state) {
        switches[k++ % 2]->click();
        QApplication::processEvents();
    }
    state.counters["rows"] = static_cast<double>(w->anodeChart().rows.size());
    delete w;
}

} // namespace

static void BM_CurvesWindowDrawECC83(benchmark::State& state) {
    drawInWindow(state, "ECC83 / 12AX7");
}
BENCHMARK(BM_CurvesWindowDrawECC83)->Unit(benchmark::kMillisecond);

static void BM_CurvesWindowDrawEL34(benchmark::State& state) {
    drawInWindow(state, "EL34");
}
BENCHMARK(BM_CurvesWindowDrawEL34)->Unit(benchmark::kMillisecond);
