#include "panel_layout.h"

#include <nlohmann/json.hpp>

namespace panel::server {
namespace {

using nlohmann::json;

json area_json(const Area& area) {
    return {{"x", area.x}, {"y", area.y}, {"width", area.width}, {"height", area.height}};
}

const char* cursor_name(frontend::CursorShape shape) {
    switch (shape) {
        case frontend::CursorShape::turn_right: return "turn_right";
        case frontend::CursorShape::turn_left: return "turn_left";
        case frontend::CursorShape::push: return "push";
        default: return "arrow";
    }
}

}  // namespace

std::string path_name(const std::string& gauge_name) {
    std::string path = gauge_name;
    for (char& c : path) {
        if (c == '#') c = '-';
    }
    return path;
}

std::string describe_layout(const PanelLayout& layout, bool view_only) {
    json gauges = json::array(), windows = json::array(), controls = json::array();
    for (const LaidOutGauge& gauge : layout.gauges) {
        json entry = area_json(gauge.area);
        entry["name"] = gauge.name;
        entry["path"] = gauge.path;
        entry["window"] = gauge.window;
        gauges.push_back(std::move(entry));
    }
    for (const Area& window : layout.windows) windows.push_back(area_json(window));
    for (const LaidOutControl& control : layout.controls) {
        json entry = area_json(control.area);
        entry["name"] = control.name;
        entry["kind"] = control.ring ? "ring" : "push";
        entry["gauge"] = control.gauge;
        entry["cursor"] = cursor_name(control.cursor);
        controls.push_back(std::move(entry));
    }
    return json{{"width", layout.width},          {"height", layout.height},     {"panel_height", layout.panel_height},
                {"view_only", view_only},         {"gauges", std::move(gauges)}, {"windows", std::move(windows)},
                {"controls", std::move(controls)}}
        .dump();
}

}  // namespace panel::server
