// Anode, transfer and gm / rho / mu charts of one tube model as point lists, labels and table rows.
#include "model/anode_charts.h"

#include "util/number_locale.h"

#include "util/format.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// An anode voltage past this is no solution of the transfer chart's read-out (see TTube::whichVa).
constexpr double kNoAnodeSolution = 1e6;

// Bounds of the sweeps: a model with a zero or absurd limit must still end its curves.
constexpr int kMaxGridScanSteps = 4000;   // Vgmin scan down to -1000 V
constexpr int kMaxPointsPerCurve = 20000; // 40 kV of 2 V steps, 1 kV of 50 mV steps
constexpr int kMaxCurves = 1000;

bool isPentode(const TTube& tube) {
    return tube.t35() == 5;
}

double roundHalfEven(double v) {
    return std::nearbyint(v); // the default rounding mode sends ties to even
}

// Multiples k*step for k = from, from+1, ... while the value stays within limit (inclusive).
std::vector<double> multiplesUpTo(double step, double limit, int from) {
    std::vector<double> values;
    if (!(step > 0) || !std::isfinite(limit))
        return values;
    for (int k = from; k <= 100000; ++k) {
        const double v = k * step;
        if (v > limit * (1 + 1e-9) + 1e-15)
            break;
        values.push_back(v);
    }
    return values;
}
} // namespace

double anodeVgmin(const TTube& tube, double Vg2) {
    double Vg = 0;
    for (int n = 0; n < kMaxGridScanSteps; ++n) {
        if (nkCurrent(tube.constants(), Vg, tube.Vamax(), Vg2) < tube.Iamax() / 20)
            break;
        Vg -= 0.25;
    }
    return std::trunc(Vg) - 1;
}

double anodeCurrentStep(double Iamax) {
    const double step = roundHalfEven(Iamax * 50) / 1000;
    return step < 0.001 ? 0.001 : step;
}

double anodeGridStep(double Vgmin) {
    const double r = Vgmin / 10;
    if (r > -0.5)
        return -0.25;
    if (r > -1)
        return -0.5;
    if (r > -2.5)
        return -1;
    if (r > -5)
        return -2;
    return -5;
}

double transferGridStep(double Vgmin) {
    const double step = roundHalfEven(Vgmin / 10);
    return step > -1 ? -0.5 : step;
}

std::vector<double> anodeCurrentTicks(double Iamax) {
    return multiplesUpTo(anodeCurrentStep(Iamax), Iamax, 1);
}

std::string anodeChartTitle(const TTube& tube, double Vg2) {
    if (isPentode(tube))
        return strFormat("Anode characteristics Ia(Vak,Vgk) @Vg2=%.0fV of \"%s\" after NK's equation", Vg2,
                         tube.ModelName().c_str());
    return strFormat("Anode characteristics Ia(Vak,Vgk) of \"%s\" after NK's equation",
                     tube.ModelName().c_str());
}

std::string anodeWindowCaption(const std::string& model) {
    return strFormat("Curves of \"%s\" after NK's equation", model.c_str());
}

std::string computePanelCaption(const TTube& tube, double Vg2) {
    if (isPentode(tube))
        return strFormat("Compute Ia(Va,Vg) @Vg2=%.0fV for \"%s\"", Vg2, tube.ModelName().c_str());
    return strFormat("Compute Ia(Va,Vg) for \"%s\"", tube.ModelName().c_str());
}

// Title, limits, grid-voltage range and current scale shared by both kinds of chart.
AnodeChart chartFrame(const TTube& tube, double Vg2) {
    AnodeChart chart;
    chart.pentode = isPentode(tube);
    chart.title = anodeChartTitle(tube, Vg2);
    chart.Iamax = tube.Iamax();
    chart.Vamax = tube.Vamax();
    chart.Vg2 = Vg2;
    chart.Vgmin = anodeVgmin(tube, Vg2);
    chart.currentStep = anodeCurrentStep(chart.Iamax);
    chart.currentTicks = anodeCurrentTicks(chart.Iamax);
    return chart;
}

