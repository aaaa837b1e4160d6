#include "module_image.h"

namespace panel {
namespace {

#if defined(__clang__) || defined(__GNUC__)
#define PANEL_NO_ADDRESS_SANITIZER __attribute__((no_sanitize("address")))
#else
#define PANEL_NO_ADDRESS_SANITIZER
#endif

// Byte by byte through volatile, so that no compiler turns it into an intercepted memcpy.
PANEL_NO_ADDRESS_SANITIZER void copy_module_bytes(const void* from, void* into, size_t size) {
    auto* source = static_cast<const volatile unsigned char*>(from);
    auto* target = static_cast<unsigned char*>(into);
    for (size_t i = 0; i < size; ++i) target[i] = source[i];
}

PANEL_NO_ADDRESS_SANITIZER char module_byte(uintptr_t address) {
    return *reinterpret_cast<const volatile char*>(address);
}

}  // namespace

const MemoryRange* ModuleImage::range_of(const void* address, size_t size) const {
    const auto begin = reinterpret_cast<uintptr_t>(address);
    for (const MemoryRange& range : ranges_) {
        if (begin >= range.begin && begin < range.end && size <= range.end - begin) return &range;
    }
    return nullptr;
}

bool ModuleImage::holds(const void* address, size_t size) const {
    return range_of(address, size) != nullptr;
}

bool ModuleImage::holds_writable(const void* address, size_t size) const {
    const MemoryRange* range = range_of(address, size);
    return range != nullptr && range->writable;
}

bool ModuleImage::holds_code(const void* address) const {
    const MemoryRange* range = range_of(address, 1);
    return range != nullptr && range->executable;
}

bool ModuleImage::read(const void* address, void* into, size_t size) const {
    if (!holds(address, size)) return false;
    copy_module_bytes(address, into, size);
    return true;
}

bool ModuleImage::read_text(const void* address, size_t max_length, std::string& into) const {
    const MemoryRange* range = range_of(address, 1);
    if (range == nullptr) return false;
    into.clear();
    for (uintptr_t at = reinterpret_cast<uintptr_t>(address); at < range->end; ++at) {
        const char c = module_byte(at);
        if (c == '\0') return true;
        if (into.size() == max_length) return false;
        into += c;
    }
    return false;
}

}  // namespace panel
