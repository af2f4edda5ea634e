// The per-stage table of a bandwidth run (peak frequency, then each decade from 1 Hz), shared by
// the classic and the phase-exact runs: they differ only in how the chain is evaluated and read.
#pragma once

#include "frequency/bode_data.h"
#include "frequency/bode_options.h"
#include "frequency/quadripole.h"

#include <string>
#include <vector>

std::vector<double> frequencyList(double fmin, double fmax);

// A run's data before the sweep: what it was asked, and its frequency list.
inline BodeData bodeRunStart(const std::string& title, const TLegendes& legends, const std::string& tag,
                             double beta, double fmax, double fmin) {
    BodeData data;
    data.title = title;
    data.tag = tag;
    data.beta = beta;
    data.legends = legends;
    data.freqs = frequencyList(fmin, fmax);
    return data;
}

// evaluate(f) runs the chain at f without feedback; gainOf(q, output) and zinOf(q) read a two-port's
// gain magnitude and input-impedance magnitude of that evaluation.
template <class Evaluate, class GainOf, class ZinOf>
void fillStageTable(BodeData& data, std::vector<TQuadripole>& quads, const TLegendes& legends,
                    Evaluate evaluate, GainOf gainOf, ZinOf zinOf) {
    data.table.clear();
    for (const double f : {data.fpk, 1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0}) {
        evaluate(f);
        std::size_t p = 0;
        for (const TQuadripole& q : quads)
            for (int out = 0; out < q.outputs(); ++out, ++p) {
                TDataQP row;
                if (p < legends.size()) {
                    row.titre = legends[p].titre;
                    row.couleur = legends[p].color;
                } else {
                    row.couleur = legendColour(p);
                }
                row.nature = q.typeText();
                row.freq = f;
                row.av = gainOf(q, out);
                row.zin = zinOf(q);
                data.table.push_back(row);
            }
        TDataQP separator;
        separator.separator = true;
        data.table.push_back(separator);
    }
}
