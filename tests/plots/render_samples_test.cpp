// Writes every picture to PNG files when VALVENIX_PLOT_SAMPLES names a folder, so they can be
// looked at; without the variable the test only renders them.
#include "builtin_tubes.h"
#include "plot_test_support.h"
#include "plots/anode_plots.h"
#include "plots/bode_plot.h"
#include "plots/convergence_plot.h"
#include "plots/load_line_plot.h"
#include "plots/stack_bars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {
BodeData sampleBode() {
    BodeData d;
    d.title = "My preamp";
    d.tag = "C1";
    d.beta = 0.01;
    for (double dec = 1; dec < 1e5; dec *= 10)
        for (int i = 1; i <= 9; ++i)
            d.freqs.push_back(i * dec);
    d.freqs.push_back(1e5);
    std::vector<double> in, t1, out, all;
    for (double f : d.freqs) {
        const double hp = f / std::sqrt(f * f + 10.0 * 10.0);
        const double lp = 1 / std::sqrt(1 + (f / 40e3) * (f / 40e3));
        in.push_back(0.98 * hp);
        t1.push_back(60 * lp);
        out.push_back(0.95 * f / std::sqrt(f * f + 3.0 * 3.0));
        const double a = in.back() * t1.back() * out.back();
        all.push_back(a / (1 + 0.01 * a));
    }
    d.curves = {in, t1, out};
    d.overall = all;
    d.overallDrawn = true;
    d.legends = {{"RC input", true, 0xFF8A2BE2},
                 {"T1", true, 0xFFFF7F50},
                 {"RC output", true, 0xFF008000},
                 {"Overall gain", true, 0xFF00CED1}};
    d.fpk = 1000;
    d.Apk = 37.5;
    d.fL = 10.5;
    d.fH = 40000;
    d.summary = "Max gain x37 31.5dB @ ~1000Hz BW -3dB 10Hz-40kHz";
    return d;
}
} // namespace

TEST(PlotSamples, RenderEveryPicture) {
    ensureGuiApp();
    TFormConvergence trace;
    TTube t1 = builtinTube("ECC83 / 12AX7");
    t1.basicBiasSuccApprox(250, 100e3, 1e3, &trace);
    save(drawConvergence(trace, QSize(384, 111), 1), "convergence");

    TVoltageStacks a, b;
    a.Add("Ra", 95.4, kStackRed);
    a.Add("T1", 153.7, kStackYellow);
    a.Add("Rk", 0.95, kStackGreen);
    b.Add("Ra2", 120, kStackRed);
    b.Add("T2", 110, kStackYellow);
    b.Add("Rk2", 20, kStackGreen);
    save(drawStackBars({a, b}, 300, 250, 1), "stacks");

    save(drawLoadLine(LoadLineData{t1, 250 / 101e3, 250, true, 1}, QSize(600, 300), 1), "loadline");
    TTube t2 = builtinTube("ECC83 / 12AX7");
    t2.basicBiasSuccApprox(400, 39e3, 1e3);
    save(drawLoadLine(LoadLineData{t2, 400 / 40e3, 400, true, 2}, QSize(600, 300), 1), "loadline_limits");
    save(drawBode(sampleBode(), QSize(1000, 700), 1, NumberLocale{}), "bode");

    TTube ecc83 = builtinTube("ECC83 / 12AX7");
    save(drawAnodeChart(computeAnodeCharacteristics(ecc83, 100), QSize(1000, 700), 1), "anode_ecc83");
    save(drawAnodeChart(computeTransferCharacteristics(ecc83, 100), QSize(1000, 700), 1), "transfer_ecc83");
    save(drawMultiChart(computeMultiChart(ecc83, 100), QSize(1000, 700), 1), "multi_ecc83");
    TTube el34 = builtinTube("EL34");
    save(drawAnodeChart(computeAnodeCharacteristics(el34, 250), QSize(1000, 700), 1), "anode_el34");
    save(drawMultiChart(computeMultiChart(el34, 250), QSize(1000, 700), 1), "multi_el34");
}
