// Reads Windows device-independent bitmaps into RGB pixels: a .bmp file as written to disk, or
// a packed DIB (BITMAPINFOHEADER, palette, pixels) as a module's bitmap resource holds it.
// Supports uncompressed 8 bits per pixel with a palette and 24 bits per pixel, rows bottom-up
// or top-down. Anything else, and every malformed or truncated input, throws DibError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace panel {

struct RgbPixel {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const RgbPixel&) const = default;
};

struct DibImage {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    std::vector<RgbPixel> pixels;  // row after row from the top, left to right

    const RgbPixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

class DibError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A packed DIB: the info header, the palette, then the pixel rows.
DibImage parse_packed_dib(std::span<const uint8_t> bytes);
// The contents of a .bmp file: the 14-byte file header, then a DIB whose pixels start at the
// file header's offset.
DibImage parse_bmp_file(std::span<const uint8_t> bytes);
// Reads and parses a .bmp file; errors name the file.
DibImage read_bmp_file(const std::filesystem::path& path);

}  // namespace panel
