// The copy buttons: report texts, the log grid as tab-separated lines with CR LF, and pictures
// rendered from the controls.
#include "ui_test_support.h"
#include "window_helpers.h"

#include <QClipboard>
#include <QTest>
#include <QToolButton>

TEST_F(UiTest, LogGridCopyGivesTheTitlesThenOneLinePerSolve) {
    auto* w = new TFormSolver(1);
    w->ButtonSolverClick();
    setValues(w, {{"EdRa", "47k"}});
    w->ButtonSolverClick();
    QTest::mouseClick(child<QToolButton>(w, "Button1"), Qt::LeftButton);
    const QString copied = QApplication::clipboard()->text();
    const QStringList lines = copied.split("\r\n");
    ASSERT_EQ(lines.size(), 4) << copied.toStdString(); // three lines and the empty rest
    EXPECT_TRUE(lines[3].isEmpty());
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i].endsWith('\t')) << lines[i].toStdString();
    EXPECT_TRUE(lines[0].startsWith("-\tT1\tVb (V)\tRa (\u03a9)\t"));
    EXPECT_TRUE(lines[2].contains("\t47,000\t")) << lines[2].toStdString();
    EXPECT_EQ(lines[1].count('\t'), lines[0].count('\t'));
}

TEST_F(UiTest, TextCopyButtonsGiveTheReportsAsPlainText) {
    auto* w = new TFormSolver(1);
    w->ButtonSolverClick();
    const std::pair<const char*, const char*> buttons[] = {{"butCopyDC", "DMHDC"}, {"butCopyAC", "DMHAC"}};
    for (const auto& [button, display] : buttons) {
        QApplication::clipboard()->clear();
        QTest::mouseClick(child<QToolButton>(w, button), Qt::LeftButton);
        const std::string copied = QApplication::clipboard()->text().toStdString();
        EXPECT_EQ(copied, text(w, display)) << button;
        EXPECT_EQ(copied.find('<'), std::string::npos) << button;
    }
}

TEST_F(UiTest, PictureCopyButtonsGiveThePicturesAsDrawn) {
    auto* w = new TFormSolver(1);
    w->resize(1300, 800);
    w->show();
    w->ButtonSolverClick();
    const std::pair<const char*, const char*> buttons[] = {{"Button3", "ImageBode"},
                                                           {"butCopyStacks", "ImgBar"}};
    for (const auto& [button, picture] : buttons) {
        QApplication::clipboard()->clear();
        w->copyToClipboard(child<QToolButton>(w, button)->property("tag").toInt());
        const QImage copied = QApplication::clipboard()->image();
        EXPECT_FALSE(copied.isNull()) << button;
        EXPECT_EQ(copied.size(), child<TPictureView>(w, picture)->image().size()) << button;
    }
    w->copyToClipboard(1);
    EXPECT_EQ(QApplication::clipboard()->image().size(), child<QWidget>(w, "ContainerSchema")->size());
}

TEST_F(UiTest, CopyFlashesWithoutBlockingTheWindow) {
    auto* w = new TFormSolver(1);
    w->show();
    w->ButtonSolverClick();
    auto* button = child<QToolButton>(w, "butCopyDC");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(child<QWidget>(w, "ImageFlash")->isVisible());
    EXPECT_FALSE(button->isVisible());
    for (int i = 0; i < 200 && !button->isVisible(); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(button->isVisible());
    EXPECT_FALSE(child<QWidget>(w, "ImageFlash")->isVisible());
}
