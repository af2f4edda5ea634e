// The pieces every report is built from, written once: the heading with its grey footer line, the
// supply line, the decibel figure of a gain and the line of a tube's small-signal parameters.
#pragma once

#include "model/tube.h"

#include <string>

// "<color=909090>Valvenix</color>": the grey line under every report title.
extern const char* const kReportFooter;

// "<b>title</b><br>" and the footer line: the heading of a DC report.
std::string reportHeader(const std::string& title);

// "<br>Total power supply V  I  P" for the supply Vb delivering the current I (A): volts without
// decimals, milliamperes with one, milliwatts without. `lead` starts the line.
std::string supplyLine(double Vb, double I, const std::string& lead = "<br>");

// The decibel figure 20·log10|gain| with the given decimals, or nothing for a gain of 0 or a gain
// that is not finite (a stage that passes nothing has no figure: never "-inf").
std::string dbFigure(int decimals, double gain);
// The same figure as "<sep><css=db>x.xdB</css>", or nothing when there is no figure.
std::string dbTail(const std::string& separator, int decimals, double gain);

// "ρ~ x   gm~ y  => µ~ z" of a tube's small-signal parameters (ρ in Ω, gm in A/V); the
// transconductance label differs between sheets ("gm~", "g<SUB>m</SUB>~").
std::string parameterTriple(double rho, double gm, double mu, const std::string& gmLabel = "gm~");

// The title-less tube parameter line "<br>  " + the triple of the tube; the common-cathode block
// spaces it "ρ~  gm~  µ~" without the arrow. gmLabel as in parameterTriple.
std::string tubeParameterLine(const TTube& T, bool commonCathode, const std::string& gmLabel = "gm~");
