#include "dib_writer.h"

namespace artwork {

namespace {

constexpr uint32_t FILE_HEADER_SIZE = 14;
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t PIXELS_PER_METRE = 2835;  // 72 dots per inch, as paint programs write

void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

uint32_t stride_of(int width, int bits) {
    return (static_cast<uint32_t>(width) * bits / 8 + 3) & ~3u;
}

std::vector<uint8_t> headers(int width, int height, int bits, uint32_t palette_entries) {
    const uint32_t image_size = stride_of(width, bits) * static_cast<uint32_t>(height);
    const uint32_t offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + palette_entries * 4;
    std::vector<uint8_t> out;
    out.reserve(offset + image_size);
    out.push_back('B');
    out.push_back('M');
    put_u32(out, offset + image_size);
    put_u32(out, 0);  // two reserved words
    put_u32(out, offset);
    put_u32(out, INFO_HEADER_SIZE);
    put_u32(out, static_cast<uint32_t>(width));
    put_u32(out, static_cast<uint32_t>(height));  // positive: rows stored bottom-up
    put_u16(out, 1);
    put_u16(out, static_cast<uint32_t>(bits));
    put_u32(out, 0);  // BI_RGB
    put_u32(out, image_size);
    put_u32(out, PIXELS_PER_METRE);
    put_u32(out, PIXELS_PER_METRE);
    put_u32(out, palette_entries);
    put_u32(out, 0);  // all colours important
    return out;
}

}  // namespace

std::vector<uint8_t> encode_dib_24(const Image& image) {
    std::vector<uint8_t> out = headers(image.width, image.height, 24, 0);
    const uint32_t padding = stride_of(image.width, 24) - static_cast<uint32_t>(image.width) * 3;
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& p = image.at(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

std::vector<uint8_t> encode_dib_8(const IndexedImage& image) {
    std::vector<uint8_t> out = headers(image.width, image.height, 8, 256);
    for (size_t i = 0; i < 256; ++i) {
        const Rgb p = i < image.palette.size() ? image.palette[i] : Rgb{};
        out.push_back(p.b);
        out.push_back(p.g);
        out.push_back(p.r);
        out.push_back(0);
    }
    const uint32_t padding = stride_of(image.width, 8) - static_cast<uint32_t>(image.width);
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row = image.indices.data() + static_cast<size_t>(y) * image.width;
        out.insert(out.end(), row, row + image.width);
        out.insert(out.end(), padding, 0);
    }
    return out;
}

}  // namespace artwork
