// The main window's start-up steps, in their order, and what its first showing restores.
#include "ui/main_window.h"

#include "markup/css_classes.h"
#include "plots/tool_pictures.h"
#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "storage/packaged_files.h"
#include "telemetry/telemetry.h"
#include "ui/circuit_description.h"
#include "ui/library_page.h"
#include "ui/markup_display.h"
#include "ui/message_boxes.h"
#include "ui/screen_placement.h"
#include "ui/title_strip.h"
#include "ui/version_info.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>

namespace {
inline constexpr const char* kWindowName = "Form1";

// The hourglass from the first step to the last, whichever step ends the start-up.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

QString joined(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list.join(QLatin1Char('\n'));
}
} // namespace

void TForm1::FormCreate() {
    Hourglass hourglass;
    // The displays and their classes, the name and version line.
    MemoInfo->clearDisplay();
    MemoInfo->setClassesCSS(classesFor(MarkupDisplay::Introduction));
    CTBPanel->setNameAndVersion(QString::fromLatin1(kApplicationNameText), versionRecord().FileVersion);

    IPD.Open();

    // The remote welcome file comes in the background; whether it came is of no consequence.
    if (telemetry_)
        telemetry_->fetchWelcome(QString::fromStdString(dataFolder()));

    const PackagedText introduction = readIntroduction();
    if (introduction.ok)
        MemoInfo->AddString(introduction.text);
    else
        showInformation(nullptr, QString::fromStdString(introduction.error));

    if (!loadStreams())
        return; // the later steps need the pictures: the installation is broken
    prepareModels();
    SetLastCircuit(IPD.lastCircuit());
    setWindowIcon(QIcon(QPixmap::fromImage(icons_->picture(2, "ICO"))));
    const double scale = devicePixelRatioF();
    QImage strip = drawTubeCountIcon(2, static_cast<int>(32 * scale));
    strip.setDevicePixelRatio(scale);
    CTBPanel->setIcon(strip);
    startupComplete_ = true;
}

bool TForm1::loadStreams() {
    // The thumbnails serve once, to build the gallery blocks.
    const PictureStreamFile miniatures = loadPictureStream(kMiniaturesStreamFile);
    if (miniatures.stream)
        library_->createGalleryBlocks(*miniatures.stream);
    else
        showError(nullptr, QString::fromStdString(miniatures.error));

    PictureStreamFile schematics = loadPictureStream(kSchemasStreamFile);
    if (!schematics.stream) {
        showError(nullptr, QString::fromStdString(schematics.error));
        return false;
    }
    schematics_ = std::move(schematics.stream);
    library_->description()->setSchematics(&*schematics_);

    PictureStreamFile icons = loadPictureStream(kIconsStreamFile);
    if (!icons.stream) {
        showError(nullptr, QString::fromStdString(icons.error));
        return false;
    }
    icons_ = std::move(icons.stream);
    return true;
}

void TForm1::prepareModels() {
    ModelDatabaseStart start;
    if (!guarded(nullptr, [&] { start = prepareModelDatabase(); }))
        return;
    if (start.migrated)
        showInformation(nullptr, QString::fromUtf8(kModelDatabaseUpdatedMessage));
    if (!start.problems.empty())
        showWarning(nullptr, joined(start.problems));
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    Hourglass hourglass;
    restoreWindowPlacement(this, IPD, kWindowName);
    menuIntroClick(1);
    library_->restoreChoices(IPD.displayHor(), IPD.flat());
    MemoInfo->moveCursor(QTextCursor::Start); // the welcome text from its beginning
    MemoInfo->verticalScrollBar()->setValue(0);
    setWindowTitle(
        QStringLiteral("%1  %2").arg(QString::fromLatin1(kApplicationNameText), versionRecord().FileVersion));
}

TForm1::~TForm1() {
    if (shownOnce_)
        storeWindowPlacement(this, IPD, kWindowName);
    IPD.Close();
}
