// The charts of the anode-curves window: anode or transfer characteristics and the gm / rho / mu
// chart, painted from the values computed by model/anode_charts.
#pragma once

#include "model/anode_charts.h"

#include <QImage>
#include <QSize>

// Chart units to pixels with a 50-pixel margin: Va (0 at the left) or Vg (Vgmin at the left,
// 0 V at the right) across, Ia up.
struct AnodeFrame {
    double W = 0, H = 0;
    bool transfer = false;
    double Iamax = 0, Vamax = 0, Vgmin = 0;
    double x(double value) const;
    double y(double Ia) const;
};
AnodeFrame anodeFrame(const AnodeChart& chart, QSize size);

// Ia across, each quantity up on its own full scale.
struct MultiFrame {
    double W = 0, H = 0;
    double Iamax = 0;
    double x(double Ia) const;
    double y(double value, double fullScale) const;
};

QImage drawAnodeChart(const AnodeChart& chart, QSize size, double scale);
QImage drawMultiChart(const MultiChart& chart, QSize size, double scale);
