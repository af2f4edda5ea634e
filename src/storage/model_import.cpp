// Checks and stores an imported tube model; reads a model file with a size limit.
#include "storage/model_import.h"

#include "model/model_entry.h"
#include "storage/model_database.h"
#include "util/format.h"

#include <filesystem>
#include <fstream>
#include <sstream>

ModelImport storeImportedModel(const TubeParams& params) {
    ModelImport out;
    // The same texts the window's boxes would hold, read by the same rules.
    ModelEntryTexts texts;
    texts.name = params.name;
    texts.comment = params.comment;
    texts.t35 = params.t35;
    auto text = [](double v) { return formatModelNumber(v, '.'); };
    texts.kp = text(params.kp);
    texts.mu = text(params.mu);
    texts.kvb = text(params.kvb);
    texts.ex = text(params.ex);
    texts.kg1 = text(params.kg1);
    texts.kg2 = text(params.kg2);
    texts.pmax = text(params.pmax);
    texts.imax = text(params.imax);
    texts.vmax = text(params.vmax);
    texts.pemax = text(params.pemax);
    texts.vemax = text(params.vemax);
    texts.cgk = text(params.cgk);
    texts.cga = text(params.cga);
    texts.cak = text(params.cak);
    normaliseModelEntry(texts);
    const ModelEntryCheck check = readModelEntry(texts, '.');
    if (!check.params) {
        out.message = check.message;
        return out;
    }
    if (findModelId(params.name) != 0) {
        out.message =
            strFormat("This model name \"%s\" is already used. Please set a new name.", params.name.c_str());
        return out;
    }
    // The parameters as read (not as written for the boxes), so that nothing is rounded.
    TubeParams row = params;
    row.comment = check.params->comment;
    if (row.t35 != 5)
        row.kg2 = row.pemax = row.vemax = 0;
    insertModel(row);
    out.stored = true;
    return out;
}

bool readModelFile(const std::string& path, std::size_t limit, std::string& text, std::string& problem) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        problem = "cannot read " + path + ": " + ec.message();
        return false;
    }
    if (size > limit) {
        problem = strFormat("%s is too large for a tube model (%llu kB; a model is a few kB): nothing read.",
                            path.c_str(), static_cast<unsigned long long>(size / 1024));
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "cannot open " + path;
        return false;
    }
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    if (text.size() > limit) {
        problem = path + " is too large for a tube model: nothing read.";
        return false;
    }
    return true;
}
