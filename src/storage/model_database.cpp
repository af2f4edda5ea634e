// Tube-model database: file names, listing (usable rows only), loading and the editor's row access,
// each operation on its own connection.
#include "storage/model_database.h"

#include "storage/data_folder.h"
#include "storage/model_database_sql.h"
#include "util/utf8.h"

#include <QFile>

#include <map>

namespace {
bool fileExists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

// kp ... cak, t35, pemax, vemax: fifteen columns in table order from column `first`.
void readModelColumns(TSQLite3Statement& s, int first, TubeParams& p) {
    double* fields[] = {&p.kp,   &p.mu,   &p.kvb, &p.ex,  &p.kg1, &p.pmax,
                        &p.imax, &p.vmax, &p.kg2, &p.cgk, &p.cga, &p.cak};
    for (int c = 0; c < 12; ++c)
        *fields[c] = s.ColumnDouble(first + c);
    p.t35 = static_cast<int>(s.ColumnInt(first + 12));
    p.pemax = s.ColumnDouble(first + 13);
    p.vemax = s.ColumnDouble(first + 14);
}
} // namespace

namespace modeldb {

std::string filePath(int version) {
    return dataFilePath(modelDatabaseFileName(version));
}

std::unique_ptr<TSQLite3Database> openFile() {
    return std::make_unique<TSQLite3Database>(filePath(kModelDatabaseVersion));
}

bool tableHasRows(TSQLite3Database& db) {
    auto table = db.Prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name='triodes'");
    if (!table->Step())
        return false;
    auto row = db.Prepare("SELECT 1 FROM triodes LIMIT 1");
    return row->Step();
}

} // namespace modeldb

const char* const kModelDatabaseUpdatedMessage =
    "Valvenix database was successfully updated.\n\nYour custom models of triodes - if any - are kept, you "
    "may "
    "update them with interelectrodes capacitances\n\nYou may now create customised models of pentodes";

std::string modelDatabaseFileName(int version) {
    return "Valvenix-" + std::to_string(version) + ".db";
}

int findModelDatabaseVersion() {
    if (fileExists(modeldb::filePath(2)))
        return 2;
    if (fileExists(modeldb::filePath(1)))
        return 1;
    return 0;
}

std::unique_ptr<TSQLite3Database> openModelDatabase() {
    auto db = modeldb::openFile();
    db->Execute(modeldb::kCreateTable);
    return db;
}

std::string unusableNameReason(bool isNull, const std::string& name) {
    if (isNull)
        return "its name is NULL";
    if (name.empty())
        return "its name is empty";
    if (!isValidUtf8(name))
        return "its name is not valid UTF-8";
    for (std::size_t i = 0; i < name.size();) {
        const Utf8Char c = decodeUtf8(name, i);
        if (c.code < 0x20 || c.code == 0x7F || (c.code >= 0x80 && c.code <= 0x9F))
            return "its name holds a control character";
        i += c.length;
    }
    return {};
}

ModelNameList readModelNameList(int t35) {
    // Every row is read, in name order and then id order: where a damaged file holds one name in
    // several rows (even with one id), the first of them is the one loading by name reads, so the
    // others are left out (and the name is not listed at all when that first row is unusable).
    auto db = openModelDatabase();
    auto s = db->Prepare("SELECT id,name,t35,typeof(name) FROM triodes ORDER BY name,id,rowid");
    ModelNameList list;
    std::map<std::string, long long> firstRowOf;
    while (s->Step()) {
        const long long id = s->ColumnInt(0);
        const std::string name = s->ColumnText(1);
        std::string reason = unusableNameReason(s->ColumnIsNull(1), name);
        // A name held as a number or a blob is never equal to the text a lookup by name binds.
        if (reason.empty() && s->ColumnText(3) != "text")
            reason = "its name is not stored as text";
        if (reason.empty()) {
            const auto [first, added] = firstRowOf.emplace(name, id);
            if (!added)
                reason = "row " + std::to_string(first->second) + " holds the same name";
        }
        const long long kind = s->ColumnInt(2);
        if (reason.empty() && kind != 3 && kind != 5)
            reason = "its kind t35 is " + (s->ColumnIsNull(2) ? std::string("NULL") : std::to_string(kind)) +
                     ", neither 3 (triode) nor 5 (pentode)";
        if (t35 != 0 && kind != t35)
            continue;
        if (reason.empty())
            list.names.push_back(name);
        else
            list.skipped.push_back({id, reason});
    }
    return list;
}

