// Where a loaded module lies in memory: its mapped sections, each readable, perhaps writable or
// executable. The host reads a module's records through this before it trusts them, so that a
// malformed record (a list without its end, a pointer into nowhere) is reported instead of
// followed out of the module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace panel {

struct MemoryRange {
    uintptr_t begin = 0;
    uintptr_t end = 0;  // exclusive
    bool writable = false;
    bool executable = false;
};

class ModuleImage {
public:
    ModuleImage() = default;
    explicit ModuleImage(std::vector<MemoryRange> ranges) : ranges_(std::move(ranges)) {}

    // True when [address, address + size) lies within one range of the module.
    bool holds(const void* address, size_t size) const;
    bool holds_writable(const void* address, size_t size) const;
    // True when `address` lies in an executable range: where a callback may point.
    bool holds_code(const void* address) const;

    // Copies `size` bytes of module memory when the image holds them all; false otherwise.
    // The copy is made byte by byte outside the address sanitizer's view: the image bounds are
    // what make the read safe, not the C++ object the module happened to put there.
    bool read(const void* address, void* into, size_t size) const;
    template <typename T>
    bool read(const void* address, T& into) const {
        return read(address, &into, sizeof into);
    }
    // A NUL-terminated text of at most `max_length` characters within one range; false when
    // the range ends or the limit passes before the NUL.
    bool read_text(const void* address, size_t max_length, std::string& into) const;

    const std::vector<MemoryRange>& ranges() const { return ranges_; }

private:
    const MemoryRange* range_of(const void* address, size_t size) const;

    std::vector<MemoryRange> ranges_;
};

}  // namespace panel
