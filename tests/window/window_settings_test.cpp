// The fly window's remembered place: what is saved comes back; a damaged, huge or missing file
// gives the defaults; a failed save keeps the old file.
#include "window_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using panel::window::load_window_settings;
using panel::window::save_window_settings;
using panel::window::WindowSettings;

class WindowSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("window_settings_" + std::string(
                      ::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    fs::path file() const { return folder_ / "panelhost" / "window.conf"; }

    fs::path folder_;
};

TEST_F(WindowSettingsFile, WhatIsSavedComesBack) {
    const WindowSettings saved{.x = -20, .y = 40, .width = 1000, .height = 536, .display = 1, .full_screen = true};
    ASSERT_TRUE(save_window_settings(file(), saved));
    const WindowSettings loaded = load_window_settings(file());
    EXPECT_EQ(loaded.x, -20);
    EXPECT_EQ(loaded.y, 40);
    EXPECT_EQ(loaded.width, 1000);
    EXPECT_EQ(loaded.height, 536);
    EXPECT_EQ(loaded.display, 1);
    EXPECT_TRUE(loaded.full_screen);
    EXPECT_TRUE(loaded.placed);
    EXPECT_FALSE(fs::exists(file().string() + ".new"));
}

TEST_F(WindowSettingsFile, DamageGivesTheDefaults) {
    EXPECT_FALSE(load_window_settings(file()).placed);  // no file yet
    fs::create_directories(file().parent_path());
    std::ofstream(file()) << "x 99999999\ny 10\nwidth -5\nheight abc\ndisplay -1\n";
    const WindowSettings damaged = load_window_settings(file());
    EXPECT_FALSE(damaged.placed);  // x beyond any screen is not obeyed
    EXPECT_EQ(damaged.width, 0);
    EXPECT_EQ(damaged.height, 0);
    EXPECT_EQ(damaged.display, 0);
    std::ofstream(file()) << "x 1\ny 2\n" << std::string(100000, 'z') << "\n";
    EXPECT_FALSE(load_window_settings(file()).placed);  // too large to be ours
}

TEST_F(WindowSettingsFile, AFailedSaveKeepsTheOldFile) {
    ASSERT_TRUE(save_window_settings(file(), {.x = 5, .y = 6}));
    // A full disk: the write fails only when the buffer goes out, at close.
    fs::create_symlink("/dev/full", file().string() + ".new");
    EXPECT_FALSE(save_window_settings(file(), {.x = 7, .y = 8}));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file())));
    EXPECT_EQ(load_window_settings(file()).x, 5);
    EXPECT_FALSE(fs::exists(fs::symlink_status(file().string() + ".new")));
}

}  // namespace
