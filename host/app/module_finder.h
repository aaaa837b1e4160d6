// Where the module a panel.cfg line names ("MODULE!GAUGE") is found: the first of the gauge
// folders that holds MODULE with an extension this host can load.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace panel::app {

class ModuleFinder {
public:
    explicit ModuleFinder(std::vector<std::filesystem::path> folders) : folders_(std::move(folders)) {}

    // The module's file; throws std::runtime_error saying where it looked.
    std::filesystem::path find(const std::string& module) const;

    const std::vector<std::filesystem::path>& folders() const { return folders_; }

private:
    std::vector<std::filesystem::path> folders_;
};

}  // namespace panel::app
