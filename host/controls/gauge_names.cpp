#include "gauge_names.h"

#include <charconv>

#include "face_names.h"

namespace panel::controls {

GaugeNames::GaugeNames(std::vector<std::string> own_names) : own_names_(std::move(own_names)) {}

std::vector<size_t> GaugeNames::named(std::string_view name) const {
    std::vector<size_t> found;
    for (size_t i = 0; i < own_names_.size(); ++i) {
        const FaceNames* names = face_names(own_names_[i]);
        if (own_names_[i] == name || (names && names->alias == name)) found.push_back(i);
    }
    return found;
}

GaugeNames::Found GaugeNames::find(std::string_view written) const {
    std::string_view name = written;
    std::optional<size_t> copy;
    const std::string whole(written);
    if (const size_t hash = written.find('#'); hash != std::string_view::npos) {
        name = written.substr(0, hash);
        const std::string_view number = written.substr(hash + 1);
        size_t value = 0;
        const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (error != std::errc() || end != number.data() + number.size() || value == 0) {
            const std::string stem(name);
            return {std::nullopt, "bad gauge number in '" + whole + "' (write " + stem + "#1, " + stem + "#2, ...)"};
        }
        copy = value;
    }
    const std::string stem(name);
    const std::vector<size_t> found = named(name);
    if (found.empty()) {
        std::string known;
        for (size_t i = 0; i < own_names_.size(); ++i) known += (i ? ", " : "") + label(i);
        return {std::nullopt, "unknown gauge '" + stem + "' (the panel has " + (known.empty() ? "none" : known) + ")"};
    }
    if (copy) {
        if (*copy > found.size()) {
            return {std::nullopt,
                    "no gauge '" + whole + "': the panel has " + std::to_string(found.size()) + " " + stem};
        }
        return {found[*copy - 1], {}};
    }
    if (found.size() > 1) {
        return {std::nullopt, "gauge name '" + stem + "' is ambiguous: the panel has " + std::to_string(found.size()) +
                                  "; write " + stem + "#1 to " + stem + "#" + std::to_string(found.size())};
    }
    return {found.front(), {}};
}

std::string GaugeNames::label(size_t gauge) const {
    const std::string& name = own_names_.at(gauge);
    const FaceNames* names = face_names(name);
    return names ? std::string(names->alias) : name;
}

std::string GaugeNames::unique_label(size_t gauge) const {
    const std::string name = label(gauge);
    const std::vector<size_t> same = named(name);
    if (same.size() < 2) return name;
    for (size_t k = 0; k < same.size(); ++k) {
        if (same[k] == gauge) return name + "#" + std::to_string(k + 1);
    }
    return name;
}

}  // namespace panel::controls
