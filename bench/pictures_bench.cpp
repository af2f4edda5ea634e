// Every kind of picture, drawn and PNG-encoded apart, from real solves: the pictures of C1 (Bode,
// load line, stacks, convergence trace), of the power stages C37 and C39 (power plot, load lines,
// waveform), anode charts, a sweep, the schematic and its thumbnail and the windows' small pictures.
// Drawings are timed at a device pixel ratio of 1 and 2 (as on a 200 % screen). The PNG encoding of the
// Bode plot, the schematic and the power plot is also timed at zlib levels 1, 3, 6 (the default) and 9,
// with the file's size as a counter.
//
// VALVENIX_PICTURE_DIR=DIR writes each picture at both ratios into DIR, to look at them.
#include "bench_support.h"
#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "circuits/solve_command.h"
#include "circuits/sweep.h"
#include "model/anode_charts.h"
#include "model/builtin_models.h"
#include "plots/anode_plots.h"
#include "plots/bode_plot.h"
#include "plots/convergence_plot.h"
#include "plots/load_line_plot.h"
#include "plots/plot_style.h"
#include "plots/power_plots.h"
#include "plots/schematic_plot.h"
#include "plots/schematic_thumbnail.h"
#include "plots/stack_bars.h"
#include "plots/sweep_plot.h"
#include "plots/title_bar_glyphs.h"
#include "plots/tool_pictures.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
SolveResult solve(int n, const char* model, const BenchValues& values, bool trace = false) {
    BenchValues all = {{"LBtube", model}};
    all.insert(all.end(), values.begin(), values.end());
    SolveRequest rq = sheetOf(n, all);
    rq.traceConvergence = trace;
    SolveOutcome outcome = solveCommand(rq);
    if (!outcome.solved)
        throw std::runtime_error("the sheet of C" + std::to_string(n) + " is refused: " +
                                 (outcome.messages.empty() ? std::string() : outcome.messages.front()));
    return std::move(outcome.result);
}

// The solves the pictures come from, made once.
struct Solves {
    SolveResult c1 = solve(1, "ECC83 / 12AX7", {{"EdVb", "300"}, {"EdRa", "100k"}, {"EdRk", "1k5"}}, true);
    SolveResult c37 =
        solve(37, "300B", {{"EdVb", "400"}, {"EdRk", "820"}, {"EdVg", "0"}, {"EdRa", "3k"}, {"EdRp", "100"}});
    SolveResult c39 = solve(39, "300B", {{"EdVb", "400"}, {"EdRk", "470"}, {"EdZaa", "5k"}});
    AnodeChart anode;
    MultiChart multi;
    SweepSeries sweep;
    Solves() {
        TTube tube(builtinModels().front(), "T1");
        for (const auto& p : builtinModels())
            if (p.name == "ECC83 / 12AX7")
                tube = TTube(p, "T1");
        anode = computeAnodeCharacteristics(tube, 100);
        multi = computeMultiChart(tube, 100);
        const SolveRequest rq = sheetOf(1, {{"LBtube", "ECC83 / 12AX7"}});
        sweep = sweepSeries(runSweep(rq, SweepPlan{"EdRk", 500, 5000, 99, false}), 2);
    }
};
const Solves& solves() {
    static const Solves s;
    return s;
}

struct Picture {
    const char* name;
    std::function<QImage()> draw; // at the current device pixel ratio
};

