// The picture of a parameter sweep: one grid column against the swept field's value.
#pragma once

#include "circuits/sweep.h"

#include <QImage>
#include <QSize>

#include <string>
#include <vector>

// Tick values of an axis from lo to hi: 1, 2 or 5 times a power of ten apart on a linear axis
// (about `target` of them), the powers of ten on a logarithmic one (with 2 and 5 when few).
std::vector<double> sweepAxisTicks(double lo, double hi, bool log, int target = 6);

// The series as points joined by a line, axes with ticks, the field and column as captions and the
// circuit's code in the title. A series without points draws the frame and "No value to plot".
QImage drawSweep(const SweepSeries& series, const std::string& circuitCode, QSize size, double scale);
