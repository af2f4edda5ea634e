// Saving, listing, loading and deleting named sheet configurations in "Circuits_Configs.db".
#include "storage/configurations.h"

#include "storage/data_folder.h"

#include <algorithm>

namespace {

const char* const kCreateConfigs =
    "CREATE TABLE IF NOT EXISTS configs (id INTEGER PRIMARY KEY, code TEXT, name TEXT, comment TEXT)";
const char* const kCreatePaires = "CREATE TABLE IF NOT EXISTS paires (fkid INTEGER, clef TEXT, valeur TEXT)";

const char* const kCheckedValue = "-1";
const char* const kUncheckedValue = "0";

} // namespace

std::string configCode(int circuit) {
    return "C" + std::to_string(circuit);
}

std::unique_ptr<TSQLite3Database> openConfigsDatabase() {
    auto db = std::make_unique<TSQLite3Database>(dataFilePath(kConfigsDatabaseFileName));
    db->Execute(kCreateConfigs);
    db->Execute(kCreatePaires);
    return db;
}

int getCountConfigs(const std::string& code) {
    auto db = openConfigsDatabase();
    auto s = db->Prepare("SELECT COUNT(id) FROM configs WHERE code=?");
    s->BindText(1, code);
    return s->Step() ? static_cast<int>(s->ColumnInt(0)) : 0;
}

TArrayCircuitConfig getCircuitConfigs(const std::string& code) {
    TArrayCircuitConfig configs;
    auto db = openConfigsDatabase();
    auto s = db->Prepare("SELECT id,code,name,comment FROM configs WHERE code=?");
    s->BindText(1, code);
    while (s->Step())
        configs.push_back({s->ColumnInt(0), s->ColumnText(1), s->ColumnText(2), s->ColumnText(3)});
    return configs;
}

TArrayKeyVal getKeyVal(long long id) {
    TArrayKeyVal pairs;
    auto db = openConfigsDatabase();
    auto s = db->Prepare("SELECT clef,valeur FROM paires WHERE fkid=?");
    s->BindInt(1, id);
    while (s->Step())
        pairs.push_back({id, s->ColumnText(0), s->ColumnText(1)});
    return pairs;
}

long long saveConfig(const TCircuitConfig& config, const TArrayKeyVal& pairs) {
    auto db = openConfigsDatabase();

    // A name is looked up within its own circuit: another circuit's configuration of the same
    // name is a different configuration and stays as it is.
    auto find = db->Prepare("SELECT id, name FROM configs WHERE code = ? AND name = ?");
    find->BindText(1, config.code);
    find->BindText(2, config.name);
    if (find->Step()) {
        const long long id = find->ColumnInt(0);
        find->Finalize();
        auto comment = db->Prepare("UPDATE configs SET comment=? WHERE id=?");
        auto update = db->Prepare("UPDATE paires SET valeur=? WHERE clef=? AND fkid=?");
        auto insert = db->Prepare("INSERT INTO paires (fkid, clef, valeur) VALUES (?,?,?)");
        // One transaction for the comment and the values, so a failure leaves the old configuration
        // whole; a control the stored configuration lacks (added to the sheet since) is inserted,
        // so that what is saved is the whole sheet.
        db->Execute("BEGIN TRANSACTION");
        comment->BindText(1, config.comment);
        comment->BindInt(2, id);
        comment->Step();
        for (const TKeyVal& pair : pairs) {
            update->BindText(1, pair.valeur);
            update->BindText(2, pair.clef);
            update->BindInt(3, id);
            update->Step();
            update->Reset();
            if (db->changes() == 0) {
                insert->BindInt(1, id);
                insert->BindText(2, pair.clef);
                insert->BindText(3, pair.valeur);
                insert->Step();
                insert->Reset();
            }
        }
        db->Execute("END TRANSACTION");
        return id;
    }
    find->Finalize();

    auto insertConfig = db->Prepare("INSERT INTO configs (code, name, comment) VALUES (?,?,?)");
    insertConfig->BindText(1, config.code);
    insertConfig->BindText(2, config.name);
    insertConfig->BindText(3, config.comment);
    insertConfig->Step();
    const long long id = db->lastInsertRowId();

    // A file written before deletions took their pairs along may still hold rows of a deleted
    // configuration whose id SQLite has just handed out again: they never belong to this one.
    auto orphans = db->Prepare("DELETE FROM paires WHERE fkid=?");
    auto insertPair = db->Prepare("INSERT INTO paires (fkid, clef, valeur) VALUES (?,?,?)");
    db->Execute("BEGIN TRANSACTION");
    orphans->BindInt(1, id);
    orphans->Step();
    for (const TKeyVal& pair : pairs) {
        insertPair->BindInt(1, id);
        insertPair->BindText(2, pair.clef);
        insertPair->BindText(3, pair.valeur);
        insertPair->Step();
        insertPair->Reset();
    }
    db->Execute("END TRANSACTION");
    return id;
}

bool deleteCircuitConfig(long long id) {
    auto db = openConfigsDatabase();
    auto config = db->Prepare("DELETE FROM configs WHERE id=?");
    auto pairs = db->Prepare("DELETE FROM paires WHERE fkid=?");
    db->Execute("BEGIN TRANSACTION");
    config->BindInt(1, id);
    config->Step();
    pairs->BindInt(1, id);
    pairs->Step();
    db->Execute("END TRANSACTION");
    return true;
}

TArrayKeyVal sheetKeyVals(const Sheet& sheet) {
    TArrayKeyVal pairs;
    for (const SheetControl& control : sheet.controls) {
        switch (control.kind) {
        case ControlKind::Edit:
            pairs.push_back({0, control.name, control.text});
            break;
        case ControlKind::Selector:
            pairs.push_back({0, control.name, control.selectedText()});
            break;
        case ControlKind::CheckBox:
            pairs.push_back({0, control.name, control.checked ? kCheckedValue : kUncheckedValue});
            break;
        case ControlKind::Label:
        case ControlKind::Caption:
            break;
        }
    }
    return pairs;
}

void applyKeyVals(Sheet& sheet, const TArrayKeyVal& pairs) {
    for (SheetControl& control : sheet.controls) {
        if (control.kind == ControlKind::Label || control.kind == ControlKind::Caption)
            continue;
        const auto pair = std::find_if(pairs.begin(), pairs.end(),
                                       [&](const TKeyVal& p) { return p.clef == control.name; });
        if (pair == pairs.end())
            continue;
        switch (control.kind) {
        case ControlKind::Edit:
            control.text = pair->valeur;
            break;
        case ControlKind::Selector: {
            const auto item = std::find(control.items.begin(), control.items.end(), pair->valeur);
            control.selected =
                item != control.items.end() ? static_cast<int>(item - control.items.begin()) : -1;
            break;
        }
        case ControlKind::CheckBox:
            control.checked = pair->valeur != kUncheckedValue;
            break;
        case ControlKind::Label:
        case ControlKind::Caption:
            break;
        }
    }
}

long long saveSheetConfig(const Sheet& sheet, const std::string& name, const std::string& comment) {
    return saveConfig({0, configCode(sheet.circuit), name, comment}, sheetKeyVals(sheet));
}

void applyCircuitConfig(Sheet& sheet, long long id) {
    applyKeyVals(sheet, getKeyVal(id));
}
