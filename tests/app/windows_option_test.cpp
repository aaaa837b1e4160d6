// A bare --windows never swallows the script or module that follows it; a folder after it, or
// a word that names nothing yet (reported later as a missing build folder), stays its value.
#include "windows_option.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using panel::app::windows_option_alone;
using Args = std::vector<std::string>;

class WindowsOption : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::temp_directory_path() /
                ("windows_option_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::create_directories(root_ / "build-win");
        std::ofstream(root_ / "flight.scenario") << "frame\n";
    }
    void TearDown() override { fs::remove_all(root_); }
    std::string at(const char* name) const { return (root_ / name).string(); }

    fs::path root_;
};

TEST_F(WindowsOption, AFileAfterItIsTheCommandsOwnArgument) {
    const Args in{"run", "--windows", at("flight.scenario"), "--out", "x"};
    EXPECT_EQ(windows_option_alone(in), (Args{"run", at("flight.scenario"), "--out", "x", "--windows"}));
    const Args before_separator{"check", "--windows", at("flight.scenario"), "--", "-v"};
    EXPECT_EQ(windows_option_alone(before_separator), (Args{"check", at("flight.scenario"), "--windows", "--", "-v"}));
}

TEST_F(WindowsOption, AFolderOrAMissingNameIsItsValue) {
    const Args folder{"demo", "--windows", at("build-win")};
    EXPECT_EQ(windows_option_alone(folder), folder);
    const Args missing{"demo", "--windows", at("no-such-build")};
    EXPECT_EQ(windows_option_alone(missing), missing);
}

TEST_F(WindowsOption, OtherFormsAreLeftAlone) {
    for (const Args& args : {Args{"demo", "--windows"}, Args{"demo", "--windows", "--out", "x"},
                             Args{"run", "--windows=" + at("build-win"), at("flight.scenario")},
                             Args{"run", at("flight.scenario"), "--", "--windows", at("flight.scenario")}}) {
        EXPECT_EQ(windows_option_alone(args), args);
    }
}

}  // namespace
