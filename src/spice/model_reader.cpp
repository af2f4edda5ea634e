// The Koren subcircuit reader: statements, parameters, then the patterns of the Koren expressions.
#include "spice/model_reader.h"

#include "spice/spice_values.h"

#include <cctype>
#include <cmath>
#include <map>
#include <sstream>

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string withoutBlanks(const std::string& s) {
    std::string out;
    for (char c : s)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

// The statements of a netlist: continuation lines joined, comments and inline comments dropped, in
// lower case.
std::vector<std::string> statements(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        for (char& c : line)
            if (c == '\r' || c == '\t')
                c = ' ';
        const auto start = line.find_first_not_of(' ');
        if (start == std::string::npos)
            continue;
        line.erase(0, start);
        if (line[0] == '*')
            continue;
        for (const char* mark : {";", "$ ", "//"}) {
            const auto at = line.find(mark);
            if (at != std::string::npos)
                line.erase(at);
        }
        line = lower(line);
        if (line[0] == '+') {
            if (!out.empty())
                out.back() += " " + line.substr(1);
        } else {
            out.push_back(line);
        }
    }
    return out;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string w;
    while (in >> w)
        out.push_back(w);
    return out;
}

using Params = std::map<std::string, double>;

// "name = value" pairs of a parameter list (blanks around '=' allowed, braces around the value).
void readAssignments(const std::string& list, Params& params) {
    std::string s;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == ' ') {
            const auto prev = s.empty() ? ' ' : s.back();
            const auto next = list.find_first_not_of(' ', i);
            if (prev == '=' || (next != std::string::npos && list[next] == '='))
                continue;
        }
        s += list[i];
    }
    for (std::string w : words(s)) {
        const auto eq = w.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        const std::string name = w.substr(0, eq);
        std::string value = w.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '{' && value.back() == '}')
            value = value.substr(1, value.size() - 2);
        if (const auto v = parseSpiceNumber(value))
            params[name] = *v;
        else if (const auto ref = params.find(value); ref != params.end())
            params[name] = ref->second;
    }
}

// Reads a term (a number, or a parameter name, perhaps in braces) at `at`; moves `at` past it.
std::optional<double> term(const std::string& s, std::size_t& at, const Params& params) {
    std::size_t i = at;
    const bool brace = i < s.size() && s[i] == '{';
    if (brace)
        ++i;
    const std::size_t begin = i;
    if (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) {
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.' ||
                                ((s[i] == '-' || s[i] == '+') && s[i - 1] == 'e')))
            ++i;
        const auto v = parseSpiceNumber(s.substr(begin, i - begin));
        if (!v)
            return std::nullopt;
        at = i + (brace && i < s.size() && s[i] == '}' ? 1 : 0);
        return v;
    }
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_'))
        ++i;
    if (i == begin)
        return std::nullopt;
    const auto p = params.find(s.substr(begin, i - begin));
    if (p == params.end())
        return std::nullopt;
    at = i + (brace && i < s.size() && s[i] == '}' ? 1 : 0);
    return p->second;
}

// The index just past the parenthesis that closes the one opened before `open` (s[open-1] == '(').
std::size_t closing(const std::string& s, std::size_t open) {
    int depth = 1;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == '(')
            ++depth;
        else if (s[i] == ')' && --depth == 0)
            return i + 1;
    }
    return std::string::npos;
}

// The index of the comma at depth 0 of the call whose arguments begin at `open`.
std::size_t argumentComma(const std::string& s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size(); ++i) {
        if (s[i] == '(')
            ++depth;
        else if (s[i] == ')' && --depth < 0)
            return std::string::npos;
        else if (s[i] == ',' && depth == 0)
            return i;
    }
    return std::string::npos;
}

// The two nodes of the "v(x,y)" at `at`, or none.
std::optional<std::pair<std::string, std::string>> voltage(const std::string& s, std::size_t at) {
    if (s.compare(at, 2, "v(") != 0)
        return std::nullopt;
    const auto comma = s.find(',', at);
    const auto end = s.find(')', at);
    if (comma == std::string::npos || end == std::string::npos || comma > end)
        return std::nullopt;
    return std::make_pair(s.substr(at + 2, comma - at - 2), s.substr(comma + 1, end - comma - 1));
}

