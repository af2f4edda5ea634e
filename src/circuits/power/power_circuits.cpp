// Power output stages C37 .. C42: the pieces their solvers share.
#include "circuits/power/power_circuits_common.h"

#include "circuits/catalogue.h"
#include "markup/formatters.h"
#include "solver/sheet_validation.h"
#include "util/format.h"

#include <algorithm>
#include <charconv>

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
