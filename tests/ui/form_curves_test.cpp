// The anode-curves window on a real model database: the ECC83's current grid, the read-out under a
// click and its colours, the transfer switch, the table and its copy, the "Compute Ia" panel, the
// screen-grid voltage box kept in the settings, the usage report of a drawing asked for (and none
// after a resize), and the list following the models window.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "storage/model_database.h"
#include "telemetry/telemetry.h"
#include "ui/form_curves.h"
#include "ui/form_curves_table.h"
#include "ui/form_models.h"

#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTest>

#ifdef VALVENIX_USAGE_SERVER_TESTS
#include "event_wait.h"
#include "test_servers.h"
#endif

namespace {

class CurvesTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = new TFormCurves(telemetry_);
        w->show();
        w->resize(1000, 700);
        QApplication::processEvents();
    }

    QListWidget* list() const { return child<QListWidget>(w, "LBtubes"); }
    TPictureView* anodeImage() const { return child<TPictureView>(w, "ImageAnode"); }
    TDisplayMiniHTML* readout() const { return child<TDisplayMiniHTML>(w, "DMH"); }

    // A click on the model in the list, as a user chooses it.
    void click(const QString& name) {
        const auto items = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        list()->scrollToItem(items.first());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(items.first()).center());
    }
    // A click on the anode chart at a point of its scales (Va or Vg across, Ia up).
    void clickChart(double value, double Ia) {
        const AnodeChart& c = w->anodeChart();
        const double W = anodeImage()->width(), H = anodeImage()->height();
        const double x =
            c.transfer ? (1 - value / c.Vgmin) * (W - 100) + 50 : value / c.Vamax * (W - 100) + 50;
        const double y = (c.Iamax - Ia) / c.Iamax * (H - 100) + 50;
        QTest::mouseClick(anodeImage(), Qt::LeftButton, {}, QPoint(qRound(x), qRound(y)));
    }
    void typeVs(const QString& text) {
        auto* vs = child<QLineEdit>(w, "EdVs");
        vs->selectAll();
        QTest::keyClicks(vs, text);
    }

    Telemetry* telemetry_ = nullptr;
    TFormCurves* w = nullptr;
};

// Runs of grey rows (a line of C0C0C0, spread over two rows where it falls between them) down a
// column of the image, from the top of the plot area to just above its current axis.
int greyLinesAt(const QImage& image, int x) {
    const double ratio = image.devicePixelRatio();
    int lines = 0;
    bool inLine = false;
    for (int y = qRound(45 * ratio); y < image.height() - qRound(55 * ratio); ++y) {
        const QColor c = image.pixelColor(x, y);
        const bool grey = c.red() < 0xF8 && c.red() == c.green() && c.green() == c.blue();
        if (grey && !inLine)
            ++lines;
        inLine = grey;
    }
    return lines;
}

} // namespace

TEST_F(CurvesTest, NothingIsDrawnUntilAModelIsClicked) {
    EXPECT_EQ(w->windowTitle(), "Tubes curves");
    EXPECT_EQ(list()->count(), 30);
    EXPECT_FALSE(anodeImage()->hasPicture());
    EXPECT_FALSE(child<QPushButton>(w, "butSpecify")->isVisible());
    list()->setFocus(); // the list's own current row when it takes the focus draws nothing
    QApplication::processEvents();
    EXPECT_TRUE(w->drawnModel().isEmpty());
}

TEST_F(CurvesTest, Ecc83HasEightCurrentGridLines) {
    click("ECC83 / 12AX7");
    EXPECT_EQ(w->windowTitle(), "Curves of \"ECC83 / 12AX7\" after NK's equation");
    EXPECT_EQ(w->drawnModel(), "ECC83 / 12AX7");
    EXPECT_FALSE(child<QLineEdit>(w, "EdVs")->isVisible()); // a triode has no screen grid
    EXPECT_TRUE(child<QPushButton>(w, "butSpecify")->isVisible());
    const std::vector<double>& ticks = w->anodeChart().currentTicks;
    ASSERT_EQ(ticks.size(), 8u);
    for (std::size_t i = 0; i < ticks.size(); ++i)
        EXPECT_NEAR(ticks[i], 0.001 * double(i + 1), 1e-12);

    // On the picture: eight grey lines cross a column just right of the current axis (the curves
    // there are still at the bottom, below the first line).
    const QImage& image = anodeImage()->image();
    ASSERT_FALSE(image.isNull());
    const double ratio = image.devicePixelRatio();
    EXPECT_EQ(image.width(), qRound(anodeImage()->width() * ratio));
    EXPECT_EQ(greyLinesAt(image, qRound(56 * ratio)), 8);
    EXPECT_EQ(child<QTableView>(w, "VST")->model()->rowCount(), int(w->anodeChart().rows.size()));
}

