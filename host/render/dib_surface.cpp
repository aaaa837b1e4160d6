#include "dib_surface.h"

#include <algorithm>
#include <cstring>

#include "render_error.h"

namespace panel::render {
namespace {

bool transparent(const RgbPixel& p) {
    return p.r == 0 && p.g == 0 && p.b == 0;
}

// The pixels of `image` within the rectangle (x0, y0, w, h) as a new ARGB32 surface.
SurfacePtr surface_of(const DibImage& image, int x0, int y0, int w, int h) {
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw RenderError("a " + std::to_string(w) + " x " + std::to_string(h) +
                          " picture cannot be drawn (out of memory)");
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const RgbPixel& p = image.at(x0 + x, y0 + y);
            row[x] = transparent(p) ? 0u : 0xFF000000u | uint32_t{p.r} << 16 | uint32_t{p.g} << 8 | uint32_t{p.b};
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

}  // namespace

SurfacePtr surface_from_dib(const DibImage& image) {
    return surface_of(image, 0, 0, image.width, image.height);
}

Sprite sprite_from_dib(const DibImage& image) {
    int left = image.width, right = -1, top = image.height, bottom = -1;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!transparent(image.at(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    Sprite sprite;
    sprite.width = image.width;
    sprite.height = image.height;
    if (right < 0) return sprite;
    sprite.dx = left;
    sprite.dy = top;
    sprite.surface = surface_of(image, left, top, right - left + 1, bottom - top + 1);
    return sprite;
}

}  // namespace panel::render
