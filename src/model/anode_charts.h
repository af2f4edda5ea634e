// The characteristics charts of one tube model: anode curves Ia(Va), transfer curves Ia(Vg), the
// gm / rho / mu chart, the table of computed points and the read-out texts. Values only; painting is
// elsewhere.
#pragma once

#include "model/tube.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The screen-grid voltages a chart is drawn for. 10 V is the window's own minimum; 800 V is the highest
// supply any circuit sheet takes, so no circuit here can feed a screen more. Far above it the pentode
// equation gives currents of thousands of amperes that no plot scale holds.
constexpr double kMinScreenVoltage = 10;
constexpr double kMaxScreenVoltage = 800;

// Va of a table row that separates two curves (any negative Va marks one).
constexpr double kAnodeSeparatorVa = -1.875;

struct AnodeRow {
    double Va = 0; // V
    double Vg = 0; // V
    double Ia = 0; // A
    bool separator() const { return Va < 0; }
};

struct ChartPoint {
    double x = 0; // in the chart's units: V (anode or grid) or A
    double y = 0;
};

enum class TextAnchor { Left, Right, Centre };

// A text placed at a point of the chart, in the chart's units.
struct ChartLabel {
    double x = 0;
    double y = 0;
    std::string text;
    TextAnchor anchor = TextAnchor::Left;
};

// A mark of the horizontal axis: value, label (may be empty) and whether it is a major line
// (black, reaching below the axis) or a thin teal one.
struct AxisTick {
    double value = 0;
    std::string label;
    bool major = false;
};

struct AnodeCurve {
    std::vector<ChartPoint> points; // (Va, Ia) or (Vg, Ia)
    ChartLabel label;
};

// The anode or transfer characteristics with the scale the read-out uses.
struct AnodeChart {
    bool transfer = false;
    bool pentode = false;
    std::string title;
    double Iamax = 0;
    double Vamax = 0;
    double Vgmin = 0;
    double Vg2 = 0;
    double currentStep = 0;
    std::vector<double> currentTicks; // A: step, 2 step, ... up to Iamax
    std::vector<AxisTick> xTicks;     // Va (anode chart) or Vg (transfer chart)
    std::vector<AnodeCurve> curves;
    std::vector<AnodeRow> rows; // every computed point, a separator after each curve
};

// One anode voltage of the gm / rho / mu chart.
struct MultiSeries {
    double Va = 0;
    std::vector<ChartPoint> gm;  // (Ia, gm in A/V)
    std::vector<ChartPoint> rho; // (Ia, rho in ohm)
    std::vector<ChartPoint> mu;  // (Ia, mu)
    std::string gmLabel, rhoLabel, muLabel;
};

struct MultiChart {
    std::string title;
    double Iamax = 0;
    double currentStep = 0;
    std::vector<double> currentTicks;
    double gmFull = 0;  // A/V
    double rhoFull = 0; // ohm
    double muFull = 0;
    std::vector<double> gmTicks;  // A/V, labelled "%0.1f" mA/V
    std::vector<double> rhoTicks; // ohm, labelled "%.0f" kohm
    std::vector<MultiSeries> series;
};

// The most negative grid voltage plotted: the first Vg (steps of -0.25 V) where Ia at Vamax falls
// below Iamax/20, truncated and lowered by one volt.
double anodeVgmin(const TTube& tube, double Vg2);
double anodeCurrentStep(double Iamax);
double anodeGridStep(double Vgmin);    // between anode curves
double transferGridStep(double Vgmin); // between grid-axis marks
std::vector<double> anodeCurrentTicks(double Iamax);

AnodeChart computeAnodeCharacteristics(const TTube& tube, double Vg2);
AnodeChart computeTransferCharacteristics(const TTube& tube, double Vg2);
MultiChart computeMultiChart(const TTube& tube, double Vg2);

std::string anodeChartTitle(const TTube& tube, double Vg2);
std::string anodeWindowCaption(const std::string& model);
std::string computePanelCaption(const TTube& tube, double Vg2);

// Table cells: text and colour (0xRRGGBB) of column 0 (Va), 1 (Vg) or 2 (Ia in mA).
std::string anodeTableCell(const AnodeRow& row, int column);
std::uint32_t anodeTableColour(int column);
// Tab-separated text of the table with CR LF rows and a header, for the clipboard.
std::string anodeTableText(const std::vector<AnodeRow>& rows);

// The operating point under the mouse, from image coordinates; none outside the plot area or
// outside the current scale. value is Va (anode chart) or Vg (transfer chart).
struct ChartClick {
    double Ia = 0;
    double value = 0;
};
std::optional<ChartClick> anodeChartClick(double X, double Y, int W, int H, bool transfer, double Iamax,
                                          double Vamax, double Vgmin);

// The read-out for a point of the chart: markup text and panel colour (0xRRGGBB).
struct InstantReadout {
    std::string text;
    std::uint32_t colour = 0x808080;
    bool solved = false;
};
InstantReadout displayInstant(const TTube& tube, bool transfer, double Ia, double value, double Vg2);

// The "Compute Ia (Vak, Vgk)" panel: the result or the error for the typed texts.
std::string typedVoltagesText(const TTube& tube, const std::string& vak, const std::string& vgk,
                              const std::string& vg2, char decimalSeparator);

// The screen voltage of the window's box: 100 V when it does not hold a number.
double screenVoltageOr100(const std::string& text, char decimalSeparator);
// The screen voltage a drawing uses: the box's number held to kMinScreenVoltage ... kMaxScreenVoltage,
// or 100 V when the box does not hold a number.
double drawingScreenVoltage(const std::string& text, char decimalSeparator);
// Whether a text typed into the screen-voltage box redraws the charts: a number within those bounds.
bool screenVoltageRedraws(const std::string& text, char decimalSeparator);
