// valvenix-main-screenshots OUTDIR [--trust CERT.pem]: starts the program as valvenix does (in the data
// folder of XDG_DATA_HOME), saves two configurations of C7, and writes PNGs of the main window: the welcome
// page, the gallery and the tree in both layouts with a description shown, a search, the popup menu and
// the usage page (filled by the usage server set in the settings, whose certificate --trust names). The
// session's scale (QT_SCALE_FACTOR) applies. Used under Xvfb to look at the window and for the README.
#include "circuits/catalogue.h"
#include "storage/configurations.h"
#include "storage/data_install.h"
#include "telemetry/telemetry.h"
#include "ui/app_startup.h"
#include "ui/circuit_description.h"
#include "ui/library_page.h"
#include "ui/library_tree.h"
#include "ui/main_window.h"
#include "ui/usage_page.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

#include <cstdio>

namespace {
using Values = std::vector<std::pair<std::string, std::string>>;

void settle(int ms = 150) {
    const QDeadlineTimer until(ms);
    while (!until.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void save(QWidget* w, const QString& path) {
    settle();
    if (!w->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void saveConfig(int circuit, const char* name, const char* comment, const Values& values) {
    Sheet sheet = newSheet(circuit);
    for (const auto& [control, value] : values)
        if (SheetControl* c = sheet.find(control))
            c->text = value;
    saveSheetConfig(sheet, name, comment);
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: valvenix-main-screenshots OUTDIR [--trust CERT.pem]\n");
        return 2;
    }
    const QDir out(args[0]);
    QDir().mkpath(out.path());

    QTimer answer; // message boxes are answered at once, so that the run never waits
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            std::fprintf(stderr, "message: %s\n", qPrintable(box->text()));
            box->accept();
        }
    });
    answer.start(50);

    // The usage server's own certificate trusted for this run, before the telemetry client is made.
    const int trust = static_cast<int>(args.indexOf(QStringLiteral("--trust")));
    if (trust > 0 && trust + 1 < args.size()) {
        QFile cert(args[trust + 1]);
        if (cert.open(QIODevice::ReadOnly)) {
            QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
            tls.addCaCertificates(QSslCertificate::fromData(cert.readAll(), QSsl::Pem));
            QSslConfiguration::setDefaultConfiguration(tls);
        }
    }
    StartedProgram program =
        startValvenix(packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString()));
    if (!program.mainWindow)
        return 1;
    if (getCircuitConfigs("C7").empty()) {
        saveConfig(7, "ECC83 at 300 V", "Long-tailed pair for a 300 V supply, 100k loads.",
                   {{"EdVb", "300"}, {"EdRa1", "100k"}, {"EdRa2", "100k"}});
        saveConfig(7, "Balanced loads", "Ra2 raised to balance the two outputs.", {{"EdRa2", "120k"}});
    }

    TForm1* w = program.mainWindow;
    w->show();
    w->setGeometry(QRect(QPoint(40, 30), QSize(1400, 860)));
    save(w, out.filePath("main-welcome.png"));

    TLibraryPage* library = w->library();
    w->menuIntroClick(2);
    library->restoreChoices(true, true);
    library->RGlibClick(9); // "differential"
    library->description()->showCircuit(7);
    save(w, out.filePath("main-gallery.png"));
    library->butLayoutToggleClick();
    library->RGlibClick(0);
    library->description()->showCircuit(21);
    save(w, out.filePath("main-gallery-vertical.png"));
    library->butLayoutToggleClick();

    library->chooseView(false);
    TLibraryTree* tree = library->tree();
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        const TRecVSTLibrary r = TLibraryTree::record(*it);
        if ((r.level == 0 && r.categorie == "Differential") ||
            (r.level == 1 && r.indexCircuit == 7 && (*it)->parent()->text(0) == "Differential"))
            (*it)->setExpanded(true);
        if (r.level == 2 && r.nomCircuit == "Balanced loads" &&
            (*it)->parent()->parent()->text(0) == "Differential") {
            tree->setCurrentItem(*it);
            library->description()->showCircuit(7, r.comment, true);
        }
    }
    save(w, out.filePath("main-tree.png"));
    library->butLayoutToggleClick();
    save(w, out.filePath("main-tree-vertical.png"));
    library->butLayoutToggleClick();

    library->chooseView(true);
    auto* search = library->findChild<QLineEdit*>(QStringLiteral("EditSearch"));
    search->setText(QStringLiteral("cascode"));
    library->EditSearchKeyUp();
    library->description()->showCircuit(8);
    save(w, out.filePath("main-search.png"));
    library->butSearchCancelClick();
    library->RGlibClick(0);

    w->menu()->popup(w->mapToGlobal(QPoint(w->width() - 200, 48)));
    settle(300);
    const QRect area = w->frameGeometry().united(w->menu()->frameGeometry());
    w->screen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(out.filePath("main-menu.png"));
    w->menu()->hide();

    bool filled = false;
    QObject::connect(w->usagePage(), &TUsagePage::filled, [&filled] { filled = true; });
    w->menuIntroClick(3);
    const QDeadlineTimer deadline(10000);
    while (!filled && !deadline.hasExpired())
        settle(50);
    save(w, out.filePath("main-usage.png"));
    w->close();
    delete w;
    return 0;
}