// Everything found in the expressions of the body.
struct Expressions {
    std::optional<double> mu, ex, kg1, kp, kvb, kg2;
    std::string anode, grid, cathode; // nodes, as the expressions use them
    Kg1Convention convention = Kg1Convention::Unknown;
};

Expressions readExpressions(const std::string& body, const Params& params, bool pentode) {
    Expressions e;
    // KP and MU: ...log(1+exp(KP*(1/MU+v(g,k)/...
    for (const char* ln : {"log(1+exp(", "ln(1+exp("}) {
        const auto at = body.find(ln);
        if (at == std::string::npos)
            continue;
        std::size_t i = at + std::string(ln).size();
        e.kp = term(body, i, params);
        if (e.kp && body.compare(i, 4, "*(1/") == 0) {
            i += 4;
            e.mu = term(body, i, params);
            if (e.mu && i < body.size() && body[i] == '+')
                if (const auto v = voltage(body, i + 1)) {
                    e.grid = v->first;
                    e.cathode = v->second;
                }
        }
        break;
    }
    // KVB: sqrt(KVB+v(a,k)...) for a triode, atan(v(a,k)/KVB) for a pentode.
    if (!pentode) {
        if (auto at = body.find("sqrt("); at != std::string::npos) {
            std::size_t i = at + 5;
            e.kvb = term(body, i, params);
            if (e.kvb && i < body.size() && body[i] == '+')
                if (const auto v = voltage(body, i + 1))
                    e.anode = v->first;
        }
    } else if (auto at = body.find("atan(v("); at != std::string::npos) {
        if (const auto v = voltage(body, at + 5)) {
            e.anode = v->first;
            std::size_t i = body.find(')', at + 5) + 1;
            if (i < body.size() && body[i] == '/') {
                ++i;
                e.kvb = term(body, i, params);
            }
        }
    }
    // EX and KG1: the first power call of the anode current, and the divisor after the last one.
    std::size_t first = std::string::npos, last = std::string::npos;
    int calls = 0;
    for (const char* call : {"pwr(", "pwrs(", "pow("}) {
        for (auto at = body.find(call); at != std::string::npos; at = body.find(call, at + 1)) {
            if (at > 0 && std::isalpha(static_cast<unsigned char>(body[at - 1])))
                continue;
            const std::size_t open = at + std::string(call).size();
            const auto comma = argumentComma(body, open);
            if (comma == std::string::npos)
                continue;
            std::size_t i = comma + 1;
            const auto exponent = term(body, i, params);
            // The screen current's 3/2 power of a sum (V(S,K)/MU+V(G,K)) is not the anode's.
            if (!exponent || body.substr(open, comma - open).find('+') != std::string::npos)
                continue;
            if (first == std::string::npos || at < first) {
                first = at;
                e.ex = exponent;
            }
            const auto end = closing(body, open);
            if (end != std::string::npos && (last == std::string::npos || end > last))
                last = end;
            ++calls;
        }
    }
    if (last != std::string::npos) {
        std::size_t i = last;
        while (i < body.size() && body[i] == ')')
            ++i;
        if (i < body.size() && body[i] == '/') {
            ++i;
            e.kg1 = term(body, i, params);
        }
        // Two power terms (PSpice's pwr + pwrs, ngspice's pwr + abs(pwr)) or a factor 2: Koren's form.
        const bool doubled = calls >= 2 || body.compare(first >= 2 ? first - 2 : 0, 2, "2*") == 0 ||
                             body.compare(first >= 3 ? first - 3 : 0, 3, "2*(") == 0;
        e.convention = doubled ? Kg1Convention::Double : Kg1Convention::Single;
    }
    // KG2: the divisor of the screen current's 3/2 power.
    for (auto at = body.find(",1.5)"); at != std::string::npos; at = body.find(",1.5)", at + 1)) {
        std::size_t i = at + 5;
        while (i < body.size() && body[i] == ')')
            ++i;
        if (i < body.size() && body[i] == '/') {
            ++i;
            if (body.compare(i, 3, "(2*") == 0) {
                i += 3;
                if (const auto v = term(body, i, params))
                    e.kg2 = *v; // (pwr + pwrs)/(2*KG2): the plain 3/2 power over KG2
            } else {
                e.kg2 = term(body, i, params);
            }
        }
    }
    return e;
}