std::string skippedRowMessage(const SkippedModelRow& row) {
    return "row " + std::to_string(row.id) + " of " + modeldb::filePath(kModelDatabaseVersion) +
           " is left out of the model lists: " + row.reason;
}

std::vector<std::string> listModelNames() {
    return readModelNameList(0).names;
}

std::vector<std::string> listModelNamesByType(int t35) {
    return readModelNameList(t35).names;
}

TubeParams loadTubeParams(const std::string& name) {
    TubeParams p;
    p.name = name;
    auto db = openModelDatabase();
    auto s = db->Prepare(
        "SELECT kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35,pemax,vemax FROM triodes WHERE name=? "
        "ORDER BY id,rowid LIMIT 1");
    s->BindText(1, name);
    if (s->Step())
        readModelColumns(*s, 0, p);
    return p;
}

TubeFactory databaseTubeFactory() {
    return [](const std::string& model, const std::string& reference) {
        return std::make_unique<TTube>(loadTubeParams(model), reference);
    };
}

bool readModel(const std::string& name, ModelRow& row) {
    auto db = openModelDatabase();
    auto s = db->Prepare("SELECT * FROM triodes WHERE name=? ORDER BY id,rowid LIMIT 1");
    s->BindText(1, name);
    if (!s->Step())
        return false;
    TubeParams& p = row.params;
    row.id = s->ColumnInt(0);
    p.name = s->ColumnText(1);
    p.comment = s->ColumnText(2);
    readModelColumns(*s, 3, p);
    return true;
}

long long findModelId(const std::string& name) {
    auto db = openModelDatabase();
    auto s = db->Prepare("SELECT id FROM triodes WHERE name=? ORDER BY id,rowid LIMIT 1");
    s->BindText(1, name);
    return s->Step() ? s->ColumnInt(0) : 0;
}

namespace {
// Binds name, comment and kp ... vemax except t35 (16 parameters), in the editor's column order.
void bindEditable(TSQLite3Statement& s, const TubeParams& p) {
    s.BindText(1, p.name);
    s.BindText(2, p.comment);
    const double values[] = {p.kp,   p.mu,  p.kvb, p.ex,  p.kg1, p.pmax,  p.imax,
                             p.vmax, p.kg2, p.cgk, p.cga, p.cak, p.pemax, p.vemax};
    int i = 3;
    for (double v : values)
        s.BindDouble(i++, v);
}
} // namespace

long long insertModel(const TubeParams& params) {
    auto db = openModelDatabase();
    auto s =
        db->Prepare("INSERT INTO triodes "
                    "(name,comment,kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,pemax,vemax,t35) VALUES "
                    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    bindEditable(*s, params);
    s->BindInt(17, params.t35 == 5 ? 5 : 3);
    s->Step();
    return db->lastInsertRowId();
}

void updateModel(long long id, const TubeParams& params) {
    auto db = openModelDatabase();
    auto s = db->Prepare(
        "UPDATE triodes SET "
        "name=?,comment=?,kp=?,mu=?,kvb=?,ex=?,kg1=?,pmax=?,imax=?,vmax=?,kg2=?,cgk=?,cga=?,cak=?,"
        "pemax=?,vemax=? WHERE id=?");
    bindEditable(*s, params);
    s->BindInt(17, id);
    s->Step();
}

void deleteModel(long long id) {
    auto db = openModelDatabase();
    auto s = db->Prepare("DELETE FROM triodes WHERE id=?");
    s->BindInt(1, id);
    s->Step();
}
