// The names scripts give to the gauges, their controls and their elements, keyed by the
// gauge's own name (its header's): controls in mouse-area order, elements in draw order, so
// each list reads beside the face it names. A gauge not listed here is addressed by its own
// name, with numbers for its controls and elements.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace panel::controls {

struct FaceNames {
    std::string_view gauge;                      // the gauge's own name
    std::string_view alias;                      // a short name for scripts
    std::span<const std::string_view> controls;  // controls[n - 1] names clickable area n
    std::span<const std::string_view> elements;  // elements[n - 1] names element n
};

// The names of the gauge called `gauge_name`, or nullptr.
const FaceNames* face_names(std::string_view gauge_name);
std::span<const FaceNames> known_faces();

// The 1-based number a name stands for, or 0 for a name the list lacks.
size_t number_of(std::span<const std::string_view> names, std::string_view name);

}  // namespace panel::controls
