// A fresh data folder for one test: every storage function points at it while the fixture lives.
#pragma once

#include "storage/data_folder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

class TempDataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/";
        setDataFolderOverride(folder_);
    }
    void TearDown() override { setDataFolderOverride(""); }
    const std::string& folder() const { return folder_; }
    std::string path(const std::string& name) const { return folder_ + name; }

private:
    QTemporaryDir dir_;
    std::string folder_;
};
