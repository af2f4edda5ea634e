// The two calculators of the tools window, as texts for its read-outs: the resistive divider and
// the corner frequency of an RC pair. Numbers are read and written in the user's locale.
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

struct DividerReadout {
    QString V2; // "%0.1f V"
    QString R1; // "%0.2f kΩ"
    QString R2; // "%0.2f kΩ"
};

// V2 = P·V1/M, R2 = V2·T/V1, R1 = T − R2 for the input V1, the total T = R1 + R2 and the scroll bar
// at P of M. None when a box does not hold a number or the divider has no scale (V1 or M zero).
std::optional<DividerReadout> dividerReadout(const QString& V1, const QString& T, int P, int M,
                                             const QLocale& locale = QLocale());

// The scroll bar's maximum for the text of V1: an integer of at least 1, none otherwise.
std::optional<int> dividerMaximum(const QString& V1, const QLocale& locale = QLocale());

struct RcReadout {
    QString F;   // the -3 dB frequency, "<number> Hz"; empty unless R and C are positive numbers
    QString Tau; // the time constant, "<number> s"
};
RcReadout rcReadout(const QString& R, const QString& C, const QLocale& locale = QLocale());
