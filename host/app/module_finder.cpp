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

WindowsBuild windows_build(bool windows_asked, const std::filesystem::path& asked, const ShippedWindows& shipped) {
    WindowsBuild build;
    build.modules.bridge = shipped.bridge;
    if (!windows_asked) return build;
    build.modules.required = true;
    if (asked.empty()) {
        if (shipped.modules.empty()) {
            throw std::runtime_error(
                "--windows: this panelhost came without the Windows modules (its build did not include the "
                "Windows build); name a Windows build folder: --windows DIR");
        }
        build.folders = {shipped.modules};
        return build;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(asked, error)) {
        throw std::runtime_error(asked.string() + ": no such Windows build folder (tools/build-windows.sh makes one)");
    }
    // The build's own bridge, or the shipped one beside an install folder that has none.
    const std::filesystem::path own_bridge = asked / "bin" / "panel_bridge.exe";
    if (std::filesystem::is_regular_file(own_bridge, error) || shipped.bridge.empty())
        build.modules.bridge = own_bridge;
    build.folders = {asked / "modules", asked / "Gauges", asked};
    return build;
}

}  // namespace panel::app