TEST_F(CurvesTest, ClickReadOutAndItsColours) {
    click("ECC83 / 12AX7");
    const struct {
        const char* name;
        double Va, Ia;
        bool shown;
        QRgb colour;
        const char* starts;
    } rows[] = {
        {"within the limits", 200, 0.001, true, 0xAAFFAA, " Va 200 V"},
        {"past the dissipation", 330, 0.004, true, 0xFF0000, " Va 330 V"},
        {"a grid above 0 V needed", 40, 0.004, true, 0x808080, "No solution"},
        {"above the current scale", 200, 0.0085, false, 0, ""},
        {"left of the plot", -10, 0.002, false, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        clickChart(r.Va, r.Ia);
        EXPECT_EQ(readout()->isVisible(), r.shown);
        if (!r.shown)
            continue;
        EXPECT_EQ(readout()->palette().color(QPalette::Base).rgb() & 0xFFFFFF, r.colour);
        EXPECT_EQ(readout()->plainText().rfind(r.starts, 0), 0u) << readout()->plainText();
        // Inside the picture, whatever the click's place.
        EXPECT_TRUE(anodeImage()->rect().contains(readout()->geometry()));
    }

    // A click on the read-out itself reads the chart under it.
    clickChart(200, 0.001);
    const QPoint inside = readout()->geometry().topLeft() + QPoint(30, 30);
    QTest::mouseClick(readout(), Qt::LeftButton, {}, readout()->mapFrom(anodeImage(), inside));
    EXPECT_EQ(readout()->x(), inside.x()); // (its height keeps it above the picture's bottom)
    EXPECT_EQ(readout()->plainText().rfind(" Va 200 V", 0), std::string::npos) << readout()->plainText();
}

TEST_F(CurvesTest, TransferSwitchTableAndCopies) {
    click("ECC83 / 12AX7");
    QTest::mouseClick(child<QRadioButton>(w, "RGparmVak"), Qt::LeftButton);
    const AnodeChart& chart = w->anodeChart();
    ASSERT_TRUE(chart.transfer);
    ASSERT_EQ(chart.curves.size(), 14u); // every 25 V up to 350 V
    EXPECT_EQ(chart.curves.back().label.text, "350V");
    clickChart(-1, 0.001);
    EXPECT_EQ(readout()->plainText().rfind(" Va 160 V", 0), 0u) << readout()->plainText();

    auto* tabs = child<QTabWidget>(w, "PageControl");
    auto* specify = child<QPushButton>(w, "butSpecify");
    EXPECT_TRUE(specify->isEnabled());
    tabs->setCurrentWidget(child<QWidget>(w, "TabSheet2"));
    EXPECT_FALSE(specify->isEnabled());
    QTest::mouseClick(child<QPushButton>(w, "butCopyClipboard"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(),
              child<TPictureView>(w, "ImageMulti")->image().size());

    tabs->setCurrentWidget(child<QWidget>(w, "TabSheet3"));
    QTest::mouseClick(child<QPushButton>(w, "butCopyVST"), Qt::LeftButton);
    const QStringList lines = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines[0], "Vak (V)\tVgk (V)\tIa (mA)");
    // The copied Ia column is the table's third column, row for row, separators as empty lines.
    const QAbstractItemModel* table = child<QTableView>(w, "VST")->model();
    ASSERT_EQ(lines.size(), table->rowCount() + 2);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString cell = table->index(row, 2).data().toString();
        const QString copied = lines[row + 1].section('\t', 2, 2);
        ASSERT_EQ(cell == QStringLiteral("\u00f7\u00f7\u00f7\u00f7") ? QString() : cell, copied)
            << "row " << row;
    }
}

