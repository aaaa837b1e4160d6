#include "loaded_module_memory.h"

#include <cstdint>
#include <string>

namespace panel::check {
namespace {

// nullptr for an address this process could not hold; no module lies at 0.
const void* as_pointer(uint64_t address) {
    if (address > UINTPTR_MAX) return nullptr;
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(address));
}

}  // namespace

// A private copy: a module the process has loaded already (a test's gauge, say) would
// otherwise be refused, and the check must see the records as the file holds them.
LoadedModuleMemory::LoadedModuleMemory(const std::filesystem::path& path) : library_(path, ModuleInstance::separate) {}

bool LoadedModuleMemory::holds(uint64_t address, size_t size) const {
    const void* at = as_pointer(address);
    return at != nullptr && library_.image().holds(at, size);
}

bool LoadedModuleMemory::read(uint64_t address, void* into, size_t size) const {
    const void* at = as_pointer(address);
    return at != nullptr && library_.image().read(at, into, size);
}

bool LoadedModuleMemory::in_code(uint64_t address) const {
    const void* at = as_pointer(address);
    return at != nullptr && library_.image().holds_code(at);
}

bool LoadedModuleMemory::in_writable(uint64_t address, size_t size) const {
    const void* at = as_pointer(address);
    return at != nullptr && library_.image().holds_writable(at, size);
}

std::optional<uint64_t> LoadedModuleMemory::export_address(std::string_view name) const {
    const void* symbol = library_.symbol(std::string(name).c_str());
    if (symbol == nullptr) return std::nullopt;
    return reinterpret_cast<uintptr_t>(symbol);
}

}  // namespace panel::check
