// Where and how panelhost runs Windows programs: under wine, in a private 32-bit prefix of its
// own (never the user's), made on first use without dialogs, with wine's debug chatter off.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace panel::bridge {

// $XDG_CACHE_HOME/panelhost/wine, or ~/.cache/panelhost/wine; either variable may be null or
// empty. Throws std::runtime_error when neither gives a folder.
std::filesystem::path wine_prefix_folder(const char* xdg_cache_home, const char* home);

// The variables wine runs with in `prefix`, as NAME=VALUE.
std::vector<std::string> wine_environment(const std::filesystem::path& prefix);

// Makes the prefix unless it is there already (one line on `progress` while wine sets it up;
// two panelhosts starting at once make it once), then returns. Throws std::runtime_error with
// one line when wine is missing or cannot make it.
void ensure_wine_prefix(const std::filesystem::path& prefix, std::FILE* progress);

// The command that runs the bridge program on `module` under wine.
std::vector<std::string> wine_bridge_command(const std::filesystem::path& bridge, const std::filesystem::path& module);

}  // namespace panel::bridge
