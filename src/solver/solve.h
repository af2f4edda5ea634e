// The solve request and solve result: one call of a circuit solver, hosted by the solver window
// or by the command line. The solver reads only the request and writes only the result.
#pragma once

#include "frequency/bode_data.h"
#include "frequency/bode_options.h"
#include "model/convergence.h"
#include "model/tube.h"
#include "power/power_types.h"
#include "solver/distortion.h"
#include "solver/sheet.h"
#include "solver/voltage_stacks.h"
#include "util/number_locale.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct SolveRequest {
    int circuit = 0;
    Sheet sheet;
    BodeOptions bode;
    TubeFactory tubes;
    bool traceConvergence = false;
    NumberLocale locale;
    std::string timeOfDay;              // status of a grid row whose verdicts are all true
    std::string configTitle;            // caption of the loaded configuration (title of the Bode plot)
    std::vector<bool> legendsShown;     // the Bode legend check boxes in order; missing entries are shown
    double thdLevel = kDefaultThdLevel; // output level of a gain stage's distortion line, V peak
    // Checked mode, for tests: a solver that reads a control its sheet lacks, or fills a grid column
    // twice, by an unknown name or not at all, throws std::logic_error instead of going on.
    bool checked = false;
};

// One DC load-line diagram: the solved tube, the axes and whether the line itself is drawn.
struct LoadLineData {
    TTube tube;
    double Imax = 0;
    double Vmax = 0;
    bool drawLoadLine = true;
    int image = 1; // ImgLL1 .. ImgLL4
};

struct SolveResult {
    std::string title;
    std::string dcReport;
    std::string acReport;
    std::vector<std::pair<std::string, std::string>> labels; // result label name -> text
    std::vector<TVoltageStacks> stacks;                      // column 1, 2, ... of the stack bars
    std::vector<std::string> gridRow;                        // status, model, cells
    std::vector<LoadLineData> loadLines;
    std::vector<TTube> tubes; // each solved tube with its small-signal parameters, slot order
    std::optional<BodeData> bode;
    std::optional<PowerData> power;            // power stages C37 .. C42
    std::optional<StageDistortion> distortion; // single-tube gain stages at the request's thdLevel
    std::vector<TFormConvergence> traces;
    std::vector<std::string> messages; // texts of the dialogs the solve shows
    bool ok = true;                    // every verdict true

    void setLabel(const std::string& name, const std::string& text) { labels.emplace_back(name, text); }
};
