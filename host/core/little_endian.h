// Little-endian numbers in bytes, as module files, bitmaps, sounds and the bridge's messages
// store them, whatever the byte order of the machine. Reading: the caller has checked that the
// bytes are there (FileFields in file_fields.h checks for itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace panel::little_endian {

// `width` bytes, at most 8, from `at`.
constexpr uint64_t read(std::span<const uint8_t> bytes, size_t at, unsigned width) {
    uint64_t value = 0;
    for (unsigned i = 0; i < width; ++i) value |= uint64_t{bytes[at + i]} << (8 * i);
    return value;
}

// clang-format off
constexpr uint16_t u16(std::span<const uint8_t> bytes, size_t at) { return static_cast<uint16_t>(read(bytes, at, 2)); }
constexpr uint32_t u32(std::span<const uint8_t> bytes, size_t at) { return static_cast<uint32_t>(read(bytes, at, 4)); }
constexpr int32_t s32(std::span<const uint8_t> bytes, size_t at) { return static_cast<int32_t>(u32(bytes, at)); }
constexpr uint64_t u64(std::span<const uint8_t> bytes, size_t at) { return read(bytes, at, 8); }
// clang-format on

// Appends the low `width` bytes of `value`.
inline void append(std::vector<uint8_t>& bytes, uint64_t value, unsigned width) {
    for (unsigned i = 0; i < width; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace panel::little_endian
