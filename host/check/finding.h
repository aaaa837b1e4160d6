// What the module checker reports: one finding per fault, named by where it lies in the
// module ("linkage", "import", "header", "element N", "area N", "bitmap 0xID", or "" for the
// file as a whole).
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace panel::check {

struct Finding {
    // A note is something the host copes with (a frame above the first that is never asked
    // for): shown on request, never a failure.
    enum Severity { error, note };
    Severity severity = error;
    std::string where;
    std::string what;
};

using Findings = std::vector<Finding>;

// A file that cannot be read as a gauge module at all. The message is one line, without the
// file's name, which the caller puts in front.
class UnreadableModule : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace panel::check
