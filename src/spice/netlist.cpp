// Writes the ngspice netlist of a circuit from its table, its sheet and its solve.
#include "spice/netlist.h"

#include "circuits/catalogue.h"
#include "frequency/bode_options.h"
#include "solver/field_reader.h"
#include "spice/koren_model.h"
#include "spice/spice_values.h"

#include <algorithm>
#include <map>

namespace {

TubeParams paramsOf(const TTube& t) {
    TubeParams p;
    p.name = t.ModelName();
    p.kp = t.kp();
    p.mu = t.mu();
    p.kvb = t.kvb();
    p.ex = t.Ex();
    p.kg1 = t.Kg1();
    p.kg2 = t.Kg2();
    p.cgk = t.Cgk();
    p.cga = t.Cga();
    p.cak = t.Cak();
    p.pmax = t.Pamax();
    p.imax = t.Iamax();
    p.vmax = t.Vamax();
    p.pemax = t.Pemax();
    p.vemax = t.Vemax();
    p.t35 = t.t35();
    return p;
}

std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r' || static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return s;
}

// A message of the solve without its markup.
std::string plain(const std::string& markup) {
    std::string out;
    bool tag = false;
    for (char c : markup) {
        if (c == '<')
            tag = true;
        else if (c == '>')
            tag = false;
        else if (!tag)
            out += c;
    }
    return oneLine(out);
}

bool wholeNumber(const std::string& s) {
    return !s.empty() && s.size() < 10 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

SpiceExport spiceNetlist(const SolveRequest& rq, const SolveOutcome& outcome) {
    SpiceExport out;
    const CircuitNetlist* table = circuitNetlist(rq.circuit);
    const CircuitInfo& info = circuitInfo(rq.circuit);
    if (!table) {
        out.problem = info.code + " has no SPICE netlist yet.";
        return out;
    }
    std::string& s = out.text;
    s += "* Valvenix " + info.code + " - " + info.title + "\n";
    if (!outcome.solved) {
        std::string why;
        for (const auto& m : outcome.messages)
            why += (why.empty() ? "" : " ") + plain(m);
        out.problem = "The sheet did not solve: " + why;
    } else if (!outcome.result.ok) {
        out.problem = "The solve failed some of its checks (red verdicts in the DC report).";
    }
    if (!out.problem.empty())
        s += "* " + out.problem + "\n";
    for (const auto& n : table->nodes)
        s += "* " + n + "\n";
    if (!table->note.empty())
        s += "* " + table->note + "\n";

    // The sheet's values.
    s += "\n* The sheet\n";
    for (const SheetControl& c : rq.sheet.controls) {
        if (c.kind != ControlKind::Edit)
            continue;
        bool ok = true;
        double v = fieldNumber(rq.sheet, c.name, rq.locale, &ok);
        std::string remark;
        if (!ok)
            remark = "* " + c.name + ": \"" + oneLine(c.text) + "\" is not a number\n";
        else if (v == 0 && c.name.rfind("EdC", 0) == 0) {
            v = 1e-12; // the solver reads a capacitor typed as 0 as 1 pF
            remark = "* " + c.name + " typed 0: read as 1 pF\n";
        } else if (v == 0 && c.name.rfind("EdR", 0) == 0) {
            v = 1e-3; // a resistor of 0 ohm is a short, which SPICE writes as 1 milliohm
            remark = "* " + c.name + " typed 0: a short\n";
        }
        s += remark + ".param " + c.name + "=" + spiceNumber(v) + "\n";
    }
    // A selector of whole numbers (tubes in parallel, transformer yield) is a parameter too; with
    // nothing selected it reads as its first item, as the solvers read it.
    for (const SheetControl& c : rq.sheet.controls)
        if (c.kind == ControlKind::Selector && !c.items.empty() &&
            std::all_of(c.items.begin(), c.items.end(), wholeNumber))
            s += ".param " + c.name + "=" + (c.selectedText().empty() ? c.items.front() : c.selectedText()) +
                 "\n";
    for (const SheetControl& c : rq.sheet.controls)
        if (c.kind == ControlKind::CheckBox)
            s += "* " + c.name + " (" + c.text + "): " + (c.checked ? "checked" : "not checked") + "\n";
    s += "* S: the stray capacitance of a node (Bandwidth options)\n";
    s += ".param S=" + spiceNumber(strayUnitOf(rq.bode.straycaps)) + "\n";
    if (rq.bode.feedback != 0)
        s += "* The global feedback of the Bandwidth options is not in the netlist.\n";

    // Our operating point, for comparison and for the parts the solver sizes.
    if (outcome.solved && !outcome.result.tubes.empty()) {
        s += "\n* The operating point of Valvenix's solve\n";
        for (const TTube& t : outcome.result.tubes) {
            const std::string r = t.Reference();
            s += ".param " + r + "_IA=" + spiceNumber(t.Ia()) + " " + r + "_VAK=" + spiceNumber(t.Vak()) +
                 " " + r + "_VGK=" + spiceNumber(t.Vgk());
            if (t.t35() == 5)
                s += " " + r + "_VEK=" + spiceNumber(t.Vek()) + " " + r + "_IE=" + spiceNumber(t.Ie());
            s += "\n";
        }
    }

    // The circuit.
    s += "\n* The circuit\n";
    std::map<std::string, TubeParams> models;
    for (std::string line : table->elements) {
        if (!line.empty() && (line[0] == '?' || line[0] == '!')) {
            const auto space = line.find(' ');
            const bool want = line[0] == '?';
            if (fieldChecked(rq.sheet, line.substr(1, space - 1)) != want)
                continue;
            line.erase(0, space + 1);
        }
        for (auto at = line.find('@'); at != std::string::npos; at = line.find('@')) {
            auto end = at + 1;
            while (end < line.size() && line[end] != ' ')
                ++end;
            const std::string selector = line.substr(at + 1, end - at - 1);
            const std::string model = fieldText(rq.sheet, selector);
            std::string name = "NO_MODEL";
            if (rq.tubes && !model.empty()) {
                const auto tube = rq.tubes(model, selector);
                if (tube && tube->t35() != 0) {
                    name = spiceSubcircuitName(model);
                    models.emplace(name, paramsOf(*tube));
                }
            }
            line.replace(at, end - at, name);
        }
        s += line + "\n";
    }

    // The tube models.
    for (const auto& [name, params] : models)
        s += "\n" + spiceModelText(params);

    // Batch mode (ngspice -b) runs an analysis only when something of it is printed.
    s += "\n.op\n.ac dec 20 " + spiceNumber(freqMinOf(rq.bode.freqmin)) + " " +
         spiceNumber(freqMaxOf(rq.bode.freqmax)) + "\n.print ac vdb(" + table->output + ") vp(" +
         table->output + ")\n.end\n";
    out.written = true;
    return out;
}
