// One row of the tube-model table: the constants of the NK equations and the limits of a tube type.
#pragma once

#include <string>

struct TubeParams {
    std::string name;
    std::string comment;
    double kp = 0;
    double mu = 0;
    double kvb = 0;
    double ex = 0;
    double kg1 = 0;
    double pmax = 0;
    double imax = 0;
    double vmax = 0;
    double kg2 = 0;
    double cgk = 0;
    double cga = 0;
    double cak = 0;
    int t35 = 0; // 3 = triode, 5 = pentode or beam tetrode
    double pemax = 0;
    double vemax = 0;
};
