// What the gauges of a panel are called by whoever addresses them (a script, a browser, a
// bindings file): a gauge's own name or its short alias from face_names.h, with #N for the N-th
// of several of one name in panel order ("gps#2").
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panel::controls {

class GaugeNames {
public:
    // `own_names`: each placed gauge's own name (its header's), in panel order.
    explicit GaugeNames(std::vector<std::string> own_names);

    struct Found {
        std::optional<size_t> gauge;
        std::string problem;  // one line when nothing was found
    };
    Found find(std::string_view written) const;

    // "gps", or the gauge's own name for a gauge without an alias.
    std::string label(size_t gauge) const;
    // The same with #N where several share it ("gps#2"): a name `find` takes back.
    std::string unique_label(size_t gauge) const;
    size_t size() const { return own_names_.size(); }
    const std::string& own_name(size_t gauge) const { return own_names_.at(gauge); }

private:
    std::vector<size_t> named(std::string_view name) const;

    std::vector<std::string> own_names_;
};

}  // namespace panel::controls
