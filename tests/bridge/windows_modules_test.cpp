// How panelhost finds its own files and runs Windows modules: which file of a folder is taken,
// which Windows build and bridge a command flies with, and where the wine prefix lies.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "i386_programs.h"
#include "module_finder.h"
#include "own_files.h"
#include "wine_prefix.h"

namespace panel {
namespace {

namespace fs = std::filesystem;

class Folder {
public:
    Folder() : path_(fs::temp_directory_path() / ("panel-bridge-test-" + std::to_string(::getpid()))) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Folder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    void touch(const fs::path& name) const {
        fs::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name) << "x";
    }

private:
    fs::path path_;
};

TEST(WindowsModules, ANativeModuleComesFirstUnlessWindowsModulesAreAskedFor) {
    Folder folder;
    folder.touch("both.so");
    folder.touch("both.gau");
    folder.touch("only.gau");
    folder.touch("native.so");
    const app::ModuleFinder native({folder.path()});
    EXPECT_EQ(native.find("both"), folder.path() / "both.so");
    EXPECT_EQ(native.find("only"), folder.path() / "only.gau");
    const app::ModuleFinder windows({folder.path()}, {.required = true, .bridge = {}});
    EXPECT_EQ(windows.find("both"), folder.path() / "both.gau");
    // Asked for Windows modules, a native one never stands in for a missing .gau.
    try {
        windows.find("native");
        FAIL() << "a native module was found for --windows";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("native.gau"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(app::ModuleFinder::is_windows_module("X/GPS.GAU"));
    EXPECT_FALSE(app::ModuleFinder::is_windows_module("X/gau.so"));
}

TEST(WindowsModules, TheWindowsBuildIsTheOneNamedOrTheShippedOne) {
    Folder folder;
    folder.touch("named/bin/panel_bridge.exe");
    folder.touch("configured/bin/panel_bridge.exe");
    folder.touch("install/Gauges/GPS.gau");
    const fs::path named = folder.path() / "named";
    const app::ShippedWindows configured{folder.path() / "configured" / "modules",
                                         folder.path() / "configured" / "bin" / "panel_bridge.exe"};

    // Not asked for: only the configured build's bridge, for a .gau found anyway.
    app::WindowsBuild build = app::windows_build(false, {}, configured);
    EXPECT_FALSE(build.modules.required);
    EXPECT_EQ(build.modules.bridge, configured.bridge);
    EXPECT_TRUE(build.folders.empty());
    EXPECT_TRUE(app::windows_build(false, {}, {}).modules.bridge.empty());

    build = app::windows_build(true, named, configured);
    EXPECT_TRUE(build.modules.required);
    EXPECT_EQ(build.modules.bridge, named / "bin" / "panel_bridge.exe");
    EXPECT_EQ(build.folders, (std::vector<fs::path>{named / "modules", named / "Gauges", named}));
    build = app::windows_build(true, {}, configured);
    EXPECT_EQ(build.modules.bridge, configured.bridge);
    EXPECT_EQ(build.folders, std::vector<fs::path>{configured.modules});
    // An install folder has no bridge of its own: the shipped one's runs its modules.
    EXPECT_EQ(app::windows_build(true, folder.path() / "install", configured).modules.bridge, configured.bridge);

    try {
        app::windows_build(true, {}, {});
        FAIL() << "no build, yet one was found";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("--windows DIR"), std::string::npos) << error.what();
    }
    try {
        app::windows_build(true, folder.path() / "nowhere", configured);
        FAIL() << "a missing folder was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).find((folder.path() / "nowhere").string() + ": no such Windows build"), 0u)
            << error.what();
    }
}

TEST(OwnFiles, AreTheBuildTreesBesideItsFileElseThoseUnderThePrefix) {
    Folder folder;
    folder.touch("opt/x/bin/panelhost");
    const app::OwnFiles installed = app::own_files_of(folder.path() / "opt/x/bin/panelhost");
    const fs::path prefix = folder.path() / "opt/x";
    EXPECT_EQ(installed.modules, prefix / "lib/panelhost");
    EXPECT_EQ(installed.sounds, prefix / "share/panelhost");
    EXPECT_EQ(installed.protocol(), prefix / "share/panelhost/flightgear/panelhost.xml");
    // No bridge installed: no Windows modules, rather than a bridge that is not there.
    EXPECT_TRUE(installed.windows.empty());
    EXPECT_TRUE(installed.bridge.empty());
    folder.touch("opt/x/lib/panelhost/panel_bridge.exe");
    EXPECT_EQ(app::own_files_of(folder.path() / "opt/x/bin/panelhost").bridge,
              prefix / "lib/panelhost/panel_bridge.exe");

    folder.touch("build/host/app/panelhost");
    std::ofstream(folder.path() / "build/host/app" / app::build_tree_file)
        << "modules=/b/modules\nsource=/s\nwindows=/w\n";
    const app::OwnFiles built = app::own_files_of(folder.path() / "build/host/app/panelhost");
    EXPECT_EQ(built.modules, fs::path("/b/modules"));
    EXPECT_EQ(built.sounds, fs::path("/s"));
    EXPECT_EQ(built.protocol(), fs::path("/s/packaging/flightgear/panelhost.xml"));
    EXPECT_EQ(built.windows, fs::path("/w/modules"));
    EXPECT_EQ(built.bridge, fs::path("/w/bin/panel_bridge.exe"));
    std::ofstream(folder.path() / "build/host/app" / app::build_tree_file)
        << "modules=/b/modules\nsource=/s\nwindows=\n";
    EXPECT_TRUE(app::own_files_of(folder.path() / "build/host/app/panelhost").bridge.empty());
}

TEST(WinePrefix, LiesInTheUsersCacheFolder) {
    EXPECT_EQ(bridge::wine_prefix_folder("/x/cache", "/home/p"), fs::path("/x/cache/panelhost/wine"));
    // A relative XDG_CACHE_HOME is to be ignored, as the base directory rules say.
    EXPECT_EQ(bridge::wine_prefix_folder("cache", "/home/p"), fs::path("/home/p/.cache/panelhost/wine"));
    EXPECT_EQ(bridge::wine_prefix_folder("", "/home/p"), fs::path("/home/p/.cache/panelhost/wine"));
    EXPECT_EQ(bridge::wine_prefix_folder(nullptr, "/home/p"), fs::path("/home/p/.cache/panelhost/wine"));
    EXPECT_THROW(bridge::wine_prefix_folder(nullptr, nullptr), std::runtime_error);
    EXPECT_THROW(bridge::wine_prefix_folder("", ""), std::runtime_error);
}

TEST(WinePrefix, WineRunsQuietlyIn32BitsWithoutInstallerDialogs) {
    const std::vector<std::string> environment = bridge::wine_environment("/p/wine");
    EXPECT_EQ(environment, (std::vector<std::string>{"WINEPREFIX=/p/wine", "WINEARCH=win32", "WINEDEBUG=-all",
                                                     "WINEDLLOVERRIDES=mscoree,mshtml="}));
    const std::vector<std::string> command = bridge::wine_bridge_command("/b/panel_bridge.exe", "/m/GPS.gau");
    EXPECT_EQ(command, (std::vector<std::string>{"wine", "/b/panel_bridge.exe", "/m/GPS.gau"}));
}

}  // namespace
}  // namespace panel

