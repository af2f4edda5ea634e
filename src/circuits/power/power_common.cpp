// The pieces the output stages C37 .. C42 share.
#include "circuits/power/power_common.h"

#include "circuits/catalogue.h"
#include "circuits/grid_row.h"
#include "markup/formatters.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace power_stage {

namespace {

int leadingInt(const std::string& text, int fallback) {
    int v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && ptr != text.data() ? v : fallback;
}

// A decimal number in the user's locale: digits with the locale's separator, nothing else.
bool readDecimal(std::string text, const NumberLocale& locale, double& value) {
    for (char& c : text)
        if (c == locale.decimalSeparator)
            c = '.';
        else if (c == '.')
            return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr == last && first != last;
}

} // namespace

std::vector<GridColumn> columns() {
    return columnTable({textColumn("model", "T1"),
                        {"Vb", "Vb (V)"},
                        {"Vg", "Vg (V)", 1},
                        {"Rk", "Rk (Ω)"},
                        {"Rp", "Rp (Ω)"},
                        {"Zt", "Zt (Ω)"},
                        textColumn("yield", "TR yield (%)")},
                       tubeColumns("", 0, 2, 1),
                       {{"Pdc", "Pdc (W)", 1},
                        {"swing", "Vg swing (V)", 1},
                        {"Pout", "Pout (W)", 1},
                        {"Imoy", "Ia max (mA)", 1, 1000},
                        {"Y", "Yield (%)", 2}});
}

FieldRange selfBiasCathodeResistor() {
    return {"EdRk", 10, 1000, "Cathode resistor must be 10 to 1000\u03a9"};
}

FieldRange fixedGridBias() {
    return {"EdVg", -std::numeric_limits<double>::infinity(), 0,
            "Voltage on grid 1 must be negative or null"};
}

int parallelCount(const SheetValues& sheet) {
    return std::clamp(leadingInt(sheet.text("LBparallel"), 1), 1, 4);
}

double transformerYield(const SheetValues& sheet) {
    const int percent = leadingInt(sheet.text("LBYt"), 100);
    return percent > 0 && percent <= 100 ? percent / 100.0 : 1.0;
}

std::optional<AdvancedPowerParams> advancedParams(const SolveRequest& rq, SolveResult& rs) {
    const std::optional<AdvancedPowerSetup>& setup = circuitInfo(rq.circuit).advanced;
    std::string kzaText = setup ? withDecimalSeparator(setup->kza, rq.locale) : "1";
    std::string kzbText = setup ? withDecimalSeparator(setup->kzb, rq.locale) : "0.2";
    int fonction = setup ? setup->fonction : 3;
    if (const SheetControl* c = rq.sheet.find("LEDkza"))
        kzaText = c->text;
    if (const SheetControl* c = rq.sheet.find("LEDkzb"))
        kzbText = c->text;
    if (const SheetControl* c = rq.sheet.find("RGfonction"); c && c->selected >= 0 && c->selected <= 3)
        fonction = c->selected;

    AdvancedPowerParams p;
    bool ok = true;
    if (!readDecimal(kzaText, rq.locale, p.kza)) {
        rs.messages.push_back(notANumberMessage("LEDkza", kzaText));
        ok = false;
    }
    if (!readDecimal(kzbText, rq.locale, p.kzb)) {
        rs.messages.push_back(notANumberMessage("LEDkzb", kzbText));
        ok = false;
    }
    p.fonction = static_cast<LoadFunction>(fonction);
    if (!ok)
        return std::nullopt;
    return p;
}

std::string powerHeader(const std::string& title, int passes) {
    if (passes < 0)
        return strFormat("<b>%s</b>", title.c_str());
    return strFormat("<b>%s</b><br>%d iterations", title.c_str(), passes);
}

std::string powerSupplyLine(double Vb, double I, int tubes, bool boldCount) {
    std::string line = strFormat("<br>Total power supply %s  %s  %s", fmtVoltage("", 0, Vb).c_str(),
                                 fmtCurrent("", 0, 1000 * I).c_str(), fmtPowerW("", 1, Vb * I).c_str());
    if (tubes > 0)
        line += strFormat(boldCount ? " (over <b>%d</b> tubes)" : " (over %d tubes)", tubes);
    return line;
}

void traceRepeated(TFormConvergence* trace, int lastPass, int maxPasses, double value) {
    for (int pass = lastPass + 1; pass <= maxPasses; ++pass)
        tracePoint(trace, pass, value);
}

SingleEndedSheet readSingleEnded(const SheetValues& sheet) {
    return {clampSupply(sheet.num("EdVb")),
            sheet.num("EdRp"),
            sheet.num("EdRa"),
            sheet.num("EdVg"),
            sheet.num("EdRk"),
            parallelCount(sheet),
            transformerYield(sheet)};
}

double startHigh(double zeroBiasCurrent, double Vb, double Rdc) {
    double hi = zeroBiasCurrent / 2;
    if (Rdc > 0 && hi > Vb / Rdc)
        hi = Vb / Rdc;
    return hi;
}

