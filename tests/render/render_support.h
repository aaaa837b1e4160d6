// Hand-made pictures and records for the renderer's tests, and reading back what it drew.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bitmap_images.h"
#include "gauge_instance.h"
#include "le_bytes.h"

namespace render_test {

using namespace bitmap_test;

// A drawing surface of its own, transparent at the start.
class Target {
public:
    Target(int width, int height)
        : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_)) {}
    ~Target() {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return cairo_image_surface_get_width(surface_); }
    int height() const { return cairo_image_surface_get_height(surface_); }
    void clear() {
        cairo_save(cr_);
        cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr_);
        cairo_restore(cr_);
    }
    // 0xAARRGGBB, premultiplied as cairo keeps it.
    uint32_t at(int x, int y) const {
        cairo_surface_flush(surface_);
        const unsigned char* row =
            cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

inline uint32_t opaque(RgbPixel p) {
    return 0xFF000000u | uint32_t{p.r} << 16 | uint32_t{p.g} << 8 | p.b;
}

// Element records and their states.
inline panel::ElementRecord picture(uint32_t kind, uint32_t id, int32_t x, int32_t y, uint32_t frames = 0) {
    panel::ElementRecord record;
    record.kind = kind;
    record.resource_id = id;
    record.x = x;
    record.y = y;
    record.flags = ELEMENT_FLAGS_AT_LOAD;
    record.frame_count = frames;
    return record;
}

inline panel::ElementRecord text_box(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t colour,
                                     const char* font = "Glass", uint32_t weight = 400) {
    panel::ElementRecord record = picture(ELEMENT_STRING, NO_BITMAP, x, y);
    record.box_width = width;
    record.box_height = height;
    record.text_color = colour;
    record.font_name = font;
    record.font_weight = weight;
    return record;
}

inline panel::ElementState state(double value = 0.0, uint32_t flags = ELEMENT_FLAGS_AT_LOAD, const char* text = "") {
    panel::ElementState s;
    s.flags = flags;
    s.value = value;
    std::snprintf(s.text.data(), s.text.size(), "%s", text);
    return s;
}

}  // namespace render_test
