// Little-endian words appended to, or written into, the byte images the tests build by hand
// (bitmaps, DLLs, WAV files), as those formats store them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace le_bytes {

inline void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}
inline void set16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}
inline void set32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    set16(b, at, v & 0xFFFF);
    set16(b, at + 2, v >> 16);
}

}  // namespace le_bytes
