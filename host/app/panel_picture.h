// The panel as a picture: every gauge's face drawn at its place, windows of the panel.cfg
// stacked top to bottom, and where each gauge lies in that picture (for clicks, later).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "bitmap_source.h"
#include "fonts.h"
#include "gauge_renderer.h"
#include "panel.h"
#include "panel_renderer.h"

namespace panel::app {

class PanelPicture {
public:
    // Reads every gauge's bitmaps and lays the panel out; throws BitmapError naming a module
    // whose bitmaps are missing or broken, render::RenderError for a face that cannot be drawn,
    // and std::runtime_error naming the panel file when the panel is too large to draw. At a
    // `scale` above 1 (a screen's pixel density) the picture is that much larger, its faces
    // drawn anew at that size; placements and points stay in the pixels of scale 1.
    explicit PanelPicture(const Panel& panel, double scale = 1.0);

    // Draws every gauge as its last update left it.
    void draw(render::DrawOptions options = {});
    void write_png(const std::filesystem::path& file) const;

    cairo_surface_t* surface() const { return canvas_->surface(); }
    // The picture's size in its own pixels, at the scale.
    int width() const { return canvas_->width(); }
    int height() const { return canvas_->height(); }
    double scale() const { return scale_; }
    // Where gauge `index` stands in the picture, at the size it is drawn.
    const render::Placement& placement(size_t index) const { return placements_.at(index); }
    // Where each window of the panel.cfg lies in the picture, in the file's order.
    const std::vector<render::Placement>& window_areas() const { return window_areas_; }
    // Gauge `index`'s face.
    const render::GaugeRenderer& face(size_t index) const { return *renderers_.at(index); }
    // The gauge and the point in its own pixels under a point of the picture, if any.
    struct GaugePoint {
        size_t gauge;
        int32_t x, y;
    };
    std::optional<GaugePoint> gauge_at(double x, double y) const;
    // The faces it draws with, for the host's own words beside the panel.
    render::FontBook& fonts() { return fonts_; }

private:
    const Panel& panel_;
    double scale_;
    render::FontBook fonts_;
    std::vector<std::unique_ptr<BitmapSource>> bitmaps_;
    std::vector<std::unique_ptr<render::GaugeRenderer>> renderers_;
    std::vector<render::Placement> placements_;
    std::vector<render::Placement> window_areas_;
    std::unique_ptr<render::PanelRenderer> canvas_;
};

}  // namespace panel::app
