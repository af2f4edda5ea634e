// Verdict lines at the head of a report and the check of a stack of series voltages.
#pragma once

#include "solver/voltage_stacks.h"

#include <string>

// True when the supply and the sum of the stacked voltages differ by less than tolerance.
bool stackCheck(double tolerance, double supply, double sum);
// The sum of a stack's voltages, for stackCheck.
double stackSum(const TVoltageStacks& stacks);

// Appends to texte the red lines of the failed checks, in a fixed order ("No convergence !" first
// when any check failed) and returns whether all five checks passed.
bool verdicts(std::string& texte, bool loadLineOk, bool operatingPointOk, bool vgkOk, bool stacksOk,
              bool iterationsOk);
