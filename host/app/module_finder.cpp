#include "module_finder.h"

#include <stdexcept>

namespace panel::app {

std::filesystem::path ModuleFinder::find(const std::string& module) const {
    // A name with a folder in it would let a panel file reach anywhere.
    if (module.empty() || module.find_first_of("/\\") != std::string::npos || module == "." || module == "..") {
        throw std::runtime_error("module name \"" + module + "\" is not a plain file name");
    }
    std::string looked;
    for (const std::filesystem::path& folder : folders_) {
        const std::filesystem::path candidate = folder / (module + ".so");
        if (std::filesystem::is_regular_file(candidate)) return candidate;
        looked += (looked.empty() ? "" : ", ") + folder.string();
    }
    throw std::runtime_error("module " + module + " is not in " + (looked.empty() ? "any gauge folder" : looked));
}

}  // namespace panel::app
