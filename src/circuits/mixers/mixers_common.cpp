// Shared pieces of the dual-triode mixers.
#include "circuits/mixers/mixers_common.h"

#include "markup/formatters.h"
#include "util/format.h"

namespace mixers {

TVoltageStacks branchBar(double raDrop, const TTube& T, const std::string& rk, double rkDrop) {
    TVoltageStacks bar;
    bar.Add("Ra", raDrop, kStackRed);
    bar.Add(T.Reference(), T.Vak(), kStackYellow);
    bar.Add(rk, rkDrop, kStackGreen);
    return bar;
}

std::vector<GridColumn> tubesAndPowerColumns() {
    return columnTable(tubeColumns("1", 1), tubeColumns("2", 1),
                       {{"Ptot", "Ptot (mW)", 0, 1000},
                        {"PT1", "PT1 (mW)", 0, 1000},
                        {"PT2", "PT2 (mW)", 0, 1000},
                        {"PRa", "PRa (mW)", 0, 1000}});
}

void fillTubesAndPowers(GridRow& row, const TTube& T1, const TTube& T2, double Vb, double Ra) {
    const double It = T1.Ia() + T2.Ia();
    row.tube("1", T1).tube("2", T2).set("Ptot", Vb * It).set("PT1", T1.Vak() * T1.Ia());
    row.set("PT2", T2.Vak() * T2.Ia()).set("PRa", Ra * It * It);
}

std::string tubeHeading(const TTube& T) {
    return strFormat("<b>%s %s</b>", T.Reference().c_str(), T.ModelName().c_str());
}

std::string gainLine(const std::string& prefix, const std::string& label, double gain) {
    return prefix + fmtAmplification(label, 1, gain) + dbTail("  ", 1, gain);
}

} // namespace mixers
