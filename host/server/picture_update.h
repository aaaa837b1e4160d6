// What a client is sent of a picture: the regions that changed since the picture before, each
// as a PNG, or the whole picture for a client that has none (or fell behind). Talks to cairo.
//
// A message, little-endian: u8 kind (1 regions, 2 whole), 3 bytes 0, u32 the picture's number,
// u16 width, u16 height (the whole picture's), u16 region count, 2 bytes 0; then per region u16
// x, y, width, height, u32 PNG length and the PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace panel::server {

// A picture held by the server: rows of 0xXXRRGGBB pixels, `width` apart; its alpha is ignored.
struct Picture {
    uint64_t number = 0;  // 0: none yet
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

struct Region {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Region&) const = default;
};

// The tile side changes are found in: small enough to send little, large enough to keep the
// region count (and each PNG's overhead) low.
inline constexpr int tile_side = 16;

// Where `after` differs from `before`, as rectangles of whole tiles (cut at the picture's edge):
// runs of changed tiles in a row, a run continued downwards by the same run in the rows below.
// Pictures of another size differ everywhere.
std::vector<Region> changed_regions(const Picture& before, const Picture& after);

enum class UpdateKind : uint8_t { regions = 1, whole = 2 };

// The message for `regions` of `picture`.
std::string encode_update(const Picture& picture, const std::vector<Region>& regions, UpdateKind kind);

}  // namespace panel::server
