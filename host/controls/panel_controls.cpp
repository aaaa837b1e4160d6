#include "panel_controls.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "face_names.h"
#include "frame_driver.h"
#include "knob_ring.h"

namespace panel::controls {
namespace {

std::vector<std::string> own_names_of(const std::vector<GaugeControls>& gauges) {
    std::vector<std::string> names;
    for (const GaugeControls& gauge : gauges) names.push_back(gauge.own_name);
    return names;
}

// Area `index`'s name on its gauge: from the face's table, else its number from 1.
std::string area_name(const FaceNames* names, size_t index) {
    if (names && index < names->controls.size()) return std::string(names->controls[index]);
    return std::to_string(index + 1);
}

// What two halves' names share, up to the last '_' ("outer_right", "outer_left": "outer"); empty
// when they share nothing that reads as a name.
std::string ring_name(const std::string& one, const std::string& other) {
    const size_t common =
        static_cast<size_t>(std::mismatch(one.begin(), one.end(), other.begin(), other.end()).first - one.begin());
    const size_t cut = one.rfind('_', common);
    if (cut == std::string::npos || cut == 0) return {};
    return one.substr(0, cut);
}

void cover(Control& control, const MouseAreaRecord& area) {
    const int64_t left = std::min<int64_t>(control.x, area.x), top = std::min<int64_t>(control.y, area.y);
    const int64_t right = std::max<int64_t>(int64_t{control.x} + control.width, int64_t{area.x} + area.width);
    const int64_t bottom = std::max<int64_t>(int64_t{control.y} + control.height, int64_t{area.y} + area.height);
    control.x = static_cast<int32_t>(left);
    control.y = static_cast<int32_t>(top);
    control.width = static_cast<int32_t>(std::clamp<int64_t>(right - left, 0, INT32_MAX));
    control.height = static_cast<int32_t>(std::clamp<int64_t>(bottom - top, 0, INT32_MAX));
}

}  // namespace

PanelControls::PanelControls(std::vector<GaugeControls> gauges)
    : gauges_(std::move(gauges)), names_(own_names_of(gauges_)) {
    for (size_t g = 0; g < gauges_.size(); ++g) {
        const std::vector<MouseAreaRecord>& areas = gauges_[g].areas;
        const FaceNames* names = face_names(gauges_[g].own_name);
        const std::string gauge = names_.unique_label(g);
        for (size_t a = 0; a < areas.size(); ++a) {
            Control control{
                Control::Kind::push, gauge + " " + area_name(names, a), g, a, a, areas[a].x, areas[a].y, areas[a].width,
                areas[a].height};
            controls_.push_back(std::move(control));
        }
        for (size_t a = 0; a < areas.size(); ++a) {
            if (areas[a].cursor != CURSOR_RIGHT) continue;
            const std::optional<size_t> other = ring_half(areas, a, false);
            if (!other) continue;
            const std::string name = ring_name(area_name(names, a), area_name(names, *other));
            if (name.empty()) continue;
            Control ring{Control::Kind::ring, gauge + " " + name, g, a, *other, areas[a].x, areas[a].y,
                         areas[a].width,      areas[a].height};
            cover(ring, areas[*other]);
            controls_.push_back(std::move(ring));
        }
    }
}

PanelControls::Found PanelControls::find(std::string_view name) const {
    const size_t space = name.find(' ');
    if (space == std::string_view::npos)
        return {nullptr, "'" + std::string(name) + "' names no control (write GAUGE CONTROL)"};
    const GaugeNames::Found gauge = names_.find(name.substr(0, space));
    if (!gauge.gauge) return {nullptr, gauge.problem};
    const std::string_view control_name = name.substr(space + 1);
    const std::string wanted = names_.unique_label(*gauge.gauge) + " " + std::string(control_name);
    // An area by its number from 1, whether the face names it or not.
    size_t number = 0;
    const auto [end, error] = std::from_chars(control_name.data(), control_name.data() + control_name.size(), number);
    const bool by_number = error == std::errc() && end == control_name.data() + control_name.size();
    std::string known;
    for (const Control& control : controls_) {
        if (control.gauge != *gauge.gauge) continue;
        if (control.name == wanted) return {&control, {}};
        if (by_number && control.kind == Control::Kind::push && control.area + 1 == number) return {&control, {}};
        known += (known.empty() ? "" : ", ") + control.name.substr(control.name.find(' ') + 1);
    }
    return {nullptr, "unknown control '" + std::string(name.substr(space + 1)) + "' of " +
                         names_.unique_label(*gauge.gauge) + " (its controls: " + (known.empty() ? "none" : known) +
                         ")"};
}

std::pair<int32_t, int32_t> PanelControls::press_point(const MouseAreaRecord& area) {
    return FrameDriver::middle_of(area);
}

void PanelControls::press(const Control& control, const Clicker& click, int times) const {
    const auto [x, y] = press_point(gauges_.at(control.gauge).areas.at(control.area));
    for (int i = 0; i < times; ++i) click(control.gauge, x, y);
}

void PanelControls::turn(const Control& control, int notches, const Clicker& click) const {
    if (control.kind != Control::Kind::ring) return;
    const size_t half = notches > 0 ? control.area : control.anticlockwise_area;
    const auto [x, y] = press_point(gauges_.at(control.gauge).areas.at(half));
    for (int i = 0; i < std::abs(notches); ++i) click(control.gauge, x, y);
}

bool PanelControls::turn_at(size_t gauge, size_t area, int notches, const Clicker& click) const {
    if (gauge >= gauges_.size() || notches == 0) return false;
    const std::vector<MouseAreaRecord>& areas = gauges_[gauge].areas;
    const std::optional<size_t> half = ring_half(areas, area, notches > 0);
    if (!half) return false;
    const auto [x, y] = press_point(areas[*half]);
    for (int i = 0; i < std::abs(notches); ++i) click(gauge, x, y);
    return true;
}

}  // namespace panel::controls
