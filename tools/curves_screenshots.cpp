// valvenix-curves-screenshots OUTDIR: opens the anode-curves window and the tube-models window, works
// them as a user would (ECC83 curves with a read-out and the "Compute Ia" panel, its transfer curves,
// gm / ρ / µ chart and table; EL34 at a screen voltage of 250 V; the models window showing a triode, a
// pentode and a new model) and writes a PNG of each step at the display scale of the session
// (QT_SCALE_FACTOR). Used to look at the windows and for the README's pictures, under Xvfb.
#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "ui/form_curves.h"
#include "ui/form_models.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
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

template <class W> W* child(QWidget* w, const char* name) {
    W* found = w->findChild<W*>(QString::fromUtf8(name));
    if (!found) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(1);
    }
    return found;
}

void select(QListWidget* list, const QString& name) {
    const auto items = list->findItems(name, Qt::MatchExactly);
    if (items.isEmpty()) {
        std::fprintf(stderr, "no model %s\n", qPrintable(name));
        std::exit(1);
    }
    list->setCurrentItem(items.first());
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    if (argc != 2) {
        std::fprintf(stderr, "usage: valvenix-curves-screenshots OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
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

    TFormCurves curves;
    curves.resize(1100, 720);
    curves.show();
    settle();
    curves.resize(1100, 720);
    auto* models = child<QListWidget>(&curves, "LBtubes");
    auto* pages = child<QTabWidget>(&curves, "PageControl");
    select(models, QStringLiteral("ECC83 / 12AX7"));
    settle();
    auto* image = child<QWidget>(&curves, "ImageAnode");
    // A click at Va 200 V and Ia 1 mA, as on the chart's scales.
    const double W = image->width(), H = image->height();
    QTest::mouseClick(image, Qt::LeftButton, {},
                      QPoint(int(50 + 200.0 / 350 * (W - 100)), int(H - 50 - 1.0 / 8 * (H - 100))));
    save(&curves, out.filePath("curves-ECC83-anode.png"));
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(int(50 + 40.0 / 350 * (W - 100)), int(H / 2)));
    save(&curves, out.filePath("curves-ECC83-no-solution.png"));
    child<QPushButton>(&curves, "butSpecify")->click();
    child<QLineEdit>(&curves, "EdVak")->setText(QStringLiteral("250"));
    child<QLineEdit>(&curves, "EdVgk")->setText(QStringLiteral("-2"));
    save(&curves, out.filePath("curves-ECC83-panel.png"));
    child<QPushButton>(&curves, "butClosePanel")->click();
    pages->setCurrentIndex(1);
    save(&curves, out.filePath("curves-ECC83-gm.png"));
    pages->setCurrentIndex(2);
    save(&curves, out.filePath("curves-ECC83-table.png"));
    child<QRadioButton>(&curves, "RGparmVak")->click();
    save(&curves, out.filePath("curves-ECC83-transfer.png"));
    child<QRadioButton>(&curves, "RGparmVgk")->click();

    select(models, QStringLiteral("EL34"));
    auto* vs = child<QLineEdit>(&curves, "EdVs");
    vs->selectAll();
    QTest::keyClicks(vs, QStringLiteral("250"));
    settle();
    save(&curves, out.filePath("curves-EL34-250V.png"));
    pages->setCurrentIndex(1);
    save(&curves, out.filePath("curves-EL34-250V-gm.png"));
    curves.hide();

    TFormModels window;
    window.show();
    settle();
    save(&window, out.filePath("models-empty.png"));
    auto* list = child<QListWidget>(&window, "LBmodels");
    select(list, QStringLiteral("ECC83 / 12AX7"));
    save(&window, out.filePath("models-ECC83.png"));
    select(list, QStringLiteral("EL34"));
    save(&window, out.filePath("models-EL34.png"));
    window.butModelAddClick();
    child<QRadioButton>(&window, "RGtypePentode")->click();
    QTest::keyClicks(child<QLineEdit>(&window, "LEDname"), QStringLiteral("My EL84"));
    save(&window, out.filePath("models-new.png"));
    return 0;
}
