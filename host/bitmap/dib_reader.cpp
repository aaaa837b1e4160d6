#include "dib_reader.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "little_endian.h"

namespace panel {

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t INFO_HEADER_SIZE = 40;
// Far beyond any gauge picture; keeps every size computation well inside 64 bits.
constexpr int64_t MAX_SIDE = 16384;
// A bitmap file's largest size; a gauge's are a few kilobytes.
constexpr size_t MAX_FILE_BYTES = 64u << 20;

using little_endian::s32;
using little_endian::u16;
using little_endian::u32;

[[noreturn]] void fail(const std::string& what) {
    throw DibError("bitmap: " + what);
}

// `bytes` starts at the info header; the pixels start at `pixel_offset` from there, or right
// after the palette when it is empty.
DibImage parse_dib(std::span<const uint8_t> bytes, std::optional<size_t> pixel_offset) {
    if (bytes.size() < INFO_HEADER_SIZE) fail("info header truncated");
    const uint32_t header_size = u32(bytes, 0);
    // 40 is BITMAPINFOHEADER; the later V4 (108) and V5 (124) headers only append fields.
    if (header_size != 40 && header_size != 108 && header_size != 124)
        fail("unsupported info header size " + std::to_string(header_size));
    if (bytes.size() < header_size) fail("info header truncated");

    const int64_t width = s32(bytes, 4);
    const int64_t raw_height = s32(bytes, 8);
    const uint16_t planes = u16(bytes, 12);
    const uint16_t bits = u16(bytes, 14);
    const uint32_t compression = u32(bytes, 16);
    const uint32_t colours_used = u32(bytes, 32);

    if (width <= 0 || width > MAX_SIDE) fail("width " + std::to_string(width) + " out of range");
    const bool top_down = raw_height < 0;
    const int64_t height = top_down ? -raw_height : raw_height;
    if (height == 0 || height > MAX_SIDE) fail("height " + std::to_string(raw_height) + " out of range");
    if (planes != 1) fail("plane count " + std::to_string(planes) + ", expected 1");
    if (bits != 8 && bits != 24) fail(std::to_string(bits) + " bits per pixel unsupported (8 or 24 only)");
    if (compression != 0) fail("compressed bitmaps unsupported");

    // An 8-bit picture's palette; a 24-bit one may carry a colour table too, which it does not
    // need for its pixels but which still stands between the header and them.
    if (colours_used > 256) {
        fail((bits == 8 ? "palette of " : "colour table of ") + std::to_string(colours_used) + " colours");
    }
    const size_t palette_size = bits == 8 && colours_used == 0 ? 256 : colours_used;
    const size_t palette_at = header_size;
    if (bytes.size() < palette_at + palette_size * 4) fail("palette truncated");
    std::vector<RgbPixel> palette(palette_size);
    for (size_t i = 0; i < palette_size; ++i) {
        const size_t at = palette_at + i * 4;  // RGBQUAD: blue, green, red, reserved
        palette[i] = {bytes[at + 2], bytes[at + 1], bytes[at]};
    }

    const size_t pixels_at = pixel_offset.value_or(palette_at + palette_size * 4);
    const size_t stride = (static_cast<size_t>(width) * bits / 8 + 3) & ~size_t{3};
    const size_t data_size = stride * static_cast<size_t>(height);
    if (pixels_at > bytes.size() || bytes.size() - pixels_at < data_size) fail("pixel data truncated");

    DibImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.bits_per_pixel = bits;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int64_t row = 0; row < height; ++row) {
        const int64_t y = top_down ? row : height - 1 - row;
        const uint8_t* source = bytes.data() + pixels_at + row * stride;
        RgbPixel* target = image.pixels.data() + y * width;
        for (int64_t x = 0; x < width; ++x) {
            if (bits == 24) {
                target[x] = {source[x * 3 + 2], source[x * 3 + 1], source[x * 3]};
            } else {
                const uint8_t index = source[x];
                if (index >= palette_size)
                    fail("palette index " + std::to_string(index) + " beyond the " + std::to_string(palette_size) +
                         "-colour palette");
                target[x] = palette[index];
            }
        }
    }
    return image;
}

}  // namespace

DibImage parse_packed_dib(std::span<const uint8_t> bytes) {
    return parse_dib(bytes, std::nullopt);
}

DibImage parse_bmp_file(std::span<const uint8_t> bytes) {
    if (bytes.size() < FILE_HEADER_SIZE) fail("file header truncated");
    if (bytes[0] != 'B' || bytes[1] != 'M') fail("not a bitmap file (no BM signature)");
    const uint32_t pixel_offset = u32(bytes, 10);
    if (pixel_offset < FILE_HEADER_SIZE + INFO_HEADER_SIZE || pixel_offset > bytes.size())
        fail("pixel data offset " + std::to_string(pixel_offset) + " outside the file");
    return parse_dib(bytes.subspan(FILE_HEADER_SIZE), pixel_offset - FILE_HEADER_SIZE);
}

DibImage read_bmp_file(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) throw DibError(path.string() + ": a folder, not a bitmap");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DibError(path.string() + ": cannot open");
    // Read with a limit, so that a device or a huge file named by mistake cannot eat memory.
    std::vector<uint8_t> bytes;
    char chunk[65536];
    while (in) {
        in.read(chunk, sizeof chunk);
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > MAX_FILE_BYTES)
            throw DibError(path.string() + ": more than 64 MiB, too large for a gauge bitmap");
    }
    if (in.bad()) throw DibError(path.string() + ": cannot be read");
    try {
        return parse_bmp_file(bytes);
    } catch (const DibError& error) {
        throw DibError(path.string() + ": " + error.what());
    }
}

}  // namespace panel
