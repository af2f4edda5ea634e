// A whole solve in a solver window, as "Solve [Ent]" runs it: the request from the widgets, the
// solve command, every picture drawn at the size of its control, the reports, labels and grids
// filled, the settings written. C1 (with its Bode run) and C42 (with its push-pull analysis).
#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "ui/form_solver.h"
#include "ui/picture_view.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

void setText(QWidget* w, const char* name, const char* value) {
    w->findChild<QLineEdit*>(name)->setText(value);
}

void selectItem(QWidget* w, const char* name, const char* item) {
    auto* combo = w->findChild<QComboBox*>(name);
    combo->setCurrentIndex(combo->findText(item));
}

// Every picture of the window drawn at its control's size (the tabs laid out once beforehand).
void layOutEveryTab(TFormSolver* w) {
    auto* tabs = w->findChild<QTabWidget*>("PageControl");
    for (int i = tabs->count() - 1; i >= 0; --i)
        if (tabs->isTabVisible(i)) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
        }
}

void solveInWindow(benchmark::State& state, TFormSolver* w) {
    w->resize(1300, 800);
    w->show();
    w->ButtonSolverClick();
    layOutEveryTab(w);
    for (auto _ : state) {
        w->ButtonSolverClick();
        QApplication::processEvents();
    }
    int pictures = 0;
    for (TPictureView* view : w->findChildren<TPictureView*>())
        pictures += view->hasPicture() && !view->image().isNull();
    state.counters["pictures"] = pictures;
    delete w;
}

} // namespace

static void BM_WindowSolveC1(benchmark::State& state) {
    auto* w = new TFormSolver(1);
    selectItem(w, "LBtube", "ECC83 / 12AX7");
    solveInWindow(state, w);
}
BENCHMARK(BM_WindowSolveC1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

static void BM_WindowSolveC42(benchmark::State& state) {
    auto* w = new TFormSolver(42);
    selectItem(w, "LBtube", "6L6-GC");
    setText(w, "EdVb", "450");
    setText(w, "EdVe", "400");
    setText(w, "EdVg", "-45");
    setText(w, "EdZaa", "6600");
    solveInWindow(state, w);
}
BENCHMARK(BM_WindowSolveC42)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir data;
    setDataFolderOverride(data.path().toStdString() + "/");
    prepareModelDatabase();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