namespace panel {
namespace {

void write_file(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

// Entries as binfmt_misc shows them.
std::string binfmt_entry(const char* state, const char* magic) {
    return std::string(state) + "\ninterpreter /usr/bin/qemu\nflags: F\noffset 0\nmagic " + magic +
           "\nmask fffffffffffefe00fffffffffffffffffeffffff\n";
}

TEST(I386Programs, AnEmulatorCountsOnlyWhenEnabledForX86) {
    Folder folder;
    write_file(folder.path() / "status", "enabled\n");
    write_file(folder.path() / "qemu-arm", binfmt_entry("enabled", "7f454c4601010100000000000000000002002800"));
    write_file(folder.path() / "qemu-i386", binfmt_entry("disabled", "7f454c4601010100000000000000000002000300"));
    EXPECT_FALSE(bridge::i386_emulator_registered(folder.path()));
    write_file(folder.path() / "qemu-i386", binfmt_entry("enabled", "7f454c4601010100000000000000000002000300"));
    EXPECT_TRUE(bridge::i386_emulator_registered(folder.path()));
    EXPECT_FALSE(bridge::i386_emulator_registered(folder.path() / "not-mounted"));
}

TEST(I386Programs, TheLoaderDecides) {
    Folder folder;
    fs::create_directories(folder.path() / "binfmt");
    write_file(folder.path() / "refused", "not a program\n");
    fs::permissions(folder.path() / "refused", fs::perms::owner_all);
    const fs::path runs = "/bin/true";  // any program that takes --version
    using bridge::I386Programs;
    EXPECT_EQ(
        bridge::probe_i386_programs({.loader = folder.path() / "missing", .binfmt_misc = folder.path() / "binfmt"}),
        I386Programs::no_loader);
    EXPECT_EQ(
        bridge::probe_i386_programs({.loader = folder.path() / "refused", .binfmt_misc = folder.path() / "binfmt"}),
        I386Programs::refused);
    EXPECT_EQ(bridge::probe_i386_programs({.loader = runs, .binfmt_misc = folder.path() / "binfmt"}),
              I386Programs::native);
    write_file(folder.path() / "binfmt" / "qemu-i386",
               binfmt_entry("enabled", "7f454c4601010100000000000000000002000300"));
    EXPECT_EQ(bridge::probe_i386_programs({.loader = runs, .binfmt_misc = folder.path() / "binfmt"}),
              I386Programs::emulated);
}

}  // namespace
}  // namespace panel
