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

#include "bitmap_source.h"
#include "gauge_instance.h"
#include "le_bytes.h"

namespace render_test {

using le_bytes::put16;
using le_bytes::put32;

using panel::DibImage;
using panel::RgbPixel;

constexpr RgbPixel BLACK{0, 0, 0}, RED{200, 10, 10}, GREEN{10, 200, 10}, BLUE{10, 10, 200}, GREY{90, 90, 90};

inline DibImage solid(int width, int height, RgbPixel colour) {
    DibImage image;
    image.width = width;
    image.height = height;
    image.bits_per_pixel = 24;
    image.pixels.assign(static_cast<size_t>(width) * height, colour);
    return image;
}

// Bitmaps held in memory, by id.
class MemoryBitmaps : public panel::render::BitmapSource {
public:
    MemoryBitmaps& add(uint32_t id, DibImage image) {
        images_[id] = std::move(image);
        return *this;
    }
    const DibImage* find(uint32_t id) override {
        auto found = images_.find(id);
        return found == images_.end() ? nullptr : &found->second;
    }

private:
    std::map<uint32_t, DibImage> images_;
};


// A 24-bit packed DIB (info header and bottom-up rows) of `image`.
inline std::vector<uint8_t> packed_dib(const DibImage& image) {
    std::vector<uint8_t> b;
    const size_t row_bytes = (static_cast<size_t>(image.width) * 3 + 3) / 4 * 4;
    for (uint32_t v : {40u, static_cast<uint32_t>(image.width), static_cast<uint32_t>(image.height)}) put32(b, v);
    put16(b, 1);
    put16(b, 24);
    for (uint32_t v : {0u, static_cast<uint32_t>(row_bytes * image.height), 2835u, 2835u, 0u, 0u}) put32(b, v);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < image.width; ++x) {
            const RgbPixel& p = image.at(x, y);
            b.insert(b.end(), {p.b, p.g, p.r});
        }
        b.resize(start + row_bytes, 0);
    }
    return b;
}

// The same as a .bmp file.
inline std::vector<uint8_t> bmp_file(const DibImage& image) {
    const std::vector<uint8_t> dib = packed_dib(image);
    std::vector<uint8_t> b = {'B', 'M'};
    put32(b, static_cast<uint32_t>(14 + dib.size()));
    put32(b, 0);
    put32(b, 54);
    b.insert(b.end(), dib.begin(), dib.end());
    return b;
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& label)
        : path_(std::filesystem::temp_directory_path() /
                ("render_test_" + label + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

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
        const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

inline uint32_t opaque(RgbPixel p) { return 0xFF000000u | uint32_t{p.r} << 16 | uint32_t{p.g} << 8 | p.b; }

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
