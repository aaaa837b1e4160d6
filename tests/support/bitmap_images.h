// Hand-made bitmaps for the tests of the bitmap sources and the renderer: solid pictures, the
// same as packed DIBs and .bmp files, a source that holds them in memory, and a scratch folder.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "bitmap_source.h"
#include "le_bytes.h"

namespace bitmap_test {

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
class MemoryBitmaps : public panel::BitmapSource {
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
                ("panel_test_" + label + "_" + std::to_string(::getpid()))) {
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

}  // namespace bitmap_test
