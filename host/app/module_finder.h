// Where the module a panel.cfg line names ("MODULE!GAUGE") is found: the first of the gauge
// folders that holds MODULE with an extension this host can load, a native MODULE.so or a
// Windows MODULE.gau (run by a bridge program under wine).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace panel::app {

// How Windows modules are flown.
struct WindowsModules {
    bool required = false;         // MODULE.gau only; otherwise MODULE.so before MODULE.gau
    std::filesystem::path bridge;  // the bridge program (panel_bridge.exe); empty when none was built
};

class ModuleFinder {
public:
    explicit ModuleFinder(std::vector<std::filesystem::path> folders, WindowsModules windows = {})
        : folders_(std::move(folders)), windows_(std::move(windows)) {}

    // The module's file; throws std::runtime_error saying where it looked.
    std::filesystem::path find(const std::string& module) const;

    const std::vector<std::filesystem::path>& folders() const { return folders_; }
    const WindowsModules& windows() const { return windows_; }

    // Whether `file` is a Windows module, to be run through the bridge.
    static bool is_windows_module(const std::filesystem::path& file);

private:
    std::vector<std::filesystem::path> folders_;
    WindowsModules windows_;
};

// The Windows modules panelhost came with (see own_files.h): their folder and the bridge
// program that runs them, both empty when the Windows build was not part of its build.
struct ShippedWindows {
    std::filesystem::path modules;
    std::filesystem::path bridge;
};

// The Windows build a command flies with: `asked` (--windows DIR), or the shipped one when
// --windows names no folder. Its module folders (those of `asked`: modules/, Gauges/ and itself)
// are searched before the native modules.
struct WindowsBuild {
    WindowsModules modules;
    std::vector<std::filesystem::path> folders;
};
// `windows_asked`: the command asked for the Windows modules. Without it, only the shipped
// bridge is named, for a .gau found among the gauge folders. Throws std::runtime_error with one
// line when the Windows modules are asked for and there are none.
WindowsBuild windows_build(bool windows_asked, const std::filesystem::path& asked, const ShippedWindows& shipped);

}  // namespace panel::app
