#include "windows_option.h"

#include <algorithm>
#include <filesystem>

namespace panel::app {

std::vector<std::string> windows_option_alone(std::vector<std::string> arguments) {
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    const auto bare = std::find(arguments.begin(), end, "--windows");
    if (bare == end || bare + 1 == end) return arguments;
    const std::string& next = *(bare + 1);
    std::error_code error;
    if (next.empty() || next[0] == '-' || !std::filesystem::is_regular_file(next, error)) return arguments;
    // Last before any "--", where there is nothing left for it to take.
    std::rotate(bare, bare + 1, end);
    return arguments;
}

}  // namespace panel::app
