// A native gauge module loaded into this process by the platform loader, read in place through
// its ModuleImage. Loading runs the module's static initialisers (ours have none); nothing else
// of it runs: no module_init, no callback.
#pragma once

#include <filesystem>

#include "module_library.h"
#include "module_memory.h"

namespace panel::check {

class LoadedModuleMemory : public ModuleMemory {
public:
    // Throws ModuleError naming the file when it cannot be loaded.
    explicit LoadedModuleMemory(const std::filesystem::path& path);

    unsigned pointer_width() const override { return sizeof(void*); }
    bool holds(uint64_t address, size_t size) const override;
    bool read(uint64_t address, void* into, size_t size) const override;
    bool in_code(uint64_t address) const override;
    bool in_writable(uint64_t address, size_t size) const override;
    std::optional<uint64_t> export_address(std::string_view name) const override;

private:
    ModuleLibrary library_;
};

}  // namespace panel::check
