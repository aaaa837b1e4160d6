#include "browser_layout.h"

#include <algorithm>
#include <cmath>

namespace panel::app {
namespace {

frontend::CursorShape shape_of(int32_t cursor) {
    if (cursor == CURSOR_RIGHT) return frontend::CursorShape::turn_right;
    if (cursor == CURSOR_LEFT) return frontend::CursorShape::turn_left;
    if (cursor == CURSOR_PUSH) return frontend::CursorShape::push;
    return frontend::CursorShape::arrow;
}

}  // namespace

server::PanelLayout browser_layout(const Panel& panel, const RealTimeFlight& flight) {
    const PanelPicture& picture = flight.picture();
    server::PanelLayout layout{.width = flight.width(), .height = flight.height(), .panel_height = picture.height()};
    // A window's page shows it as the panel.cfg has it: its size, or as far as its gauges reach.
    for (const render::Placement& window : picture.window_areas())
        layout.windows.push_back({window.x, window.y, window.width, window.height});
    for (size_t i = 0; i < panel.size(); ++i) {
        const render::Placement& where = picture.placement(i);
        const std::string name = flight.controls().gauges().unique_label(i);
        layout.gauges.push_back(
            {name, server::path_name(name), panel.at(i).window, {where.x, where.y, where.width, where.height}});
    }
    for (const controls::Control& control : flight.controls().list()) {
        const render::Placement& where = picture.placement(control.gauge);
        const render::GaugeRenderer& face = picture.face(control.gauge);
        const double sx = double(where.width) / face.face_width(), sy = double(where.height) / face.face_height();
        const int x = where.x + int(std::floor(control.x * sx)), y = where.y + int(std::floor(control.y * sy));
        const int right = where.x + int(std::ceil((control.x + control.width) * sx));
        const int bottom = where.y + int(std::ceil((control.y + control.height) * sy));
        const bool ring = control.kind == controls::Control::Kind::ring;
        const auto& areas = panel.at(control.gauge).gauge->records().mouse_areas;
        layout.controls.push_back({control.name,
                                   ring,
                                   flight.controls().gauges().unique_label(control.gauge),
                                   {x, y, right - x, bottom - y},
                                   ring || control.area >= areas.size() ? frontend::CursorShape::arrow
                                                                        : shape_of(areas[control.area].cursor)});
    }
    return layout;
}

}  // namespace panel::app
