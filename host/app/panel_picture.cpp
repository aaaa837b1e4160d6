#include "panel_picture.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace panel::app {
namespace {

// Space between two windows of the panel, in pixels.
constexpr int window_gap = 8;
// The largest side of a panel picture: 256 MB of pixels, far beyond any screen's panel.
constexpr int largest_side = 8192;

}  // namespace

PanelPicture::PanelPicture(const Panel& panel, double scale) : panel_(panel), scale_(scale) {
    for (size_t i = 0; i < panel.size(); ++i) {
        const PlacedGauge& placed = panel.at(i);
        bitmaps_.push_back(bitmaps_for_module(placed.file, placed.name));
        renderers_.push_back(
            std::make_unique<render::GaugeRenderer>(placed.gauge->records(), *bitmaps_.back(), fonts_, scale));
    }

    // Each gauge at the size its line gives, or its own; a width alone keeps the proportions.
    std::vector<render::Placement> in_window(panel.size());
    for (size_t i = 0; i < panel.size(); ++i) {
        const PlacedGauge& placed = panel.at(i);
        const render::GaugeRenderer& face = *renderers_[i];
        render::Placement& where = in_window[i];
        where.x = placed.x;
        where.y = placed.y;
        where.width = placed.width.value_or(face.face_width());
        where.height = placed.height.value_or(
            placed.width ? static_cast<int>(std::lround(double(*placed.width) * face.face_height() / face.face_width()))
                         : face.face_height());
    }

    // Windows one under the other, each as large as its size_mm says or as its gauges need.
    int top = 0, panel_width = 0;
    placements_.resize(panel.size());
    const auto& windows = panel.config().windows;
    for (size_t w = 0; w < windows.size(); ++w) {
        int width = windows[w].width_mm.value_or(0), height = windows[w].height_mm.value_or(0);
        for (size_t i = 0; i < panel.size(); ++i) {
            if (panel.at(i).window != w) continue;
            if (!windows[w].width_mm) width = std::max(width, in_window[i].x + in_window[i].width);
            if (!windows[w].height_mm) height = std::max(height, in_window[i].y + in_window[i].height);
            placements_[i] = in_window[i];
            placements_[i].y += top;
        }
        panel_width = std::max(panel_width, width);
        window_areas_.push_back({0, top, width, height});
        top += height + (w + 1 < windows.size() ? window_gap : 0);
    }
    if (panel_width > largest_side || top > largest_side) {
        throw std::runtime_error(panel.config_file().string() + ": the panel is " + std::to_string(panel_width) +
                                 " x " + std::to_string(top) + " pixels; at most " + std::to_string(largest_side) +
                                 " on a side can be drawn");
    }
    const auto scaled = [scale](int length) { return static_cast<int>(std::lround(length * scale)); };
    canvas_ = std::make_unique<render::PanelRenderer>(scaled(std::max(panel_width, 1)), scaled(std::max(top, 1)));
    for (size_t i = 0; i < panel.size(); ++i) {
        const render::Placement& where = placements_[i];
        // The far edges scaled, not the sizes, so neighbouring gauges still meet.
        const int x = scaled(where.x), y = scaled(where.y);
        canvas_->add(*renderers_[i], {x, y, scaled(where.x + where.width) - x, scaled(where.y + where.height) - y});
    }
}

void PanelPicture::draw(render::DrawOptions options) {
    canvas_->clear(options);
    for (size_t i = 0; i < panel_.size(); ++i) canvas_->draw(i, panel_.at(i).gauge->elements(), options);
}

std::optional<PanelPicture::GaugePoint> PanelPicture::gauge_at(double x, double y) const {
    // The last drawn lies on top where gauges overlap.
    for (size_t i = placements_.size(); i-- > 0;) {
        const render::Placement& where = placements_[i];
        if (x < where.x || y < where.y || x >= where.x + where.width || y >= where.y + where.height) continue;
        const render::GaugeRenderer& face = *renderers_[i];
        return GaugePoint{i, static_cast<int32_t>(std::floor((x - where.x) * face.face_width() / where.width)),
                          static_cast<int32_t>(std::floor((y - where.y) * face.face_height() / where.height))};
    }
    return std::nullopt;
}

void PanelPicture::write_png(const std::filesystem::path& file) const {
    render::write_png(canvas_->surface(), file);
}

}  // namespace panel::app