TEST_F(CurvesTest, ComputePanelForTypedVoltages) {
    auto* panel = child<QWidget>(w, "AdvPanel1");
    click("EL34");
    QTest::mouseClick(child<QPushButton>(w, "butSpecify"), Qt::LeftButton);
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(child<QLabel>(w, "AdvPanel1Caption")->text(), "Compute Ia(Va,Vg) @Vg2=100V for \"EL34\"");
    EXPECT_TRUE(child<QLineEdit>(w, "EdVsk")->isVisible());
    const struct {
        const char *vak, *vgk, *vg2, *starts;
    } rows[] = {
        {"250", "-20", "250", "Ia=34.382mA  Ie="},
        {"", "-20", "250", "Invalid Vak"},
        {"250", "-20", "", "Invalid Vg2"},
        {"250", "-20", "0", "Invalid Vg2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.vak) + " " + r.vgk + " " + r.vg2);
        child<QLineEdit>(w, "EdVak")->setText(r.vak);
        child<QLineEdit>(w, "EdVgk")->setText(r.vgk);
        child<QLineEdit>(w, "EdVsk")->setText(r.vg2);
        EXPECT_EQ(text(w, "LabelResult").rfind(r.starts, 0), 0u) << text(w, "LabelResult");
    }
    // Typed keys: a sign only in the grid box, no letters anywhere.
    auto* vgk = child<QLineEdit>(w, "EdVgk");
    vgk->clear();
    QTest::keyClicks(vgk, "-2x");
    EXPECT_EQ(vgk->text(), "-2");
    auto* vak = child<QLineEdit>(w, "EdVak");
    vak->clear();
    QTest::keyClicks(vak, "-25a0");
    EXPECT_EQ(vak->text(), "250");

    // A panel dragged out of the window comes back inside it when asked for again.
    panel->move(-300, -40);
    QTest::mouseClick(child<QPushButton>(w, "butSpecify"), Qt::LeftButton);
    EXPECT_EQ(panel->pos(), QPoint(100, 100));
    panel->move(w->width() - 20, w->height() - 20);
    QTest::mouseClick(child<QPushButton>(w, "butSpecify"), Qt::LeftButton);
    EXPECT_EQ(panel->geometry().bottomRight(), QPoint(w->width() - 1, w->height() - 1));
    QTest::mouseClick(child<QPushButton>(w, "butClosePanel"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(CurvesTest, ScreenVoltageRedrawsWithinItsBoundsAndIsKept) {
    click("EL34");
    auto* vs = child<QLineEdit>(w, "EdVs");
    ASSERT_TRUE(vs->isVisible());
    EXPECT_EQ(vs->text(), "100");
    typeVs("250");
    EXPECT_DOUBLE_EQ(w->anodeChart().Vg2, 250);
    EXPECT_EQ(w->anodeChart().title,
              "Anode characteristics Ia(Vak,Vgk) @Vg2=250V of \"EL34\" after NK's equation");
    EXPECT_NE(w->multiChart().title.find("@Vg2=250V"), std::string::npos);
    EXPECT_EQ(child<QLabel>(w, "AdvPanel1Caption")->text(), "Compute Ia(Va,Vg) @Vg2=250V for \"EL34\"");
    for (const char* typed : {"5", "abc", "0"}) {
        SCOPED_TRACE(typed);
        typeVs(typed);
        EXPECT_DOUBLE_EQ(w->anodeChart().Vg2, 250) << "no drawing";
    }
    typeVs("900"); // each key counts: "90" draws, "900" is past the highest supply and does not
    EXPECT_DOUBLE_EQ(w->anodeChart().Vg2, 90);
    // A model clicked with a voltage out of the bounds draws at the nearest bound.
    typeVs("5000");
    click("KT88");
    EXPECT_DOUBLE_EQ(w->anodeChart().Vg2, 800);

    typeVs("300");
    w->hide();
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.pentodeVs(), "300");
    delete w;
    w = new TFormCurves;
    w->show();
    EXPECT_EQ(child<QLineEdit>(w, "EdVs")->text(), "300");
}

TEST_F(CurvesTest, PlaceKeptInTheSettingsAndBroughtBackOnScreen) {
    w->resize(900, 600);
    w->move(30, 20);
    w->hide();
    w->show();
    EXPECT_EQ(w->size(), QSize(900, 600));
    EXPECT_EQ(w->pos(), QPoint(30, 20));

    // A place on a monitor that is gone: centred on the primary screen with its size.
    w->hide();
    TIniPosDim settings;
    settings.Open();
    EXPECT_EQ(settings.readInteger(kFormPosDimSection, "FormAnode_w", 0), 900);
    settings.writeInteger(kFormPosDimSection, "FormAnode_l", 20000);
    w->show();
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_EQ(w->size(), QSize(900, 600));
    EXPECT_EQ(w->x(), screen.left() + (screen.width() - 900) / 2);
}

TEST_F(CurvesTest, ListFollowsTheModelsWindow) {
    auto* models = new TFormModels;
    QObject::connect(models, &TFormModels::modelsChanged, w, &TFormCurves::refreshModelList);
    click("ECC83 / 12AX7");

    updateModel(findModelId("ECC83 / 12AX7"), [] {
        ModelRow row;
        readModel("ECC83 / 12AX7", row);
        row.params.name = "12AX7 (mine)";
        row.params.imax = 0.004;
        return row.params;
    }());
    emit models->modelsChanged("ECC83 / 12AX7", "12AX7 (mine)");
    EXPECT_EQ(list()->selectedItems().value(0)->text(), "12AX7 (mine)");
    EXPECT_EQ(w->drawnModel(), "12AX7 (mine)");
    EXPECT_EQ(w->windowTitle(), "Curves of \"12AX7 (mine)\" after NK's equation");
    EXPECT_EQ(w->anodeChart().currentTicks.size(), 4u) << "drawn again with the new limits";

    deleteModel(findModelId("12AX7 (mine)"));
    emit models->modelsChanged("12AX7 (mine)", "");
    EXPECT_EQ(list()->count(), 29);
    EXPECT_TRUE(w->drawnModel().isEmpty());
    EXPECT_FALSE(anodeImage()->hasPicture());
    EXPECT_EQ(w->windowTitle(), "Tubes curves");
}

#ifdef VALVENIX_USAGE_SERVER_TESTS
// The usage reports go to an HTTPS server of the test on 127.0.0.1.
class CurvesReportTest : public CurvesTest {
protected:
    void SetUp() override {
        ensureApplication(); // before any object of the network classes
        certificate_ = std::make_unique<TestCertificate>();
        ASSERT_TRUE(certificate_->valid());
        server_ = std::make_unique<CaptureServer>(*certificate_);
        telemetry_ = new Telemetry(UsageServerSetting{server_->url(), false});
        telemetry_->setTrustedCertificates(certificate_->trusted());
        CurvesTest::SetUp();
    }
    void TearDown() override {
        CurvesTest::TearDown();
        delete telemetry_;
    }
    // The requests the server received once every report has ended.
    int reports() {
        EXPECT_TRUE(waitUntil([this] { return telemetry_->pendingRequests() == 0; }));
        return int(server_->requests().size());
    }

    std::unique_ptr<TestCertificate> certificate_;
    std::unique_ptr<CaptureServer> server_;
};

TEST_F(CurvesReportTest, DrawingsAskedForAreReportedAndResizesAreNot) {
    click("ECC83 / 12AX7");
    ASSERT_EQ(reports(), 1);
    EXPECT_TRUE(server_->requests()[0].startsWith("HEAD /log/desktop.php?action=tube "))
        << server_->requests()[0].toStdString();

    const QSize before = anodeImage()->size();
    w->resize(1200, 800);
    QApplication::processEvents();
    ASSERT_NE(anodeImage()->size(), before);
    const double ratio = anodeImage()->image().devicePixelRatio();
    EXPECT_EQ(anodeImage()->image().size(), anodeImage()->size() * ratio) << "drawn again at its new size";
    settle();
    EXPECT_EQ(reports(), 1);

    click("EL34");
    EXPECT_EQ(reports(), 2);
    QTest::mouseClick(child<QRadioButton>(w, "RGparmVak"), Qt::LeftButton);
    EXPECT_EQ(reports(), 3);
    typeVs("5");
    EXPECT_EQ(reports(), 3);
    typeVs("25"); // "2" is below 10 V, "25" draws
    EXPECT_EQ(reports(), 4);
}
#endif
