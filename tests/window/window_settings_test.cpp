// The fly window's remembered place: what is saved comes back; a damaged, huge or missing file
// gives the defaults; a failed save keeps the old file; a pipe or folder in its place is named
// and left alone; and the window opens on a display whatever the file says.
#include "window_settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

#include "window_placement.h"

namespace panel::window {
void PrintTo(const WindowPlacement& p, std::ostream* out) {
    *out << "display " << p.display << (p.centred ? " centred " : " at ") << p.x << "," << p.y << " " << p.width << "x"
         << p.height;
}
}  // namespace panel::window

namespace {

namespace fs = std::filesystem;
using panel::window::load_window_settings;
using panel::window::place_window;
using panel::window::save_window_settings;
using panel::window::ScreenRect;
using panel::window::window_settings_refusal;
using panel::window::WindowPlacement;
using panel::window::WindowSettings;

class WindowSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("window_settings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                   "_" + std::to_string(getpid()));
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

TEST_F(WindowSettingsFile, WhatIsNoFileIsNamedNeitherWaitedOnNorWrittenOver) {
    fs::create_directories(file().parent_path());
    EXPECT_FALSE(window_settings_refusal(file()));  // none yet
    // A pipe no one writes: opening it to read would wait for ever.
    ASSERT_EQ(mkfifo(file().c_str(), 0600), 0);
    const std::optional<std::string> refusal = window_settings_refusal(file());
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->rfind(file().string() + ": a named pipe, not a settings file", 0), 0u) << *refusal;
    EXPECT_FALSE(load_window_settings(file()).placed);
    EXPECT_FALSE(save_window_settings(file(), {.x = 1, .y = 2}));
    EXPECT_TRUE(fs::is_fifo(file()));
    fs::remove(file());
    fs::create_directory(file());
    EXPECT_NE(window_settings_refusal(file()).value_or("").find("a folder"), std::string::npos);
    EXPECT_FALSE(save_window_settings(file(), {.x = 1, .y = 2}));
    EXPECT_TRUE(fs::is_directory(file()));
}

// Two displays side by side, the first with a panel along its bottom; a 500 x 300 picture.
class WindowPlacing : public ::testing::Test {
protected:
    WindowPlacement place(const WindowSettings& saved, std::optional<int> asked = std::nullopt) const {
        return place_window(saved, 500, 300, asked, screens);
    }
    const std::vector<ScreenRect> screens = {{0, 0, 1280, 1000}, {1280, 0, 1920, 1080}};
};

TEST_F(WindowPlacing, APlaceAndSizeOnADisplayAreKept) {
    EXPECT_EQ(place({.x = 100, .y = 50, .width = 1000, .height = 536, .placed = true}),
              (WindowPlacement{0, false, 100, 50, 1000, 536}));
    EXPECT_EQ(place({.x = 2000, .y = 100, .display = 1, .placed = true}),
              (WindowPlacement{1, false, 2000, 100, 500, 300}));
    // Half off the screen, as someone may leave it, is still a place on it.
    EXPECT_EQ(place({.x = -250, .y = 900, .placed = true}), (WindowPlacement{0, false, -250, 900, 500, 300}));
    // Nothing saved: centred on the display it was on.
    EXPECT_EQ(place({.width = 800, .height = 400, .display = 1}), (WindowPlacement{1, true, 0, 0, 800, 400}));
}

TEST_F(WindowPlacing, APlaceOffEveryDisplayComesBackOntoItsOwn) {
    // Below and right of the first screen (x 3000 y 2000 on 1280 x 1024), and far out left.
    EXPECT_EQ(place({.x = 3000, .y = 2000, .placed = true}), (WindowPlacement{0, false, 780, 700, 500, 300}));
    EXPECT_EQ(place({.x = -90000, .y = 10, .placed = true}), (WindowPlacement{0, false, 0, 10, 500, 300}));
    EXPECT_EQ(place({.x = 5000, .y = -400, .display = 1, .placed = true}),
              (WindowPlacement{1, false, 2700, 0, 500, 300}));
    // So far out that the far edge would wrap round onto a screen.
    EXPECT_EQ(place({.x = INT_MAX - 10, .y = INT_MIN, .width = 100, .height = 100, .placed = true}),
              (WindowPlacement{0, false, 1180, 0, 100, 100}));
    // Showing only a sliver is off the screen too.
    EXPECT_EQ(place({.x = 100, .y = 995, .placed = true}), (WindowPlacement{0, false, 100, 700, 500, 300}));
    // Off the first display but whole on the second is on a display.
    EXPECT_EQ(place({.x = 1275, .y = 10, .placed = true}).x, 1275);
}

TEST_F(WindowPlacing, ASizeTheDisplayCannotTakeGivesThePicturesSize) {
    for (const WindowSettings& saved :
         {WindowSettings{.width = 16385, .height = 400}, WindowSettings{.width = 1281, .height = 400},
          WindowSettings{.width = 1000, .height = 1001}}) {
        const WindowPlacement placement = place(saved);
        EXPECT_EQ(placement.width, 500) << saved.width << "x" << saved.height;
        EXPECT_EQ(placement.height, 300) << saved.width << "x" << saved.height;
    }
    // The wider display takes what the first cannot.
    EXPECT_EQ(place({.width = 1900, .height = 1000, .display = 1}).width, 1900);
    // SDL's own limit holds whatever the display says.
    EXPECT_EQ(place_window({.width = 16385, .height = 400}, 500, 300, std::nullopt,
                           std::vector<ScreenRect>{{0, 0, 20000, 2000}})
                  .width,
              500);
}

TEST_F(WindowPlacing, ADisplayAskedForOrGoneMeansCentredThere) {
    const WindowSettings saved{.x = 2000, .y = 100, .width = 900, .height = 500, .display = 1, .placed = true};
    EXPECT_EQ(place(saved, 0), (WindowPlacement{0, true, 0, 0, 500, 300}));
    // The display it was on is gone: the first, at the saved size.
    EXPECT_EQ(place({.x = 4000, .y = 100, .width = 900, .height = 500, .display = 2, .placed = true}),
              (WindowPlacement{0, true, 0, 0, 900, 500}));
    // No display known: centred on the first at the picture's size.
    EXPECT_EQ(place_window(saved, 500, 300, std::nullopt, {}), (WindowPlacement{0, true, 0, 0, 500, 300}));
}

}  // namespace
