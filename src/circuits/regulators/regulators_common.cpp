// Shared pieces of the voltage regulators and the current sink.
#include "circuits/regulators/regulators_common.h"

#include "util/format.h"

namespace regulators {

std::string iterationsHeading(const std::string& title, int iterations) {
    return reportHeader(title) + strFormat(" %d iterations", iterations);
}

void stopWithDialog(SolveResult& result, const std::string& message) {
    result.messages.push_back(message);
    result.ok = false;
}

std::string ballastMessage(double Imax, double Vak) {
    return strFormat("The ballast tube cannot deliver a current larger than %.1fmA @ Vak = %.0fV and Vgk=0V",
                     1000 * Imax, Vak);
}

std::string tubeParameterBlock(const TTube& T) {
    return "<br>" + T.Reference() + " " + T.ModelName() + tubeParameterLine(T, false);
}

void addOwnVerdict(std::string& report, bool passed, const char* line) {
    if (!passed)
        addLineOnce(report, errorLine(line));
}

} // namespace regulators
