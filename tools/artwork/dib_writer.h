// Writes Windows device-independent bitmap files: BITMAPFILEHEADER, BITMAPINFOHEADER, rows
// bottom-up padded to four bytes; 8 bits per pixel with a 256-entry palette, or 24 bits.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"
#include "palette.h"

namespace artwork {

std::vector<uint8_t> encode_dib_24(const Image& image);
std::vector<uint8_t> encode_dib_8(const IndexedImage& image);

}  // namespace artwork
