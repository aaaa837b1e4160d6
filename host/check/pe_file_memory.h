// A 32-bit Windows gauge module (.gau) read from its file, never run: its sections placed at
// the file's preferred ImageBase, since that is where the pointers stored in its data lead,
// and its exports found through the export directory. Every read is checked against the
// section and the file, so any bytes at all may be given.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "finding.h"
#include "module_memory.h"

namespace panel::check {

class PeFileMemory : public ModuleMemory {
public:
    // Throws UnreadableModule when the bytes are not a whole 32-bit Windows DLL.
    explicit PeFileMemory(std::vector<uint8_t> bytes);

    unsigned pointer_width() const override { return 4; }
    bool holds(uint64_t address, size_t size) const override;
    bool read(uint64_t address, void* into, size_t size) const override;
    bool in_code(uint64_t address) const override;
    bool in_writable(uint64_t address, size_t size) const override;
    std::optional<uint64_t> export_address(std::string_view name) const override;

    // Where in the file the bytes at `address` are stored, when all `size` of them are (and
    // not zero-filled past a section's raw data): for tools and tests that patch a module.
    std::optional<uint64_t> file_offset(uint64_t address, size_t size) const;
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    struct Section {
        uint64_t begin;        // address at the preferred ImageBase
        uint64_t size;         // in memory
        uint64_t file_offset;  // of its raw data
        uint64_t raw_size;     // bytes of it in the file; the rest of `size` is zero
        bool code;
        bool writable;
    };

    const Section* section_of(uint64_t address, size_t size) const;

    std::vector<uint8_t> bytes_;
    uint64_t image_base_ = 0;
    uint32_t export_rva_ = 0, export_size_ = 0;
    std::vector<Section> sections_;
};

}  // namespace panel::check
