// Verdict lines and the stacked-voltage check.
#include "solver/verdicts.h"

#include <cmath>

bool stackCheck(double tolerance, double supply, double sum) {
    return std::fabs(supply - sum) < tolerance;
}

double stackSum(const TVoltageStacks& stacks) {
    double sum = 0;
    for (const TItem& item : stacks.Items)
        sum += item.valeur;
    return sum;
}

bool verdicts(std::string& texte, bool loadLineOk, bool operatingPointOk, bool vgkOk, bool stacksOk,
              bool iterationsOk) {
    const bool ok = loadLineOk && operatingPointOk && vgkOk && stacksOk && iterationsOk;
    const auto line = [&texte](bool good, const char* message) {
        if (!good)
            texte += std::string("<br><css=error>") + message + "</css>";
    };
    line(ok, "No convergence !");
    line(loadLineOk, "Tube out of loadline");
    line(operatingPointOk, "Wrong operating point");
    line(vgkOk, "Vgk > 0");
    line(stacksOk, "Wrong stacked voltages");
    line(iterationsOk, "Too many iterations");
    return ok;
}