const std::vector<Picture>& pictures() {
    static const std::vector<Picture> list = {
        {"bode", [] { return drawBode(*solves().c1.bode, QSize(1000, 600), 1.0, NumberLocale{}); }},
        {"loadline", [] { return drawLoadLine(solves().c1.loadLines.front(), QSize(700, 300), 1.0); }},
        {"stacks", [] { return drawStackBars(solves().c1.stacks, 400, 300, 1.0); }},
        {"convergence", [] { return drawConvergence(solves().c1.traces.front(), QSize(384, 111), 1.0); }},
        {"anode_chart", [] { return drawAnodeChart(solves().anode, QSize(1000, 700), 1.0); }},
        {"multi_chart", [] { return drawMultiChart(solves().multi, QSize(1000, 700), 1.0); }},
        {"power", [] { return drawPower(*solves().c39.power, QSize(1000, 700), 1.0); }},
        {"loadline_pp", [] { return drawLoadlinePP(*solves().c39.power, QSize(1000, 700), 1.0); }},
        {"loadline_se", [] { return drawLoadlineSE(*solves().c37.power, QSize(1000, 700), 1.0); }},
        {"waveform",
         [] {
             const PowerData& p = *solves().c39.power;
             return drawWaveform(p, p.trackMax(), WaveDisplay::Both, QSize(900, 400), 1.0);
         }},
        {"sweep", [] { return drawSweep(solves().sweep, "C1", QSize(900, 500), 1.0); }},
        {"schematic",
         [] { return drawSchematic(schematicOf(4), PlotDeviceRatio::current(), SchematicControls::Drawn); }},
        {"thumbnail",
         [] {
             return drawSchematicThumbnail(schematicOf(4), "C4", kThumbnailLogicalSize,
                                           PlotDeviceRatio::current());
         }},
        {"divider", [] { return drawDividerDiagram(QSize(220, 260)); }},
        {"tube_icon", [] { return drawTubeCountIcon(2, static_cast<int>(48 * PlotDeviceRatio::current())); }},
        {"title_glyph",
         [] { return drawTitleGlyph(TitleGlyph::Restore, 16, PlotDeviceRatio::current(), Qt::black); }},
    };
    return list;
}

QByteArray encodePng(const QImage& image, int zlibLevel) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (zlibLevel >= 0) // Qt's quality q gives zlib level (100 - q) * 9 / 91
        writer.setQuality(zlibLevel == 0 ? 100 : 100 - (zlibLevel * 91 + 8) / 9);
    if (!writer.write(image))
        throw std::runtime_error("PNG encoding failed");
    return bytes;
}

// Once, on the first drawing (the registries are not filled before main).
void writePicturesIfAsked() {
    static const char* const dir = std::getenv("VALVENIX_PICTURE_DIR");
    static bool written = false;
    if (!dir || written)
        return;
    written = true;
    QDir().mkpath(dir);
    for (int ratio : {1, 2}) {
        const PlotDeviceRatio r(ratio);
        for (const Picture& p : pictures())
            p.draw().save(QDir(dir).filePath(QString("%1@%2.png").arg(p.name).arg(ratio)));
    }
}

void drawPicture(benchmark::State& state, const Picture& picture) {
    ensureGuiApp();
    writePicturesIfAsked();
    solves(); // made before the timing
    const PlotDeviceRatio ratio(static_cast<double>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(picture.draw());
}

void encodePicture(benchmark::State& state, const Picture& picture) {
    ensureGuiApp();
    const QImage image = picture.draw();
    const int level = static_cast<int>(state.range(0));
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = encodePng(image, level).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}

const bool registered = [] {
    for (const Picture& p : pictures()) {
        benchmark::RegisterBenchmark((std::string("BM_DrawPicture/") + p.name).c_str(), drawPicture, p)
            ->ArgName("ratio")
            ->Arg(1)
            ->Arg(2)
            ->MeasureProcessCPUTime()
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        auto* encode =
            benchmark::RegisterBenchmark((std::string("BM_EncodePng/") + p.name).c_str(), encodePicture, p)
                ->ArgName("zlib")
                ->Arg(-1)
                ->MeasureProcessCPUTime()
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond);
        if (std::string(p.name) == "bode" || std::string(p.name) == "schematic" ||
            std::string(p.name) == "power")
            encode->Arg(1)->Arg(3)->Arg(6)->Arg(9);
    }
    return true;
}();
} // namespace
