#include "picture_update.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace panel::server {
namespace {

bool tile_changed(const Picture& before, const Picture& after, int tx, int ty) {
    const int x0 = tx * tile_side, y0 = ty * tile_side;
    const int width = std::min(tile_side, after.width - x0), height = std::min(tile_side, after.height - y0);
    for (int y = y0; y < y0 + height; ++y) {
        const size_t at = static_cast<size_t>(y) * after.width + x0;
        if (std::memcmp(&before.pixels[at], &after.pixels[at], sizeof(uint32_t) * width) != 0) return true;
    }
    return false;
}

void put16(std::string& out, int value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void put32(std::string& out, uint32_t value) {
    put16(out, static_cast<int>(value & 0xFFFF));
    put16(out, static_cast<int>(value >> 16));
}

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

void append_png(std::string& out, const Picture& picture, const Region& region) {
    // Read in place: the region's first pixel with the whole picture's stride. RGB24, since the
    // panel is opaque and an alpha channel would only cost bytes.
    auto* first = const_cast<uint32_t*>(&picture.pixels[static_cast<size_t>(region.y) * picture.width + region.x]);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(first), CAIRO_FORMAT_RGB24, region.width,
                                            region.height, picture.width * static_cast<int>(sizeof(uint32_t)));
    const size_t length_at = out.size();
    put32(out, 0);
    cairo_surface_write_to_png_stream(surface, append, &out);
    cairo_surface_destroy(surface);
    const auto length = static_cast<uint32_t>(out.size() - length_at - 4);
    for (int i = 0; i < 4; ++i) out[length_at + i] = static_cast<char>(length >> (8 * i) & 0xFF);
}

}  // namespace

std::vector<Region> changed_regions(const Picture& before, const Picture& after) {
    if (after.width <= 0 || after.height <= 0) return {};
    if (before.width != after.width || before.height != after.height || before.pixels.size() != after.pixels.size()) {
        return {{0, 0, after.width, after.height}};
    }
    const int columns = (after.width + tile_side - 1) / tile_side, rows = (after.height + tile_side - 1) / tile_side;
    std::vector<Region> done;
    std::vector<Region> open;  // runs that reached the row above, in tiles
    for (int ty = 0; ty < rows; ++ty) {
        std::vector<Region> runs;
        for (int tx = 0; tx < columns; ++tx) {
            if (!tile_changed(before, after, tx, ty)) continue;
            if (!runs.empty() && runs.back().x + runs.back().width == tx) ++runs.back().width;
            else runs.push_back({tx, ty, 1, 1});
        }
        std::vector<Region> next;
        for (Region& run : runs) {
            auto above = std::find_if(open.begin(), open.end(),
                                      [&](const Region& r) { return r.x == run.x && r.width == run.width; });
            if (above != open.end()) {
                ++above->height;
                next.push_back(*above);
                open.erase(above);
            } else {
                next.push_back(run);
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open = std::move(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    for (Region& region : done) {
        region.x *= tile_side;
        region.y *= tile_side;
        region.width = std::min(region.width * tile_side, after.width - region.x);
        region.height = std::min(region.height * tile_side, after.height - region.y);
    }
    return done;
}

std::string encode_update(const Picture& picture, const std::vector<Region>& regions, UpdateKind kind) {
    std::string out;
    out.push_back(static_cast<char>(kind));
    out.append(3, '\0');
    put32(out, static_cast<uint32_t>(picture.number));
    put16(out, picture.width);
    put16(out, picture.height);
    put16(out, static_cast<int>(regions.size()));
    put16(out, 0);
    for (const Region& region : regions) {
        put16(out, region.x);
        put16(out, region.y);
        put16(out, region.width);
        put16(out, region.height);
        append_png(out, picture, region);
    }
    return out;
}

}  // namespace panel::server