AnodeChart computeAnodeCharacteristics(const TTube& tube, double Vg2) {
    AnodeChart chart = chartFrame(tube, Vg2);

    for (double va : multiplesUpTo(10, chart.Vamax, 0)) {
        const bool major = std::fmod(std::round(va), 50.0) == 0;
        chart.xTicks.push_back({va, major ? strFormat("%0.0f", va) : std::string(), major});
    }

    const double step = anodeGridStep(chart.Vgmin);
    for (int k = 0; k < kMaxCurves; ++k) {
        const double vg = k * step + 0.0; // + 0.0: the first curve is 0 V, not -0 V
        if (vg < chart.Vgmin)
            break;
        AnodeCurve curve;
        double va = 0, ia = 0;
        for (int n = 0; n < kMaxPointsPerCurve; ++n) {
            va = 2.0 * n;
            ia = nkCurrent(tube.constants(), vg, va, Vg2);
            chart.rows.push_back({va, vg, ia});
            curve.points.push_back({va, ia});
            if (va >= chart.Vamax || ia >= chart.Iamax || tube.Pamax() <= (va + 2) * ia)
                break;
        }
        curve.label = {va + 2, std::min(ia, chart.Iamax), strFormat("%0.2f", vg), TextAnchor::Right};
        chart.curves.push_back(std::move(curve));
        chart.rows.push_back({kAnodeSeparatorVa, 0, 0});
    }
    return chart;
}

AnodeChart computeTransferCharacteristics(const TTube& tube, double Vg2) {
    AnodeChart chart = chartFrame(tube, Vg2);
    chart.transfer = true;

    const double gridStep = transferGridStep(chart.Vgmin);
    for (int k = 0; k < kMaxCurves; ++k) {
        const double vg = k * gridStep + 0.0;
        if (vg < chart.Vgmin)
            break;
        chart.xTicks.push_back({vg, strFormat("%0.1f", vg), false});
    }

    for (int k = 1; k <= kMaxCurves; ++k) {
        const double va = 25.0 * k;
        if (va > chart.Vamax)
            break;
        AnodeCurve curve;
        double vg = chart.Vgmin, ia = 0;
        for (int n = 0; n < kMaxPointsPerCurve; ++n) {
            vg = chart.Vgmin + 0.05 * n;
            if (vg > -1e-9)
                vg = 0; // the last step lands on 0 V exactly
            ia = nkCurrent(tube.constants(), vg, va, Vg2);
            chart.rows.push_back({va, vg, ia});
            curve.points.push_back({vg, ia});
            if (vg >= 0 || ia >= chart.Iamax || tube.Pamax() <= ia * va)
                break;
        }
        curve.label = {vg, std::min(ia, chart.Iamax), strFormat("%0.0fV", va), TextAnchor::Left};
        chart.curves.push_back(std::move(curve));
        chart.rows.push_back({kAnodeSeparatorVa, 0, 0});
    }
    return chart;
}

