// `--windows [DIR]` takes an optional folder, and a command-line parser hands it whatever word
// comes next: `panelhost run --windows flight.scenario` would read the script as the folder.
// The word after a bare `--windows` is its folder unless it names an existing file; then the
// option stands alone and the word keeps its place as the command's script or module.
#pragma once

#include <string>
#include <vector>

namespace panel::app {

// The arguments with such a bare `--windows` moved last (before any "--"), where it takes no
// folder and so flies the configured build.
std::vector<std::string> windows_option_alone(std::vector<std::string> arguments);

}  // namespace panel::app
