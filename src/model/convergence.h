// The record of one bias solve: the successive iterates and the caption naming the result.
// Solvers fill it only when they are given one; the picture is drawn by the plots layer.
#pragma once

#include <string>
#include <vector>

struct TFormConvergence {
    int Tag = 0;                     // circuit number
    std::string caption = "Wait..."; // the trace title once the solver has finished
    std::vector<double> Points;      // x0, y0, x1, y1, ... (iteration index, current in A)

    void AddPoint(double x, double y) {
        Points.push_back(x);
        Points.push_back(y);
    }
    std::size_t count() const { return Points.size() / 2; }
};

// Adds a point only when a trace is being recorded.
inline void tracePoint(TFormConvergence* trace, double x, double y) {
    if (trace)
        trace->AddPoint(x, y);
}