MultiChart computeMultiChart(const TTube& tube, double Vg2) {
    MultiChart chart;
    chart.title =
        strFormat("Transconductance, internal resistance, amplification factor of \"%s\" @ Vak=100, 200 "
                  "and 300V @Vg2=%.0fV. µ scale is [0..100]",
                  tube.ModelName().c_str(), Vg2);
    chart.Iamax = tube.Iamax();
    chart.currentStep = anodeCurrentStep(chart.Iamax);
    chart.currentTicks = anodeCurrentTicks(chart.Iamax);

    chart.gmFull = nkGm(tube.constants(), 300, 0, Vg2);
    if (chart.gmFull > 0)
        for (int k = 0; k < 10; ++k)
            chart.gmTicks.push_back(k * chart.gmFull / 10);

    double Itop = nkCurrent(tube.constants(), 0, 300, Vg2);
    if (Itop > chart.Iamax)
        Itop = chart.Iamax;
    chart.rhoFull =
        Itop > 0 ? nkRo(tube.constants(), 300, nkWhichVg(tube.constants(), Itop / 30, 300, Vg2), Vg2) : 0;
    if (chart.rhoFull > 0)
        for (int k = 1; k < 10; ++k)
            chart.rhoTicks.push_back(k * chart.rhoFull / 10);
    chart.muFull = isPentode(tube) ? 10000 : 100;

    if (!(Itop > 0))
        return chart;
    for (double va : {100.0, 200.0, 300.0}) {
        MultiSeries s;
        s.Va = va;
        double vg = -0.0;
        double ia = Itop;
        for (int n = 0; n <= 1000 && ia > Itop / 30; ++n) {
            double found = nkWhichVgOld(tube.constants(), ia, va, Vg2, vg);
            // A current the previous grid voltage cannot reach: lower it by 0.1 mA and search again.
            while (found >= 0 && ia > Itop / 30) {
                ia -= 0.0001;
                found = nkWhichVgOld(tube.constants(), ia, va, Vg2, vg);
            }
            if (found >= 0)
                break;
            vg = found;
            const double gm = nkGm(tube.constants(), va, vg, Vg2);
            const double rho = nkRo(tube.constants(), va, vg, Vg2);
            s.gm.push_back({ia, gm});
            s.rho.push_back({ia, rho});
            s.mu.push_back({ia, rho * gm});
            ia -= Itop / 1000;
        }
        s.gmLabel = strFormat("%.0fV", va);
        s.rhoLabel = strFormat("%.0fV", va);
        s.muLabel = strFormat("  µ @ Va=%.0fV", va);
        chart.series.push_back(std::move(s));
    }
    return chart;
}

std::string anodeTableCell(const AnodeRow& row, int column) {
    if (row.separator())
        return "÷÷÷÷";
    switch (column) {
    case 0:
        return strFormat("%.0f", row.Va);
    case 1:
        return strFormat("%.3f", row.Vg);
    case 2:
        return strFormat("%.3f", row.Ia * 1000);
    default:
        return {};
    }
}

std::uint32_t anodeTableColour(int column) {
    switch (column) {
    case 0:
        return 0xFF0000;
    case 1:
        return 0x008080;
    default:
        return 0x000080;
    }
}

std::string anodeTableText(const std::vector<AnodeRow>& rows) {
    std::string text = "Vak (V)\tVgk (V)\tIa (mA)\r\n";
    for (const auto& row : rows) {
        if (row.separator())
            text += "\r\n";
        else
            text += strFormat("%.0f\t%.3f\t%.3f\r\n", row.Va, row.Vg, row.Ia * 1000);
    }
    return text;
}

std::optional<ChartClick> anodeChartClick(double X, double Y, int W, int H, bool transfer, double Iamax,
                                          double Vamax, double Vgmin) {
    if (W <= 100 || H <= 100 || X < 50 || Y < 50 || X > W - 50 || Y > H - 50)
        return std::nullopt;
    ChartClick click;
    click.Ia = (H - Y - 50) * Iamax / (H - 100);
    if (!(click.Ia >= 0 && click.Ia <= Iamax))
        return std::nullopt;
    click.value = transfer ? (X - W + 50) * Vgmin / (100 - W) : (X - 50) * Vamax / (W - 100);
    return click;
}

