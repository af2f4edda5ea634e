// The SPICE buttons of the windows: the solver window's netlist of the sheet on screen, and the
// tube-models window's export and import of a model (refusals store nothing).
#include "ui_test_support.h"
#include "window_helpers.h"

#include "circuits/registry.h"
#include "spice/netlist.h"
#include "storage/model_database.h"
#include "ui/form_models.h"
#include "ui/form_solver.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace {
std::string readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}
} // namespace

TEST_F(UiTest, SolverWindowExportsTheNetlistOfItsSheet) {
    auto* w = new TFormSolver(1);
    w->show();
    EXPECT_EQ(child<QPushButton>(w, "ButtonSpice")->text(), QStringLiteral("Export SPICE netlist…"));
    QString message;
    ASSERT_TRUE(w->writeSpiceNetlist(QString::fromStdString(path("c1.cir")), &message))
        << message.toStdString();
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    const std::string text = readAll(path("c1.cir"));
    EXPECT_NE(text.find("XT1 a1 g1 k1 "), std::string::npos) << text;
    EXPECT_NE(text.find(".subckt "), std::string::npos);

    // A circuit without a table (none once every circuit has one) refuses and writes nothing.
    const std::vector<int> with = circuitsWithNetlist();
    for (int n = 1; n <= kCircuitCount; ++n) {
        if (std::find(with.begin(), with.end(), n) != with.end())
            continue;
        auto* other = new TFormSolver(n);
        EXPECT_FALSE(other->writeSpiceNetlist(QString::fromStdString(path("other.cir")), &message));
        EXPECT_NE(message.toStdString().find("no SPICE netlist yet"), std::string::npos);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("other.cir"))));
        break;
    }
}

TEST_F(UiTest, ModelsWindowExportsAndImportsSpiceModels) {
    auto* w = new TFormModels;
    w->show();
    auto* list = child<QListWidget>(w, "LBmodels");
    const int before = list->count();
    QString message;
    ASSERT_TRUE(w->exportSpiceModel("EL34", QString::fromStdString(path("el34.lib")), &message))
        << message.toStdString();
    const std::string text = readAll(path("el34.lib"));
    EXPECT_NE(text.find(".subckt EL34 A G S K"), std::string::npos) << text;

    ASSERT_TRUE(w->importSpiceText(text, "EL34 from SPICE", 0, &message)) << message.toStdString();
    EXPECT_EQ(list->count(), before + 1);
    ModelRow row;
    ASSERT_TRUE(readModel("EL34 from SPICE", row));
    EXPECT_EQ(row.params.kg2, loadTubeParams("EL34").kg2);

    const struct {
        const char* name;
        std::string text;
        QString modelName;
        const char* message;
    } refused[] = {
        {"name taken", text, "EL34", "already used"},
        {"no model", "R1 a b 1k\n", "X", "no .subckt"},
        {"KG1 negative", ".subckt T A G K\n.param MU=1 EX=1 KG1=-2 KP=1 KVB=1\n.ends\n", "T", "positive"},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(w->importSpiceText(c.text, c.modelName, 2, &message)) << c.name;
        EXPECT_NE(message.toStdString().find(c.message), std::string::npos)
            << c.name << ": " << message.toStdString();
    }
    EXPECT_EQ(list->count(), before + 1);
    EXPECT_FALSE(w->exportSpiceModel("no such model", QString::fromStdString(path("x.lib")), &message));
}
