// The settings file on any content: every typed read gives a usable value, a file that cannot be saved
// says why, and a sheet loaded from the file, saved back and loaded again comes back the same.
#include "fuzz_check.h"
#include "fuzz_data_folder.h"

#include "circuits/catalogue.h"
#include "storage/settings.h"
#include "storage/sheet_persistence.h"

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace {
// Selectors get a list as a host would fill them; tube selectors have models to choose from.
Sheet sheetWithItems(int circuit) {
    Sheet sheet = newSheet(circuit);
    for (SheetControl& c : sheet.controls)
        if (c.kind == ControlKind::Selector && c.items.empty())
            c.items = {"ECC83 / 12AX7", "EL34", "300B"};
    return sheet;
}

bool sameValues(const Sheet& a, const Sheet& b) {
    for (std::size_t i = 0; i < a.controls.size(); ++i) {
        const SheetControl &x = a.controls[i], &y = b.controls[i];
        if (x.text != y.text || x.checked != y.checked || x.selected != y.selected)
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A new name for every input: the settings layer may cache a file it has read.
    static unsigned long counter = 0;
    const std::string name = "valvenix-" + std::to_string(++counter) + ".ini";
    {
        std::ofstream out(fuzzDataFolder() + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    TIniPosDim settings(name);
    settings.lastCircuit();
    settings.displayHor();
    settings.flat();
    settings.editBorders();
    settings.ckbBackground();
    settings.rgBorders();
    const double stray = settings.bodeStrayCapFarads();
    FUZZ_CHECK(stray >= 1e-12 && stray <= 5e-12 * (1 + 1e-9));
    FUZZ_CHECK(!settings.pentodeVs().empty());
    const ScreenRect screen{0, 0, 1920, 1080};
    const ScreenLayout screens{screen, {screen}};
    settings.readForm("FormAnode", 800, 600, screens);

    const int circuit = size > 0 ? 1 + data[0] % kCircuitCount : 1;
    Sheet loaded = sheetWithItems(circuit);
    BodeOptions options;
    LoadAutoParams(loaded, options, settings, namingRuleDefault);
    for (const SheetControl& c : loaded.controls)
        if (c.kind == ControlKind::Selector)
            FUZZ_CHECK(c.selected >= 0 && c.selected < static_cast<int>(c.items.size()));
    // A file with a malformed line is never rewritten, and then it says why.
    if (!SaveAutoParams(loaded, options, settings)) {
        FUZZ_CHECK(!settings.problem().empty());
        settings.Close();
        removeFuzzFile(name);
        return 0;
    }
    FUZZ_CHECK(settings.problem().empty());
    Sheet again = sheetWithItems(circuit);
    BodeOptions optionsAgain;
    LoadAutoParams(again, optionsAgain, settings, namingRuleDefault);
    FUZZ_CHECK(sameValues(loaded, again));
    FUZZ_CHECK(options.freqmin == optionsAgain.freqmin && options.straycaps == optionsAgain.straycaps);

    settings.Close();
    removeFuzzFile(name);
    return 0;
}
