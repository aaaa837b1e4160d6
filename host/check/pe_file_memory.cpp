// PE/COFF read as little-endian fields at the format's published offsets, so that no platform
// header is needed and the same code runs in the native host.
#include "pe_file_memory.h"

#include <algorithm>
#include <cstring>

namespace panel::check {
namespace {

constexpr uint64_t dos_header_size = 64, e_lfanew = 0x3C;
constexpr uint64_t coff_header_size = 20, coff_number_of_sections = 2, coff_size_of_optional_header = 16,
                   coff_characteristics = 18;
constexpr uint32_t image_file_dll = 0x2000;
constexpr uint32_t pe32_magic = 0x10B, pe32_plus_magic = 0x20B;
constexpr uint64_t optional_image_base = 28, optional_directory_count = 92, optional_directories = 96;
constexpr uint64_t section_header_size = 40, section_virtual_size = 8, section_virtual_address = 12,
                   section_size_of_raw_data = 16, section_pointer_to_raw_data = 20,
                   section_characteristics = 36;
constexpr uint32_t scn_cnt_code = 0x20, scn_mem_execute = 0x20000000, scn_mem_write = 0x80000000;
// IMAGE_EXPORT_DIRECTORY.
constexpr uint64_t export_directory_size = 40, export_function_count = 20, export_name_count = 24,
                   export_functions = 28, export_names = 32, export_ordinals = 36;
// A gauge module exports two names; this bounds the search in a damaged table.
constexpr uint32_t max_export_names = 1u << 16;
constexpr size_t max_export_name = 256;

}  // namespace

PeFileMemory::PeFileMemory(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < 2 || bytes_[0] != 'M' || bytes_[1] != 'Z') {
        throw UnreadableModule("not a Windows DLL (no MZ header)");
    }
    require("DOS header", 0, dos_header_size);
    const uint64_t pe = file_u32(e_lfanew);
    require("PE signature", pe, 4);
    if (std::memcmp(bytes_.data() + pe, "PE\0\0", 4) != 0) {
        throw UnreadableModule("not a Windows DLL (an MZ file with no PE header)");
    }
    const uint64_t coff = pe + 4;
    require("COFF file header", coff, coff_header_size);
    if ((file_u16(coff + coff_characteristics) & image_file_dll) == 0) {
        throw UnreadableModule("a Windows program, not a DLL");
    }
    const uint64_t optional = coff + coff_header_size;
    const uint32_t optional_size = file_u16(coff + coff_size_of_optional_header);
    require("optional header", optional, optional_size);
    const uint32_t magic = optional_size >= 2 ? file_u16(optional) : 0;
    if (magic == pe32_plus_magic) {
        throw UnreadableModule("a 64-bit Windows DLL; the simulator loads only 32-bit gauge modules");
    }
    if (magic != pe32_magic) throw UnreadableModule("damaged: no PE32 optional header");
    if (optional_size < optional_directories) {
        throw UnreadableModule("damaged: optional header of " + std::to_string(optional_size) +
                               " bytes, too short for its fixed fields");
    }
    image_base_ = file_u32(optional + optional_image_base);
    // A module without an export directory exports nothing: export_address says so.
    const uint32_t directories = file_u32(optional + optional_directory_count);
    if (directories >= 1 && optional_directories + 8 <= optional_size) {
        export_rva_ = file_u32(optional + optional_directories);
        export_size_ = file_u32(optional + optional_directories + 4);
    }

    const uint64_t table = optional + optional_size;
    const uint32_t count = file_u16(coff + coff_number_of_sections);
    require("section table", table, uint64_t{count} * section_header_size);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = table + uint64_t{i} * section_header_size;
        const uint32_t virtual_size = file_u32(entry + section_virtual_size);
        const uint32_t raw_size = file_u32(entry + section_size_of_raw_data);
        const uint32_t raw_offset = file_u32(entry + section_pointer_to_raw_data);
        const uint32_t characteristics = file_u32(entry + section_characteristics);
        if (raw_size != 0) require("section " + std::to_string(i) + "'s data", raw_offset, raw_size);
        // The loader maps VirtualSize bytes; a zero there means the raw size.
        const uint64_t size = virtual_size != 0 ? virtual_size : raw_size;
        sections_.push_back({image_base_ + file_u32(entry + section_virtual_address), size, raw_offset,
                             std::min<uint64_t>(raw_size, size),
                             (characteristics & (scn_cnt_code | scn_mem_execute)) != 0,
                             (characteristics & scn_mem_write) != 0});
    }
}

