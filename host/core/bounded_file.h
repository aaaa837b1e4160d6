// Whole files read with a limit: a script, panel or recording named by mistake as a device, a
// pipe that never ends or a huge file gets one line instead of eating the machine's memory.
// Pipes and process substitutions are still read, up to the limit.
#pragma once

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace panel {

class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's bytes. Throws FileReadError "FILE: cannot read (why)", or "FILE: more than N MiB,
// too large for WHAT" (`what` such as "a scenario").
std::string read_bounded_file(const std::filesystem::path& file, size_t largest, std::string_view what);

}  // namespace panel