struct Limit {
    const char* name;
    double TubeParams::*field;
    double triode, pentode; // usual values when the text has none
    bool pentodeOnly;
};
constexpr Limit kLimits[] = {{"pmax", &TubeParams::pmax, 1, 25, false},
                             {"imax", &TubeParams::imax, 0.02, 0.2, false},
                             {"vmax", &TubeParams::vmax, 300, 600, false},
                             {"pg2max", &TubeParams::pemax, 0, 8, true},
                             {"vg2max", &TubeParams::vemax, 0, 500, true}};

std::string number(double v) {
    return spiceNumber(v);
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

std::string conventionText(Kg1Convention convention) {
    switch (convention) {
    case Kg1Convention::Double:
        return "2*E1^EX/KG1 (Koren's listings)";
    case Kg1Convention::Single:
        return "E1^EX/KG1 (KG1 doubled for Valvenix)";
    default:
        return "unknown";
    }
}

SpiceModelRead readSpiceModel(const std::string& text, Kg1Convention choice) {
    SpiceModelRead r;
    if (text.size() > kMaxSpiceModelBytes) {
        r.error = "The text is too large for a tube model (" + std::to_string(text.size() / 1024) +
                  " kB; a model is a few kB): nothing read.";
        return r;
    }
    const std::vector<std::string> lines = statements(text);
    Params params;
    std::vector<std::string> nodes;
    std::string body;
    std::vector<std::vector<std::string>> capacitors;
    bool inside = false, seen = false;
    for (const std::string& line : lines) {
        const std::vector<std::string> w = words(line);
        if (w.empty())
            continue;
        if (!inside && !seen && w[0] == ".subckt" && w.size() >= 2) {
            inside = seen = true;
            // The subckt's name keeps its case: take it from the original text.
            r.subcircuit = w[1];
            std::size_t i = 2;
            for (; i < w.size() && w[i] != "params:" && w[i].find('=') == std::string::npos; ++i)
                nodes.push_back(w[i]);
            // The parameters after the nodes: "params: a=1 b=2", or the pairs alone.
            if (i < w.size()) {
                const bool keyword = w[i] == "params:";
                const auto at = line.find(w[i], line.find(w[1]) + w[1].size());
                if (at != std::string::npos)
                    readAssignments(line.substr(at + (keyword ? 7 : 0)), params);
            }
            continue;
        }
        if (w[0] == ".param") {
            readAssignments(line.substr(6), params);
            continue;
        }
        if (!inside)
            continue;
        if (w[0] == ".ends") {
            inside = false;
            continue;
        }
        if (w[0][0] == 'c' && w.size() >= 4)
            capacitors.push_back(w);
        body += withoutBlanks(line) + "\n";
    }
    if (!seen) {
        r.error = "No tube model found: the text holds no .subckt of a Koren triode or pentode.";
        return r;
    }
    // Recover the case of the name as written.
    const auto at = lower(text).find(lower(r.subcircuit), lower(text).find(".subckt"));
    if (at != std::string::npos)
        r.subcircuit = text.substr(at, r.subcircuit.size());

    const bool pentode = params.count("kg2") > 0 || body.find("atan(") != std::string::npos;
    const Expressions e = readExpressions(body, params, pentode);
    if (!e.kp && !params.count("kp") && !e.ex && !params.count("ex")) {
        r.error = "No tube model found in .subckt " + r.subcircuit +
                  ": it has neither the Koren parameters (MU, EX, KG1, KP, KVB) nor their equations.";
        return r;
    }

    TubeParams p;
    p.name = r.subcircuit;
    p.t35 = pentode ? 5 : 3;
    std::vector<std::string> missing;
    auto take = [&](const char* name, double& field, const std::optional<double>& literal) {
        if (const auto v = params.find(name); v != params.end()) {
            field = v->second;
            r.found.push_back(upper(name) + " = " + number(field) + " (parameter)");
        } else if (literal) {
            field = *literal;
            r.found.push_back(upper(name) + " = " + number(field) + " (in the equations)");
        } else {
            missing.push_back(name);
        }
    };
    take("mu", p.mu, e.mu);
    take("ex", p.ex, e.ex);
    take("kg1", p.kg1, e.kg1);
    take("kp", p.kp, e.kp);
    take("kvb", p.kvb, e.kvb);
    if (pentode)
        take("kg2", p.kg2, e.kg2);
    if (!missing.empty()) {
        std::string list;
        for (const auto& m : missing)
            list += (list.empty() ? "" : ", ") + upper(m);
        r.error = "The model " + r.subcircuit + " lacks " + list + ": nothing stored.";
        return r;
    }
    if (!(p.kg1 > 0)) {
        r.error =
            "KG1 of " + r.subcircuit + " is " + number(p.kg1) + ": it must be positive. Nothing stored.";
        return r;
    }

    // Capacitances: parameters under Valvenix's or Koren's names, else capacitors between the pins.
    const std::vector<std::pair<double TubeParams::*, std::vector<std::string>>> caps = {
        {&TubeParams::cgk, {"cgk", "ccg", "cgc", "ci"}},
        {&TubeParams::cga, {"cga", "cpg", "cgp", "cag"}},
        {&TubeParams::cak, {"cak", "ccp", "cpk", "cka", "co"}}};
    for (const auto& [field, names] : caps)
        for (const auto& n : names)
            if (const auto v = params.find(n); v != params.end()) {
                p.*field = v->second;
                break;
            }
    for (const auto& c : capacitors) {
        const std::string& a = c[1];
        const std::string& b = c[2];
        std::string value = c[3];
        if (value.size() >= 2 && value.front() == '{' && value.back() == '}')
            value = value.substr(1, value.size() - 2);
        auto v = parseSpiceNumber(value);
        if (!v)
            if (const auto ref = params.find(value); ref != params.end())
                v = ref->second;
        if (!v)
            continue;
        auto is = [&](const std::string& x, const std::string& y) {
            return (a == x && b == y) || (a == y && b == x);
        };
        if (!e.grid.empty() && is(e.grid, e.cathode))
            p.cgk = *v;
        else if (!e.grid.empty() && is(e.grid, e.anode))
            p.cga = *v;
        else if (!e.anode.empty() && is(e.anode, e.cathode))
            p.cak = *v;
    }
    r.found.push_back("Cgk = " + number(p.cgk) + "F, Cga = " + number(p.cga) + "F, Cak = " + number(p.cak) +
                      "F");

    // The convention of KG1.
    Kg1Convention convention = e.convention;
    if (convention == Kg1Convention::Unknown) {
        if (choice == Kg1Convention::Unknown) {
            r.needsConvention = true;
            r.error = "The text of " + r.subcircuit +
                      " does not show how KG1 scales the anode current: 2*E1^EX/KG1 (Koren) or E1^EX/KG1?";
            return r;
        }
        convention = choice;
        r.conventionAssumed = true;
    }
    r.convention = convention;
    if (convention == Kg1Convention::Single)
        p.kg1 *= 2;
    r.found.push_back("anode current " + conventionText(convention) +
                      (r.conventionAssumed ? ", as chosen" : "") + ": KG1 = " + number(p.kg1) +
                      " in Valvenix's form");

    std::string defaults;
    for (const Limit& l : kLimits) {
        if (l.pentodeOnly && !pentode)
            continue;
        if (const auto v = params.find(l.name); v != params.end()) {
            p.*(l.field) = v->second;
        } else {
            p.*(l.field) = pentode ? l.pentode : l.triode;
            defaults +=
                std::string(defaults.empty() ? "" : ", ") + upper(l.name) + " = " + number(p.*(l.field));
        }
    }
    if (!defaults.empty()) {
        r.found.push_back("limits not in the text, usual values taken (check them): " + defaults);
    }
    r.params = p;
    return r;
}