void PeFileMemory::require(const std::string& what, uint64_t offset, uint64_t length) const {
    if (offset > bytes_.size() || length > bytes_.size() - offset) {
        throw UnreadableModule("truncated: " + what + " (" + std::to_string(length) + " bytes at byte " +
                               std::to_string(offset) + ") runs past the end of the " +
                               std::to_string(bytes_.size()) + "-byte file");
    }
}

// Callers have required the range.
uint32_t PeFileMemory::file_u16(uint64_t offset) const {
    return uint32_t{bytes_[offset]} | uint32_t{bytes_[offset + 1]} << 8;
}

uint32_t PeFileMemory::file_u32(uint64_t offset) const {
    return file_u16(offset) | file_u16(offset + 2) << 16;
}

const PeFileMemory::Section* PeFileMemory::section_of(uint64_t address, size_t size) const {
    for (const Section& section : sections_) {
        if (address < section.begin) continue;
        const uint64_t into = address - section.begin;
        if (into < section.size && size <= section.size - into) return &section;
    }
    return nullptr;
}

bool PeFileMemory::holds(uint64_t address, size_t size) const {
    return section_of(address, size) != nullptr;
}

bool PeFileMemory::read(uint64_t address, void* into, size_t size) const {
    const Section* section = section_of(address, size);
    if (section == nullptr) return false;
    auto* target = static_cast<uint8_t*>(into);
    const uint64_t from = address - section->begin;
    // Bytes past the raw data are the zero fill the loader gives them.
    const uint64_t stored = from < section->raw_size ? std::min<uint64_t>(size, section->raw_size - from) : 0;
    if (stored != 0) std::memcpy(target, bytes_.data() + section->file_offset + from, stored);
    std::fill(target + stored, target + size, uint8_t{0});
    return true;
}

bool PeFileMemory::in_code(uint64_t address) const {
    const Section* section = section_of(address, 1);
    return section != nullptr && section->code;
}

bool PeFileMemory::in_writable(uint64_t address, size_t size) const {
    const Section* section = section_of(address, size);
    return section != nullptr && section->writable;
}

std::optional<uint64_t> PeFileMemory::file_offset(uint64_t address, size_t size) const {
    const Section* section = section_of(address, size);
    if (section == nullptr) return std::nullopt;
    const uint64_t from = address - section->begin;
    if (from > section->raw_size || size > section->raw_size - from) return std::nullopt;
    return section->file_offset + from;
}

std::optional<uint64_t> PeFileMemory::export_address(std::string_view name) const {
    if (export_rva_ == 0 || export_size_ < export_directory_size) return std::nullopt;
    const uint64_t directory = image_base_ + export_rva_;
    const auto word = [&](uint64_t address) { return u32(address); };
    const auto function_count = word(directory + export_function_count);
    const auto name_count = word(directory + export_name_count);
    const auto functions = word(directory + export_functions);
    const auto names = word(directory + export_names);
    const auto ordinals = word(directory + export_ordinals);
    if (!function_count || !name_count || !functions || !names || !ordinals) return std::nullopt;
    for (uint32_t i = 0; i < std::min(*name_count, max_export_names); ++i) {
        const auto name_rva = word(image_base_ + *names + 4ull * i);
        if (!name_rva) return std::nullopt;
        if (text(image_base_ + *name_rva, max_export_name) != name) continue;
        unsigned char ordinal_bytes[2];
        if (!read(image_base_ + *ordinals + 2ull * i, ordinal_bytes, 2)) return std::nullopt;
        const uint32_t ordinal = ordinal_bytes[0] | uint32_t{ordinal_bytes[1]} << 8;
        if (ordinal >= *function_count) return std::nullopt;
        const auto rva = word(image_base_ + *functions + 4ull * ordinal);
        // A forwarder names another DLL's export; no record lies there.
        if (!rva || *rva == 0 || (*rva >= export_rva_ && *rva - export_rva_ < export_size_)) return std::nullopt;
        return image_base_ + *rva;
    }
    return std::nullopt;
}

}  // namespace panel::check
