// valvenix-screenshots OUTDIR C<n> [NAME=VALUE ...] [--trace] [--advanced]: opens a solver window, sets the
// sheet controls given, solves, and writes a PNG of the window for every visible tab (and of each convergence
// window), named C<n>-<tab>.png, at the display scale of the session (QT_SCALE_FACTOR). Used to look at the
// windows and for the README's pictures, under Xvfb or the offscreen platform.
#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "ui/bode_tab.h"
#include "ui/collapsible_panel.h"
#include "ui/config_dialog.h"
#include "ui/convergence_window.h"
#include "ui/form_solver.h"
#include "ui/options_dialog.h"
#include "ui/sheet_frame.h"
#include "ui/sweep_dialog.h"
#include "ui/tools_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>

namespace {
void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void save(QWidget* w, const QString& path) {
    settle();
    if (!w->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: valvenix-screenshots OUTDIR C<n> [NAME=VALUE ...] [--trace] [--advanced]\n");
        return 2;
    }
    const QDir out(args[0]);
    const int circuit = args[1].mid(1).toInt();
    QDir().mkpath(QString::fromStdString(dataFolder()));
    prepareModelDatabase();

    // Message boxes are answered at once so that the run never waits.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    answer.start(50);

    auto* window = new TFormSolver(circuit);
    window->show();
    settle();
    Sheet sheet = window->sheetFrame()->sheet();
    for (const QString& a : args.mid(2)) {
        if (a == "--trace" || a == "--advanced") {
            window
                ->findChild<QCheckBox*>(a == "--trace" ? QStringLiteral("CheckBoxShowConvergence")
                                                       : QStringLiteral("CheckBoxShowPowerParms"))
                ->setChecked(true);
            continue;
        }
        const QString name = a.section('=', 0, 0), value = a.section('=', 1);
        SheetControl* c = sheet.find(name.toStdString());
        if (!c) {
            std::fprintf(stderr, "no control %s\n", qPrintable(name));
            return 2;
        }
        if (c->kind == ControlKind::CheckBox)
            c->checked = value == "1";
        else if (c->kind == ControlKind::Selector)
            c->selected = static_cast<int>(std::find(c->items.begin(), c->items.end(), value.toStdString()) -
                                           c->items.begin());
        else
            c->text = value.toStdString();
    }
    window->sheetFrame()->setSheet(sheet);
    const QString code = QStringLiteral("C%1").arg(circuit);
    save(window, out.filePath(code + "-opened.png"));
    window->ButtonSolverClick();

    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("PageControl"));
    for (int i = 0; i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i))
            continue;
        tabs->setCurrentIndex(i);
        const QString tab = tabs->widget(i)->objectName();
        save(window, out.filePath(code + "-" + tab + ".png"));
        if (tab == "TabSheetBode") {
            auto* bode = window->findChild<TBodeTab*>();
            bode->optionsPanel()->setExpanded(true);
            save(window, out.filePath(code + "-" + tab + "-options.png"));
            bode->optionsPanel()->setExpanded(false);
            bode->stagePanel()->setExpanded(true);
            save(window, out.filePath(code + "-" + tab + "-stages.png"));
            bode->stagePanel()->setExpanded(false);
        }
    }
    // The dialogs and the tools window of the window.
    {
        TFormConfigSchema save(window, window->sheetFrame(), TFormConfigSchema::Save, QStringLiteral("warm"));
        save.show();
        save.findChild<QPlainTextEdit*>("Memo")->setPlainText(
            QStringLiteral("Bright, with 100µ on the cathode"));
        ::save(&save, out.filePath(code + "-config-save.png"));
        TFormConfigSchema load(window, window->sheetFrame(), TFormConfigSchema::Load, QString());
        load.show();
        ::save(&load, out.filePath(code + "-config-load.png"));
        TFormSolverOptions options(SheetCosmetics{}, window);
        options.show();
        ::save(&options, out.filePath(code + "-options.png"));
        TFormTools::showTools(window);
        ::save(TFormTools::instance(), out.filePath(code + "-tools.png"));
        auto* sweep = window->findChild<QPushButton*>(QStringLiteral("ButtonSweep"));
        sweep->click();
        if (auto* dialog = window->findChild<TSweepDialog*>()) {
            dialog->run();
            ::save(dialog, out.filePath(code + "-sweep.png"));
            dialog->close();
        }
    }
    int k = 0;
    for (auto* w : window->findChildren<TConvergenceWindow*>())
        save(w, out.filePath(code + QStringLiteral("-convergence%1.png").arg(++k)));
    window->close();
    return 0;
}
