// Helpers of the window tests: one QApplication for the test program (offscreen), a fresh data
// folder holding the built-in models for each test, and a recorder that answers the message boxes
// a test provokes.
#pragma once

#include "storage/data_folder.h"
#include "storage/model_database.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Never destroyed: tearing Qt down among the static destructors at exit would outlive its globals.
inline void ensureApplication() {
    if (QApplication::instance())
        return;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Answers every modal message box shown while it lives (Yes for a question unless told otherwise,
// OK for the others) and keeps their texts in order. Another modal dialog goes to the handler given
// for it, or is cancelled.
class MessageBoxes {
public:
    explicit MessageBoxes(bool answerYes = true) : yes_(answerYes) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(5);
    }
    // The answer to the questions from now on: Yes, or No.
    void setAnswer(bool yes) { yes_ = yes; }
    // Runs for a modal dialog that is not a message box (the dialog is then closed by the handler).
    void onDialog(std::function<void(QWidget*)> handler) { dialog_ = std::move(handler); }

    void clear() {
        texts.clear();
        icons.clear();
        dialogs.clear();
    }

    std::vector<std::string> texts;
    std::vector<QMessageBox::Icon> icons;
    std::vector<std::string> dialogs; // other modal dialogs, cancelled

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            texts.push_back(box->text().toStdString());
            icons.push_back(box->icon());
            const bool question = box->standardButtons() & QMessageBox::Yes;
            box->done(question ? (yes_ ? QMessageBox::Yes : QMessageBox::No) : QMessageBox::Ok);
        } else if (dialog_) {
            auto handler = std::move(dialog_);
            dialog_ = nullptr;
            handler(modal);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            // A dialog nobody expected is cancelled, so that a test never waits for a user.
            dialogs.push_back(dialog->objectName().toStdString());
            dialog->reject();
        }
    }

    QTimer timer_;
    bool yes_;
    std::function<void(QWidget*)> dialog_;
};

// A test with its own data folder, the model database seeded with the built-in models, and every
// message box answered and recorded. Every top-level window left open by the test is destroyed at
// its end.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir_.isValid());
        setDataFolderOverride(dir_.path().toStdString() + "/");
        prepareModelDatabase();
        boxes_ = std::make_unique<MessageBoxes>();
    }
    void TearDown() override {
        std::vector<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (!w->parentWidget())
                windows.emplace_back(w);
        for (const QPointer<QWidget>& w : windows)
            delete w.data();
        boxes_.reset();
        setDataFolderOverride("");
    }
    // The message boxes shown so far by the test (each answered at once, so nothing waits).
    MessageBoxes& boxes() { return *boxes_; }
    std::string path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

private:
    QTemporaryDir dir_;
    std::unique_ptr<MessageBoxes> boxes_;
};
