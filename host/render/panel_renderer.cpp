#include "panel_renderer.h"

#include "render_error.h"

namespace panel::render {
namespace {

SurfacePtr new_surface(int width, int height) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw RenderError("a " + std::to_string(width) + " x " + std::to_string(height) + " picture cannot be made (" +
                          cairo_status_to_string(cairo_surface_status(surface.get())) + ")");
    return surface;
}

}  // namespace

PanelRenderer::PanelRenderer(int width, int height, uint32_t panel_colour)
    : width_(width),
      height_(height),
      panel_colour_(panel_colour),
      surface_(new_surface(width, height)),
      cr_(cairo_create(surface_.get())) {}

size_t PanelRenderer::add(GaugeRenderer& gauge, Placement where) {
    if (where.width <= 0) where.width = gauge.width();
    if (where.height <= 0) where.height = gauge.height();
    SurfacePtr face = new_surface(gauge.width(), gauge.height());
    CairoPtr face_cr(cairo_create(face.get()));
    slots_.push_back({&gauge, where, std::move(face), std::move(face_cr)});
    return slots_.size() - 1;
}

void PanelRenderer::clear(DrawOptions options) {
    const double dim = options.night ? NIGHT_BRIGHTNESS : 1.0;
    cairo_set_source_rgb(cr_.get(), (panel_colour_ >> 16 & 0xFF) / 255.0 * dim,
                         (panel_colour_ >> 8 & 0xFF) / 255.0 * dim, (panel_colour_ & 0xFF) / 255.0 * dim);
    cairo_paint(cr_.get());
}

void PanelRenderer::draw(size_t index, const std::vector<ElementState>& states, DrawOptions options) {
    if (index >= slots_.size())
        throw RenderError("no gauge " + std::to_string(index) + " on a panel of " + std::to_string(slots_.size()));
    Slot& slot = slots_[index];
    // The face is drawn at its own size first, so it looks the same at any scale.
    cairo_t* face = slot.face_cr.get();
    cairo_set_operator(face, CAIRO_OPERATOR_CLEAR);
    cairo_paint(face);
    cairo_set_operator(face, CAIRO_OPERATOR_OVER);
    slot.gauge->draw(face, states, options);
    cairo_surface_flush(slot.face.get());

    cairo_t* cr = cr_.get();
    cairo_save(cr);
    cairo_translate(cr, slot.where.x, slot.where.y);
    cairo_scale(cr, static_cast<double>(slot.where.width) / slot.gauge->width(),
                static_cast<double>(slot.where.height) / slot.gauge->height());
    cairo_set_source_surface(cr, slot.face.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_rectangle(cr, 0, 0, slot.gauge->width(), slot.gauge->height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void write_png(cairo_surface_t* surface, const std::filesystem::path& file) {
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        throw RenderError(file.string() + ": cannot be written (" + cairo_status_to_string(status) + ")");
}

}  // namespace panel::render
