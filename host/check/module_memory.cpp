#include "module_memory.h"

#include "little_endian.h"

namespace panel::check {

std::optional<uint32_t> ModuleMemory::u32(uint64_t address) const {
    uint8_t bytes[4];
    if (!read(address, bytes, sizeof bytes)) return std::nullopt;
    return little_endian::u32(bytes, 0);
}

std::optional<int32_t> ModuleMemory::s32(uint64_t address) const {
    const std::optional<uint32_t> word = u32(address);
    if (!word) return std::nullopt;
    return static_cast<int32_t>(*word);
}

std::optional<uint64_t> ModuleMemory::pointer(uint64_t address) const {
    uint8_t bytes[8];
    const unsigned width = pointer_width() == 8 ? 8 : 4;
    if (!read(address, bytes, width)) return std::nullopt;
    return little_endian::read(bytes, 0, width);
}

std::optional<std::string> ModuleMemory::text(uint64_t address, size_t max_length) const {
    std::string text;
    for (uint64_t at = address;; ++at) {
        char c = 0;
        if (at < address || !read(at, &c, 1)) return std::nullopt;
        if (c == '\0') return text;
        if (text.size() == max_length) return std::nullopt;
        text += c;
    }
}

}  // namespace panel::check
