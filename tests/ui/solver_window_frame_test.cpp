// The solver window's frame as a user first sees it: the header takes no caret, and the result tabs get
// their room beside the sheet whatever the circuit, within the screen.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "circuits/catalogue.h"
#include "ui/markup_display.h"

#include <QGroupBox>
#include <QScreen>
#include <QTest>

namespace {

TEST_F(UiTest, TheHeaderNeverTakesTheFocusNorShowsACaret) {
    auto* w = new TFormSolver(7);
    w->show();
    QApplication::setActiveWindow(w);
    auto* header = child<TDisplayMiniHTML>(w, "DMH");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(header->hasFocus());
    // Tabbing through the whole window never lands on it.
    for (QWidget* next = w->nextInFocusChain(); next != w; next = next->nextInFocusChain())
        EXPECT_FALSE(next == header && (next->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(header->plainText(), "Circuit #7\nDifferential phase inverter, cathode bias");
}

TEST_F(UiTest, TheResultTabsGetTheirRoomBesideTheSheetForEveryCircuit) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (int n = 1; n <= kCircuitCount; ++n) {
        auto* w = new TFormSolver(n);
        w->show();
        QApplication::processEvents();
        EXPECT_GE(tabs(w)->width(), TFormSolver::kMinTabsWidth - 20) << "C" << n;
        EXPECT_LE(w->width(), screen.width()) << "C" << n;
        // The sheet panel is as wide as the sheet, or narrower (scrolling) when the screen is short of room.
        EXPECT_GE(child<QGroupBox>(w, "PanelParams")->width(), TFormSolver::kCollapsedPanelWidth) << "C" << n;
        delete w;
    }
}

} // namespace
