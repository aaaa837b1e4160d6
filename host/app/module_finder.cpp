#include "module_finder.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace panel::app {

bool ModuleFinder::is_windows_module(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".gau";
}

std::filesystem::path ModuleFinder::find(const std::string& module) const {
    // A name with a folder in it would let a panel file reach anywhere.
    if (module.empty() || module.find_first_of("/\\") != std::string::npos || module == "." || module == "..") {
        throw std::runtime_error("module name \"" + module + "\" is not a plain file name");
    }
    // Asked for the Windows modules, a native one found instead would fly in their place unseen.
    const std::vector<const char*> extensions =
        windows_.required ? std::vector<const char*>{".gau"} : std::vector<const char*>{".so", ".gau"};
    std::string looked;
    for (const std::filesystem::path& folder : folders_) {
        for (const char* extension : extensions) {
            const std::filesystem::path candidate = folder / (module + extension);
            if (std::filesystem::is_regular_file(candidate)) return candidate;
        }
        looked += (looked.empty() ? "" : ", ") + folder.string();
    }
    const std::string what = windows_.required ? module + ".gau (--windows flies only Windows modules)" : module;
    throw std::runtime_error("module " + what + " is not in " + (looked.empty() ? "any gauge folder" : looked));
}

WindowsBuild windows_build(bool windows_asked, const std::filesystem::path& asked,
                           const std::filesystem::path& configured) {
    const auto bridge_in = [](const std::filesystem::path& build) { return build / "bin" / "panel_bridge.exe"; };
    WindowsBuild build;
    if (!windows_asked) {
        if (!configured.empty()) build.modules.bridge = bridge_in(configured);
        return build;
    }
    const std::filesystem::path folder = asked.empty() ? configured : asked;
    if (folder.empty()) {
        throw std::runtime_error(
            "--windows: no Windows build folder was configured with this panelhost "
            "(PANEL_WINDOWS_BUILD_DIR); name one: --windows DIR");
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw std::runtime_error(folder.string() + ": no such Windows build folder (tools/build-windows.sh makes one)");
    }
    build.modules.required = true;
    // The build's own bridge, or the configured one beside an install folder that has none.
    build.modules.bridge = bridge_in(folder);
    if (!std::filesystem::is_regular_file(build.modules.bridge, error) && !configured.empty()) {
        build.modules.bridge = bridge_in(configured);
    }
    build.folders = {folder / "modules", folder / "Gauges", folder};
    return build;
}

}  // namespace panel::app
