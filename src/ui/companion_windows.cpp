// The anode-curves and tube-models windows come from their own files; a build without them (the windows
// are built apart from the main window) leaves the menu items without a window to show.
#include "ui/companion_windows.h"

#include "ui/main_window.h"

#if __has_include("ui/form_curves.h") && __has_include("ui/form_models.h")
#define VALVENIX_HAS_COMPANION_WINDOWS 1
#include "ui/form_curves.h"
#include "ui/form_models.h"
#endif

CompanionWindows createCompanionWindows(TForm1* mainWindow, Telemetry* telemetry) {
    CompanionWindows windows;
#ifdef VALVENIX_HAS_COMPANION_WINDOWS
    auto* curves = new TFormCurves(telemetry);
    auto* models = new TFormModels(telemetry);
    windows = {curves, models};
    // FOR THE LEAD when the anode-curves and tube-models windows land: connect
    // TFormModels::modelsChanged(oldName, newName) here to the refresh of the anode-curves model list and
    // of every open solver window's tube selectors, with whatever those windows offer for it.
#else
    (void)telemetry;
#endif
    mainWindow->setCompanionWindows(windows.curves, windows.models);
    return windows;
}
