// Tube-model database: statements run exactly as below, each operation on its own connection.
#include "storage/model_database.h"

#include "model/builtin_models.h"
#include "storage/data_folder.h"

#include <QFile>

#include <algorithm>

namespace {
const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS triodes (id INTEGER PRIMARY KEY,name TEXT,comment TEXT,kp DOUBLE,mu "
    "DOUBLE,kvb "
    "DOUBLE,ex DOUBLE,kg1 DOUBLE,pmax DOUBLE,imax DOUBLE,vmax DOUBLE,kg2 DOUBLE,cgk DOUBLE, cga DOUBLE, cak "
    "DOUBLE,t35 INTEGER,pemax DOUBLE,vemax DOUBLE)";
const char* kInsert17 =
    "INSERT INTO triodes "
    "(name,comment,kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35,pemax,vemax) VALUES "
    "(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char* kInsert15 =
    "INSERT INTO triodes (name,comment,kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

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

std::vector<std::string> collectNames(TSQLite3Statement& s) {
    std::vector<std::string> names;
    while (s.Step())
        names.push_back(s.ColumnText(0));
    return names;
}
} // namespace

const char* const kModelDatabaseUpdatedMessage =
    "Valvenix database was successfully updated.\n\nYour custom models of triodes - if any - are kept, you "
    "may "
    "update them with interelectrodes capacitances\n\nYou may now create customised models of pentodes";

std::string modelDatabaseFileName(int version) {
    return "Valvenix-" + std::to_string(version) + ".db";
}

int findModelDatabaseVersion() {
    if (fileExists(dataFilePath(modelDatabaseFileName(2))))
        return 2;
    if (fileExists(dataFilePath(modelDatabaseFileName(1))))
        return 1;
    return 0;
}

std::unique_ptr<TSQLite3Database> openModelDatabase() {
    auto db = std::make_unique<TSQLite3Database>(dataFilePath(modelDatabaseFileName(kModelDatabaseVersion)));
    db->Execute(kCreateTable);
    return db;
}

std::vector<std::string> listModelNames() {
    auto db = openModelDatabase();
    auto s = db->Prepare("SELECT name FROM triodes WHERE 1 ORDER BY name");
    return collectNames(*s);
}

std::vector<std::string> listModelNamesByType(int t35) {
    auto db = openModelDatabase();
    auto s = db->Prepare("SELECT name FROM triodes WHERE t35=? ORDER BY name");
    s->BindInt(1, t35);
    return collectNames(*s);
}

std::vector<std::string> seedBuiltInModels() {
    std::vector<std::string> inserted;
    auto db = openModelDatabase();
    auto exists = db->Prepare("SELECT name FROM triodes WHERE name=?");
    auto insert = db->Prepare(kInsert17);
    db->Execute("BEGIN TRANSACTION");
    for (const TubeParams& m : builtinModels()) {
        exists->BindText(1, m.name);
        const bool present = exists->Step();
        exists->Reset();
        if (present)
            continue;
        insert->BindText(1, m.name);
        insert->BindText(2, m.comment);
        const double values[] = {m.kp,   m.mu,   m.kvb, m.ex,  m.kg1, m.pmax,
                                 m.imax, m.vmax, m.kg2, m.cgk, m.cga, m.cak};
        int p = 3;
        for (double v : values)
            insert->BindDouble(p++, v);
        insert->BindInt(15, m.t35);
        insert->BindDouble(16, m.pemax);
        insert->BindDouble(17, m.vemax);
        insert->Step();
        insert->Reset();
        inserted.push_back(m.name);
    }
    db->Execute("END TRANSACTION");
    return inserted;
}

bool migrateModelDatabase() {
    if (findModelDatabaseVersion() != 1)
        return false;
    const std::string oldPath = dataFilePath(modelDatabaseFileName(1));
    {
        TSQLite3Database oldDb(oldPath);
        auto rows = oldDb.Prepare("SELECT * FROM triodes WHERE 1");
        auto db = openModelDatabase();
        auto insert = db->Prepare(kInsert15);
        db->Execute("BEGIN TRANSACTION");
        const auto& builtin = builtinNamesVersion1();
        while (rows->Step()) {
            const std::string name = rows->ColumnText(1);
            if (std::find(builtin.begin(), builtin.end(), name) != builtin.end())
                continue;
            insert->BindText(1, name);
            insert->BindText(2, rows->ColumnText(2));
            for (int c = 3; c <= 10; ++c)
                insert->BindDouble(c, rows->ColumnDouble(c));
            for (int p = 11; p <= 14; ++p)
                insert->BindDouble(p, 0);
            insert->BindInt(15, 3);
            insert->Step();
            insert->Reset();
        }
        db->Execute("END TRANSACTION");
    }
    QFile::remove(QString::fromStdString(oldPath));
    seedBuiltInModels();
    return true;
}

bool prepareModelDatabase() {
    const bool migrated = migrateModelDatabase();
    if (!fileExists(dataFilePath(modelDatabaseFileName(kModelDatabaseVersion))))
        seedBuiltInModels();
    return migrated;
}

TubeParams loadTubeParams(const std::string& name) {
    TubeParams p;
    p.name = name;
    auto db = openModelDatabase();
    auto s = db->Prepare(
        "SELECT kp,mu,kvb,ex,kg1,pmax,imax,vmax,kg2,cgk,cga,cak,t35,pemax,vemax FROM triodes WHERE name=?");
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
    auto s = db->Prepare("SELECT * FROM triodes WHERE name=?");
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
    auto s = db->Prepare("SELECT id FROM triodes WHERE name=?");
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
