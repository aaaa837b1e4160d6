// The panel as the server describes it to a browser: the picture's size, where each gauge and
// window lies in it and every control by name with its area, in day-size picture pixels.
#pragma once

#include <string>
#include <vector>

#include "front_end.h"

namespace panel::server {

struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

struct LaidOutGauge {
    std::string name;  // as controls name it: "gps#2"
    std::string path;  // as a page's address names it: "gps-2"
    size_t window = 0;
    Area area;
};

struct LaidOutControl {
    std::string name;  // "gps outer"
    bool ring = false;
    std::string gauge;
    Area area;
    frontend::CursorShape cursor = frontend::CursorShape::arrow;
};

struct PanelLayout {
    int width = 0, height = 0;  // the whole picture, status lines included
    int panel_height = 0;
    std::vector<LaidOutGauge> gauges;
    std::vector<Area> windows;
    std::vector<LaidOutControl> controls;
};

// "gps#2" as a path names it: "gps-2".
std::string path_name(const std::string& gauge_name);

// /api/panel's answer.
std::string describe_layout(const PanelLayout& layout, bool view_only);

}  // namespace panel::server
