// --png-dir: every picture of a solve as a PNG file named after the circuit and what it shows.
#include "cli.h"
#include "solve_output.h"

#include "circuits/catalogue.h"
#include "plots/bode_plot.h"
#include "plots/convergence_plot.h"
#include "plots/load_line_plot.h"
#include "plots/power_plots.h"
#include "plots/stack_bars.h"
#include "solver/field_reader.h"
#include "solver/sheet_validation.h"

#include <QDir>
#include <QImage>

namespace cli {

namespace {
void save(const QImage& image, const std::string& dir, const std::string& name) {
    const QString path = QDir(QString::fromStdString(dir)).filePath(QString::fromStdString(name));
    if (!image.save(path, "PNG"))
        throw std::runtime_error("cannot write " + path.toStdString());
}
} // namespace

void writeSolvePictures(const std::string& dir, const SolveRequest& rq, const SolveResult& r) {
    checkPictureFolder(dir);
    const std::string code = circuitInfo(rq.circuit).code;
    constexpr double scale = 1.0;
    if (r.bode)
        save(drawBode(*r.bode, QSize(1000, 600), scale, rq.locale), dir, code + "-bode.png");
    for (const auto& ll : r.loadLines)
        save(drawLoadLine(ll, QSize(700, 300), scale), dir,
             code + "-loadline-" + ll.tube.Reference() + ".png");
    if (!r.stacks.empty()) {
        const double Vb = clampSupply(fieldNumber(rq.sheet, "EdVb", rq.locale));
        save(drawStackBars(r.stacks, 400, Vb, scale), dir, code + "-stacks.png");
    }
    if (r.power) {
        const PowerData& p = *r.power;
        save(drawPower(p, QSize(1000, 700), scale), dir, code + "-power.png");
        if (p.pushPull)
            save(drawLoadlinePP(p, QSize(1000, 700), scale), dir, code + "-loadline-pp.png");
        else
            save(drawLoadlineSE(p, QSize(1000, 700), scale), dir, code + "-loadline-se.png");
        save(drawWaveform(p, p.trackMax(), WaveDisplay::Both, QSize(900, 400), scale), dir,
             code + "-waveform.png");
    }
    for (std::size_t i = 0; i < r.traces.size(); ++i)
        save(drawConvergence(r.traces[i], QSize(384, 111), scale), dir,
             code + "-convergence-T" + std::to_string(i + 1) + ".png");
}

} // namespace cli
