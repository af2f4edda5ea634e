// The DC load-line diagram of one tube: load line, limits, dissipation hyperbola, the anode curves at
// the operating grid voltage and at 0 V, and the operating point.
#pragma once

#include "solver/solve.h"

#include <QImage>
#include <QPointF>
#include <QSize>

#include <vector>

// Volts and amperes to pixels with a 60-pixel margin on every side.
struct LoadLineFrame {
    double W, H, Imax, Vmax;
    double x(double V) const;
    double y(double I) const;
    QPointF at(double V, double I) const { return {x(V), y(I)}; }
};

// Points (V, A) of the anode curve at Vgk: every 2 V from 0 while the next voltage stays below Vmax,
// the last current below Imax and the next voltage times the last current below Pamax.
std::vector<QPointF> loadLineAnodeCurve(const TTube& model, double Vgk, double Imax, double Vmax);
// Points (V, A) of I = Pamax / V from V = Pamax / Iamax, then every 2 V while V < Vamax.
std::vector<QPointF> dissipationHyperbola(double Pamax, double Iamax, double Vamax);

QImage drawLoadLine(const LoadLineData& data, QSize size, double scale);
