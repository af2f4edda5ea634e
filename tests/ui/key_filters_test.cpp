// What a user can type into the number boxes: the sheet's value boxes (with "-" only where a field
// takes negative values), kza and kzb, and the RC calculator.
#include "ui_test_support.h"
#include "window_helpers.h"

#include "ui/key_filters.h"

#include <QLineEdit>
#include <QTest>

TEST_F(UiTest, TypedCharactersOutsideABoxSetAreDropped) {
    struct Case {
        const char* name;
        KeyFilterKind kind;
        QChar separator;
        const char* typed;
        const char* shown;
    } cases[] = {
        {"letter in a sheet box", KeyFilterKind::Sheet, '.', "a", ""},
        {"minus in a positive field", KeyFilterKind::Sheet, '.', "-5", "5"},
        {"minus in a bias field", KeyFilterKind::SheetNegative, '.', "-5", "-5"},
        {"suffixes and separator", KeyFilterKind::Sheet, '.', "4k7 2.2M 10\u00b5 47n 5p 1m",
         "4k72.2M10\u00b547n5p1m"},
        {"the other separator", KeyFilterKind::Sheet, ',', "1.5,2", "15,2"},
        {"capital K and exponent", KeyFilterKind::Sheet, '.', "1K1e3", "113"},
        {"kza point becomes the separator", KeyFilterKind::Kza, ',', "1.5", "1,5"},
        {"kza comma becomes the separator", KeyFilterKind::Kza, '.', "2,1", "2.1"},
        {"kza letters and suffixes", KeyFilterKind::Kza, '.', "-0k.2a", "-0.2"},
        {"RC scientific notation", KeyFilterKind::Rc, ',', "220e3 4.7E-6", "220e34.7E-6"},
        {"RC suffix letters", KeyFilterKind::Rc, '.', "47k", "47"},
    };
    for (const Case& c : cases) {
        QLineEdit box;
        installKeyFilter(&box, c.kind, c.separator);
        QTest::keyClicks(&box, QString::fromUtf8(c.typed));
        EXPECT_EQ(box.text().toStdString(), c.shown) << c.name;
    }
}

TEST_F(UiTest, EditingKeysPassEveryFilter) {
    QLineEdit box;
    installKeyFilter(&box, KeyFilterKind::Sheet, '.');
    QTest::keyClicks(&box, "100");
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Home);
    QTest::keyClick(&box, Qt::Key_Delete);
    EXPECT_EQ(box.text(), "0");
}

TEST_F(UiTest, OnlyTheGridBiasOfThePowerStagesTakesAMinus) {
    struct Case {
        int circuit;
        const char* field;
        bool negative;
    } cases[] = {
        {41, "EdVg", true},  {42, "EdVg", true}, {37, "EdVg", true}, {38, "EdVg2", false},
        {41, "EdVb", false}, {3, "EdVg", false}, {1, "EdRa", false}, {42, "EdZaa", false},
    };
    for (const Case& c : cases) {
        TFormSolver w(c.circuit);
        auto* box = child<QLineEdit>(&w, c.field);
        box->clear();
        QTest::keyClicks(box, "-40");
        EXPECT_EQ(box->text(), c.negative ? "-40" : "40") << "C" << c.circuit << " " << c.field;
        EXPECT_EQ(box->property("tag").toInt() < 0, c.negative);
    }
}