InstantReadout displayInstant(const TTube& tube, bool transfer, double Ia, double value, double Vg2) {
    InstantReadout out;
    double Va, Vg;
    if (transfer) {
        Vg = value;
        Va = nkWhichVa(tube.constants(), Ia, Vg, Vg2);
        // A pentode saturates: above its current at this grid voltage no anode voltage will do, and
        // the search gives up far beyond any real anode voltage.
        if (!(Va <= kNoAnodeSolution)) {
            out.text = "No solution";
            return out;
        }
    } else {
        Va = value;
        // A current above the Vg = 0 curve needs a positive grid: no solution on this chart.
        if (Ia > nkCurrent(tube.constants(), 0, Va, Vg2)) {
            out.text = "No solution";
            return out;
        }
        Vg = nkWhichVg(tube.constants(), Ia, Va, Vg2);
        if (Vg > 0) {
            out.text = "No solution";
            return out;
        }
    }
    const double rho = nkRo(tube.constants(), Va, Vg, Vg2);
    const double gm = nkGm(tube.constants(), Va, Vg, Vg2);
    if (isPentode(tube)) {
        const double is = nkScreenCurrent(tube.constants(), Vg, Vg2);
        out.text =
            strFormat(" Va <b>%.0f</b> V<br> Vg <b>%0.1f</b> V<br> Ia <b>%0.1f</b> mA<br> Is <b>%0.1f</b> "
                      "mA<br><br> Pa <b>%.1f</b> W<br><br> ρ  <b>%.1f</b> kΩ<br> gm <b>%0.1f</b> mA/V<br> "
                      "µ  <b>%.0f</b>",
                      Va, Vg, Ia * 1000, is * 1000, Va * Ia, rho / 1000, gm * 1000, rho * gm);
    } else {
        out.text =
            strFormat(" Va <b>%.0f</b> V<br> Vg <b>%0.1f</b> V<br> Ia <b>%0.1f</b> mA<br><br> Pa <b>%.1f</b> "
                      "W<br><br> ρ  <b>%.1f</b> kΩ<br> gm <b>%0.1f</b> mA/V<br> µ  <b>%.0f</b>",
                      Va, Vg, Ia * 1000, Va * Ia, rho / 1000, gm * 1000, rho * gm);
    }
    out.solved = true;
    const bool inside = Va * Ia <= tube.Pamax() && Va <= tube.Vamax() && Ia <= tube.Iamax();
    out.colour = inside ? 0xAAFFAA : 0xFF0000;
    return out;
}

double screenVoltageOr100(const std::string& text, char decimalSeparator) {
    return readTypedNumber(text, decimalSeparator, false).value_or(100.0);
}

double drawingScreenVoltage(const std::string& text, char decimalSeparator) {
    const auto v = readTypedNumber(text, decimalSeparator, false);
    if (!v)
        return 100.0;
    return std::clamp(*v, kMinScreenVoltage, kMaxScreenVoltage);
}

bool screenVoltageRedraws(const std::string& text, char decimalSeparator) {
    const auto v = readTypedNumber(text, decimalSeparator, false);
    return v && *v >= kMinScreenVoltage && *v <= kMaxScreenVoltage;
}

std::string typedVoltagesText(const TTube& tube, const std::string& vak, const std::string& vgk,
                              const std::string& vg2, char decimalSeparator) {
    const auto Vak = readTypedNumber(vak, decimalSeparator, false);
    if (!Vak)
        return "Invalid Vak";
    const auto Vgk = readTypedNumber(vgk, decimalSeparator, false);
    if (!Vgk)
        return "Invalid Vgk";
    if (*Vgk > 0)
        return "Vgk must be null or negative";
    double Vs = 0;
    if (isPentode(tube)) {
        const auto v = readTypedNumber(vg2, decimalSeparator, false);
        if (!v || *v <= 0) // the pentode equation divides by the screen voltage
            return "Invalid Vg2";
        Vs = *v;
    }
    const double rho = nkRo(tube.constants(), *Vak, *Vgk, Vs);
    const double gm = nkGm(tube.constants(), *Vak, *Vgk, Vs);
    const double ia = nkCurrent(tube.constants(), *Vgk, *Vak, Vs);
    if (isPentode(tube))
        return strFormat("Ia=%.3fmA  Ie=%.3fmA    Pa=%.0fmW\n\nRi~%.0fkΩ  gm~%.1fma/V  µ~%.0f", ia * 1000,
                         nkScreenCurrent(tube.constants(), *Vgk, Vs) * 1000, *Vak * ia * 1000, rho / 1000,
                         gm * 1000, rho * gm);
    return strFormat("Ia=%.3fmA     P=%.0fmW\n\nRi~%.0fkΩ  gm~%.1fma/V  µ~%.0f", ia * 1000, *Vak * ia * 1000,
                     rho / 1000, gm * 1000, rho * gm);
}
