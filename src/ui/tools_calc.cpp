// Divider and RC corner read-outs.
#include "ui/tools_calc.h"

#include <cmath>
#include <numbers>

namespace {
std::optional<double> number(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double v = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

std::optional<DividerReadout> dividerReadout(const QString& V1text, const QString& Ttext, int P, int M,
                                             const QLocale& locale) {
    const auto V1 = number(V1text, locale);
    const auto T = number(Ttext, locale);
    if (!V1 || !T || *V1 == 0 || M <= 0)
        return std::nullopt;
    const double V2 = P * *V1 / M;
    const double R2 = V2 * *T / *V1;
    const double R1 = *T - R2;
    return DividerReadout{locale.toString(V2, 'f', 1) + " V", locale.toString(R1 / 1000, 'f', 2) + " k\u03a9",
                          locale.toString(R2 / 1000, 'f', 2) + " k\u03a9"};
}

std::optional<int> dividerMaximum(const QString& V1, const QLocale& locale) {
    bool ok = false;
    const int v = locale.toInt(V1.trimmed(), &ok);
    if (!ok || v < 1)
        return std::nullopt;
    return v;
}

RcReadout rcReadout(const QString& Rtext, const QString& Ctext, const QLocale& locale) {
    const auto R = number(Rtext, locale);
    const auto C = number(Ctext, locale);
    if (!R || !C || !(*R > 0) || !(*C > 0))
        return {};
    const double tau = *R * *C;
    const double f = 1 / (2 * std::numbers::pi * tau);
    return {locale.toString(f, 'g', 6) + " Hz", locale.toString(tau, 'g', 6) + " s"};
}
