// Several gauges on one panel picture, each at its place and scaled to its size over a dark
// panel, and the picture written as PNG. Talks to cairo.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "cairo_handles.h"
#include "gauge_renderer.h"

namespace panel::render {

// Where a gauge stands on the panel and the size it is drawn at; 0 keeps its own size.
struct Placement {
    int x = 0, y = 0;
    int width = 0, height = 0;
};

class PanelRenderer {
public:
    // `panel_colour` is 0xRRGGBB.
    PanelRenderer(int width, int height, uint32_t panel_colour = 0x1C1D20);

    // The gauge must outlive the panel; the result is its index for draw().
    size_t add(GaugeRenderer& gauge, Placement where);
    // The whole panel in its colour (darkened at night), under every gauge.
    void clear(DrawOptions options = {});
    // Gauge `index` drawn with these states at its place, smoothly scaled.
    void draw(size_t index, const std::vector<ElementState>& states, DrawOptions options = {});

    cairo_surface_t* surface() const { return surface_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    struct Slot {
        GaugeRenderer* gauge;
        Placement where;
        SurfacePtr face;  // the gauge at its own size
        CairoPtr face_cr;
    };

    int width_, height_;
    uint32_t panel_colour_;
    SurfacePtr surface_;
    CairoPtr cr_;
    std::vector<Slot> slots_;
};

// Writes an image surface as a PNG file; throws RenderError naming the file.
void write_png(cairo_surface_t* surface, const std::filesystem::path& file);

}  // namespace panel::render