PowerData analyseSingleEnded(const SolveRequest& rq, const TTube& T1, const SingleEndedSheet& s, double Ia,
                             double Vgk) {
    PowerData power = calculSE(T1, s.n, Ia, s.Yt, s.Rk, s.Ra, s.Rp, Vgk, s.Vb);
    power.circuit = rq.circuit;
    return power;
}

void logSingleEnded(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const SingleEndedSheet& s,
                    double Ia, double Vak, PowerData power) {
    GridRow row(rq);
    row.text("model", strFormat("%dx %s", s.n, T1.ModelName().c_str()));
    row.set("Vb", s.Vb).set("Vg", s.Vg).set("Rk", s.Rk).set("Rp", s.Rp).set("Zt", s.Ra);
    row.text("yield", strFormat("%.0f%%", 100 * s.Yt));
    row.set("Vak", Vak).set("Vgk", T1.Vgk()).set("Ia", Ia).set("Pdc", s.Vb * Ia);
    // The last cycle of the swing analysis; a stage without one has no figures there.
    if (!power.cycles.empty()) {
        const TRecCycle& last = power.cycles.back();
        row.set("swing", last.swing).set("Pout", last.Psec).set("Imoy", last.Imoy).set("Y", last.Y);
    } else {
        row.none("swing").none("Pout").none("Imoy").none("Y");
    }
    rs.gridRow = row.finish(rs.ok);
    rs.power = std::move(power);
}

bool powerVerdict(std::string& report, const PowerData& power) {
    if (!power.cut)
        return true;
    const char* reason = power.cut->notFinite ? "the model gives no finite power"
                                              : "the model gives more power than the supply delivers";
    if (power.cycles.empty())
        report += errorLine(strFormat("No output power figures: %s", reason));
    else
        report += errorLine(strFormat("Output power figures stop short of a %.1f V swing: there %s",
                                      std::fabs(power.cut->swing), reason));
    return false;
}

bool safeAreaVerdict(std::string& report, const TTube& T1, int npar) {
    if (T1.displayOP(npar).find("SOA issue") == std::string::npos)
        return true;
    report += errorLine(strFormat("%s outside its safe operating area at rest", T1.Reference().c_str()));
    return false;
}

PushPullSheet readPushPull(const SheetValues& sheet) {
    return {clampSupply(sheet.num("EdVb")), sheet.num("EdZaa"), parallelCount(sheet),
            transformerYield(sheet)};
}

void setSheetLabel(const SolveRequest& rq, SolveResult& rs, const std::string& name,
                   const std::string& text) {
    if (rq.sheet.find(name))
        rs.setLabel(name, text);
}

void captionFixedBias(TFormConvergence* trace, const TTube& T1) {
    if (trace)
        trace->caption = strFormat("C%d - %s %s", trace->Tag, T1.Reference().c_str(), T1.ModelName().c_str());
}

bool DampedSearch::step(double Ia, double I) {
    const double e = Ia - I - tolerance;
    if (Ia > I + tolerance)
        lo += 0.1 * e;
    else if (Ia < I - tolerance)
        hi += 0.1 * e;
    return std::fabs(Ia - I) < tolerance || lo > hi;
}

PowerData analysePushPull(const SolveRequest& rq, const TTube& T1, const PushPullSheet& s,
                          const AdvancedPowerParams& adv, double Rk, double Vek, double Vgk) {
    const PushPullBias bias =
        circuitInfo(rq.circuit).power->selfBiased ? PushPullBias::SelfBiased : PushPullBias::FixedGrid;
    PowerData power = calculPP(T1, s.n, bias, adv, s.Yt, Rk, s.Zaa, Vek, Vgk, s.Vb);
    power.circuit = rq.circuit;
    return power;
}

void keepPushPull(const SolveRequest& rq, SolveResult& rs, const TTube& T1, const PushPullSheet& s,
                  const PushPullRow& r, PowerData power) {
    GridRow row(rq);
    row.text("model", strFormat("%dx %s", 2 * s.n, T1.ModelName().c_str()));
    row.set("Vb", s.Vb).set("Vg", r.Vg).none("Rp").set("Zt", s.Zaa);
    if (r.Rk)
        row.set("Rk", *r.Rk);
    else
        row.none("Rk");
    row.text("yield", strFormat("%.0f%%", 100 * s.Yt));
    row.set("Vak", r.Vak).set("Vgk", r.Vgk).set("Ia", r.I).set("Pdc", s.Vb * r.supplyCurrent);
    // The last cycle; its swing is the grid-to-grid peak (stored negative).
    if (!power.cycles.empty()) {
        const TRecCycle& last = power.cycles.back();
        row.set("swing", std::fabs(last.swing))
            .set("Pout", last.Psec)
            .set("Imoy", last.Imoy)
            .set("Y", last.Y);
    } else {
        row.none("swing").none("Pout").none("Imoy").none("Y");
    }
    rs.gridRow = row.finish(rs.ok);
    if (!power.converged)
        rs.messages.emplace_back("Some steps did not converge properly");
    rs.power = std::move(power);
}

} // namespace power_stage
