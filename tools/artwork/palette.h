// Reduces a picture to at most 256 colours, deterministically: the same pixels always give the
// same palette and indices, whatever machine runs it.
#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace artwork {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;      // at most 256 entries
    std::vector<uint8_t> indices;  // row after row from the top
};

// Pictures of 256 colours or fewer keep every colour exactly. Larger ones keep their most used
// colours exactly (flat fills, the lamp and lettering colours) and share the rest of the
// palette by median cut refined with a few k-means passes. Pure black stays the colour of
// exactly the pure-black pixels: nothing else is ever mapped to it, so transparency is kept.
IndexedImage quantise(const Image& image);

// The colours an indexed picture shows, for checks and the contact sheet.
Image expand(const IndexedImage& image);

}  // namespace artwork
