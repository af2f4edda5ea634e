// Writes a tube model as a Koren subcircuit with ngspice behavioural sources.
#include "spice/koren_model.h"

#include "spice/spice_values.h"

#include <cctype>

std::string spiceSubcircuitName(const std::string& modelName) {
    std::string out;
    bool gap = false;
    for (unsigned char c : modelName) {
        if (std::isalnum(c) || c == '_') {
            if (gap && !out.empty())
                out += '_';
            out += static_cast<char>(c);
            gap = false;
        } else {
            gap = true;
        }
    }
    return out.empty() ? "TUBE" : out;
}

namespace {
std::string param(const char* name, double value) {
    return std::string(" ") + name + "=" + spiceNumber(value);
}

// ln(1 + e^x) written so that a large x (a positive grid during ngspice's iterations) cannot overflow.
std::string softplus(const std::string& x) {
    return "((" + x + ") > 50 ? (" + x + ") : ln(1+exp(" + x + ")))";
}

// A comment line of the model's comment text (one per line of it).
std::string commentLines(const std::string& comment) {
    std::string out;
    std::string line;
    for (char c : comment + "\n") {
        if (c == '\n') {
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            if (!line.empty())
                out += "* Comment: " + line + "\n";
            line.clear();
        } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
            line += c;
        }
    }
    return out;
}
} // namespace

std::string spiceModelText(const TubeParams& p) {
    const bool pentode = p.t35 == 5;
    const std::string name = spiceSubcircuitName(p.name);
    std::string s;
    s += "* Valvenix tube model \"" + p.name + "\": Koren " + (pentode ? "pentode" : "triode") + "\n";
    s += commentLines(p.comment);
    if (pentode) {
        s += "* Ia = 2*E1^EX/KG1*atan(V(A,K)/KVB), E1 = V(S,K)/KP*ln(1+exp(KP*(1/MU+V(G,K)/V(S,K))))\n";
        s += "* Is = (V(S,K)/MU+V(G,K))^1.5/KG2; no grid current\n";
        s += ".subckt " + name + " A G S K\n";
    } else {
        s += "* Ia = 2*E1^EX/KG1, E1 = V(A,K)/KP*ln(1+exp(KP*(1/MU+V(G,K)/sqrt(KVB+V(A,K)^2)))); no grid "
             "current\n";
        s += ".subckt " + name + " A G K\n";
    }
    s += ".param" + param("MU", p.mu) + param("EX", p.ex) + param("KG1", p.kg1) + param("KP", p.kp) +
         param("KVB", p.kvb) + (pentode ? param("KG2", p.kg2) : std::string()) + "\n";
    s += ".param" + param("CGK", p.cgk) + param("CGA", p.cga) + param("CAK", p.cak) + "\n";
    s += ".param" + param("PMAX", p.pmax) + param("IMAX", p.imax) + param("VMAX", p.vmax);
    if (pentode)
        s += param("PG2MAX", p.pemax) + param("VG2MAX", p.vemax);
    s += "\n";
    if (pentode) {
        s += "BE1 E1 0 V = V(S,K) > 1e-6 ? V(S,K)/KP*" + softplus("KP*(1/MU+V(G,K)/V(S,K))") + " : 0\n";
        s += "RE1 E1 0 1g\n";
        s += "BA A K I = (pwr(V(E1),EX)+abs(pwr(V(E1),EX)))/KG1*atan(V(A,K)/KVB)\n";
        s += "BS S K I = (pwr(V(S,K)/MU+V(G,K),1.5)+abs(pwr(V(S,K)/MU+V(G,K),1.5)))/(2*KG2)\n";
    } else {
        s += "BE1 E1 0 V = V(A,K)/KP*" + softplus("KP*(1/MU+V(G,K)/sqrt(KVB+V(A,K)*V(A,K)))") + "\n";
        s += "RE1 E1 0 1g\n";
        s += "BA A K I = (pwr(V(E1),EX)+abs(pwr(V(E1),EX)))/KG1\n";
    }
    // A capacitance of 0 is left out: the parameter still carries it.
    if (p.cgk > 0)
        s += "CGK G K {CGK}\n";
    if (p.cga > 0)
        s += "CGA G A {CGA}\n";
    if (p.cak > 0)
        s += "CAK A K {CAK}\n";
    s += ".ends " + name + "\n";
    return s;
}
