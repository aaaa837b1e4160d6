// A gauge module's memory as the checker sees it: addresses as the module's own pointers hold
// them, every read bounded by what the module maps. A loaded native module and a .gau read
// from its file both look like this, so one record walker serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace panel::check {

class ModuleMemory {
public:
    virtual ~ModuleMemory() = default;

    // 4 for a 32-bit module, 8 for a 64-bit native one: which record layout applies.
    virtual unsigned pointer_width() const = 0;
    // True when [address, address + size) lies within one mapped part of the module.
    virtual bool holds(uint64_t address, size_t size) const = 0;
    // Copies the bytes when the module holds them all; false, and nothing copied, otherwise.
    virtual bool read(uint64_t address, void* into, size_t size) const = 0;
    // Where a callback may point.
    virtual bool in_code(uint64_t address) const = 0;
    // Where the host may write: element records and the import slot.
    virtual bool in_writable(uint64_t address, size_t size) const = 0;
    // The address of an exported record, when the module exports one of that name.
    virtual std::optional<uint64_t> export_address(std::string_view name) const = 0;

    // Little-endian words, as both kinds of module store them.
    std::optional<uint32_t> u32(uint64_t address) const;
    std::optional<int32_t> s32(uint64_t address) const;
    // A pointer of the module's width, zero-extended.
    std::optional<uint64_t> pointer(uint64_t address) const;
    // A NUL-terminated text of at most `max_length` characters; nullopt when the module ends or
    // the limit passes before the NUL.
    std::optional<std::string> text(uint64_t address, size_t max_length) const;
};

}  // namespace panel::check
