// Helpers of the main-window tests: a data folder filled by the installation step as a first start
// finds it (the packaged files only: no database, no settings), the main window made and shown in it,
// and the library's tree nodes.
#pragma once

#include "ui_test_support.h"

#include "storage/data_install.h"
#include "storage/settings.h"
#include "ui/library_page.h"
#include "ui/library_tree.h"
#include "ui/main_window.h"

#include <QFile>

#include <memory>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/";
        setDataFolderOverride(folder_);
        ASSERT_TRUE(installDataFolder(VALVENIX_PACKAGED_DIR).ok);
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

    // The main window after its start-up steps, shown (its first showing restores the stored choices).
    TForm1* openMainWindow(bool show = true) {
        auto* w = new TForm1;
        if (show) {
            w->show();
            QApplication::processEvents();
        }
        return w;
    }
    // A settings key written as another program run would have left it.
    void writeSetting(const char* key, const std::string& value) {
        TIniPosDim settings;
        settings.Open();
        ASSERT_TRUE(settings.writeString(kMainSection, key, value));
    }
    std::string path(const std::string& name) const { return folder_ + name; }
    bool exists(const std::string& name) const { return QFile::exists(QString::fromStdString(path(name))); }
    MessageBoxes& boxes() { return *boxes_; }
    // Questions are answered No (or Yes) from now on; the texts recorded so far are dropped.
    void answerNo() { boxes_ = std::make_unique<MessageBoxes>(false); }
    void answerYes() { boxes_ = std::make_unique<MessageBoxes>(true); }

private:
    QTemporaryDir dir_;
    std::string folder_;
    std::unique_ptr<MessageBoxes> boxes_;
};

// The library tree's nodes of one level, as records, in tree order. Level 2 lists the user's saved
// configurations only: the built-in example beneath every circuit is left out.
inline std::vector<TRecVSTLibrary> treeNodes(TLibraryTree* tree, int level) {
    std::vector<TRecVSTLibrary> nodes;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (TLibraryTree::record(*it).level == level && !TLibraryTree::record(*it).builtIn)
            nodes.push_back(TLibraryTree::record(*it));
    return nodes;
}
