#include "own_files.h"

#include <fstream>
#include <map>
#include <string>

namespace panel::app {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> read_build_tree(const fs::path& file) {
    std::map<std::string, std::string> folders;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) folders[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return folders;
}

OwnFiles build_tree_files(const fs::path& file) {
    const std::map<std::string, std::string> folders = read_build_tree(file);
    const auto folder = [&](const char* key) {
        const auto found = folders.find(key);
        return found == folders.end() ? fs::path() : fs::path(found->second);
    };
    OwnFiles files;
    files.modules = folder("modules");
    files.sounds = folder("source");
    files.flightgear = files.sounds / "packaging" / "flightgear";
    if (const fs::path windows = folder("windows"); !windows.empty()) {
        files.windows = windows / "modules";
        files.bridge = windows / "bin" / "panel_bridge.exe";
    }
    return files;
}

OwnFiles installed_files(const fs::path& prefix) {
    OwnFiles files;
    files.modules = prefix / PANEL_INSTALL_LIBDIR;
    const fs::path data = prefix / PANEL_INSTALL_DATADIR;
    files.sounds = data;
    files.flightgear = data / "flightgear";
    // The Windows build came with it when its bridge did.
    std::error_code error;
    if (fs::is_regular_file(files.modules / "panel_bridge.exe", error)) {
        files.windows = files.modules;
        files.bridge = files.modules / "panel_bridge.exe";
    }
    return files;
}

}  // namespace

OwnFiles own_files_of(const fs::path& program) {
    const fs::path folder = program.parent_path();
    std::error_code error;
    if (fs::is_regular_file(folder / build_tree_file, error)) return build_tree_files(folder / build_tree_file);
    // The prefix is as many folders up as the bin folder is deep (bin: one).
    fs::path prefix = folder;
    for (const auto& part : fs::path(PANEL_INSTALL_BINDIR)) {
        if (!part.empty()) prefix = prefix.parent_path();
    }
    return installed_files(prefix);
}

OwnFiles own_files() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return own_files_of(error ? fs::path() : program);
}

}  // namespace panel::app
