// Start-up of the desktop program with a warm data folder (installed, models seeded, a few saved
// configurations): the whole way to the main window shown, and its parts: the installation check, the
// picture streams, the gallery blocks, the model database, the library tree, and the tools window.
#include "storage/configurations.h"
#include "storage/data_folder.h"
#include "storage/data_install.h"
#include "storage/model_database.h"
#include "storage/packaged_files.h"
#include "storage/picture_stream.h"
#include "storage/settings.h"
#include "ui/app_startup.h"
#include "ui/library_page.h"
#include "ui/library_tree.h"
#include "ui/main_window.h"

#include "circuits/catalogue.h"
#include "telemetry/telemetry.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {
std::string packaged() {
    return packagedFilesFolder(QCoreApplication::applicationDirPath().toStdString());
}

void drainEvents() {
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}
} // namespace

// From the installation check to the main window shown and painted once, as valvenix does it.
static void BM_StartupToMainWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        StartedProgram program = startValvenix(packaged());
        program.mainWindow->show();
        program.mainWindow->repaint();
        drainEvents();
        state.PauseTiming();
        delete program.mainWindow;
        delete program.companions.curves;
        delete program.companions.models;
        drainEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToMainWindowShown)->Unit(benchmark::kMillisecond)->MinTime(3);

static void BM_InstallCheckOfAWarmFolder(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(installDataFolder(packaged()).ok);
}
BENCHMARK(BM_InstallCheckOfAWarmFolder)->Unit(benchmark::kMillisecond);

static void BM_LoadThePictureStreams(benchmark::State& state) {
    for (auto _ : state)
        for (const char* file : {kMiniaturesStreamFile, kSchemasStreamFile, kIconsStreamFile})
            benchmark::DoNotOptimize(loadPictureStream(file).stream.has_value());
}
BENCHMARK(BM_LoadThePictureStreams)->Unit(benchmark::kMillisecond);

static void BM_CreateTheGalleryBlocks(benchmark::State& state) {
    const PictureStream miniatures = *loadPictureStream(kMiniaturesStreamFile).stream;
    TIniPosDim settings;
    for (auto _ : state) {
        TLibraryPage page(settings);
        page.createGalleryBlocks(miniatures);
    }
}
BENCHMARK(BM_CreateTheGalleryBlocks)->Unit(benchmark::kMillisecond);

static void BM_PrepareTheModelDatabase(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(prepareModelDatabase().migrated);
}
BENCHMARK(BM_PrepareTheModelDatabase)->Unit(benchmark::kMillisecond);

static void BM_FillTheLibraryTree(benchmark::State& state) {
    TLibraryTree tree;
    for (auto _ : state)
        tree.fillVSTLibrary();
}
BENCHMARK(BM_FillTheLibraryTree)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("Noto Sans"), 9));
    QTemporaryDir data;
    setDataFolderOverride(data.path().toStdString() + "/");
    // A warm folder: installed once, models seeded, a configuration saved under a few circuits.
    installDataFolder(packaged());
    prepareModelDatabase();
    for (int n : {1, 7, 21, 42})
        saveSheetConfig(newSheet(n), "saved", "a comment");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
