// The headers as core/pe_headers reads them for every host, so that no platform header is
// needed; the sections and the export directory mapped here.
#include "pe_file_memory.h"

#include <algorithm>
#include <cstring>

#include "file_fields.h"
#include "little_endian.h"
#include "pe_headers.h"

namespace panel::check {
namespace {

constexpr uint32_t scn_cnt_code = 0x20, scn_mem_execute = 0x20000000, scn_mem_write = 0x80000000;
// IMAGE_EXPORT_DIRECTORY.
constexpr uint64_t export_directory_size = 40, export_function_count = 20, export_name_count = 24,
                   export_functions = 28, export_names = 32, export_ordinals = 36;
// A gauge module exports two names; this bounds the search in a damaged table.
constexpr uint32_t max_export_names = 1u << 16;
constexpr size_t max_export_name = 256;

PeHeaders headers_of(std::span<const uint8_t> bytes) {
    try {
        PeHeaders headers = read_pe_headers(bytes);
        if (headers.is_64_bit) {
            throw UnreadableModule("a 64-bit Windows DLL; the simulator loads only 32-bit gauge modules");
        }
        return headers;
    } catch (const FormatError& error) {
        throw UnreadableModule(error.what());
    }
}

}  // namespace

PeFileMemory::PeFileMemory(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    const PeHeaders headers = headers_of(bytes_);
    image_base_ = headers.image_base;
    // A module without an export directory exports nothing: export_address says so.
    const PeDirectory exports = headers.directory(pe_export_directory);
    export_rva_ = exports.rva;
    export_size_ = exports.size;
    for (const PeSection& section : headers.sections) {
        // The loader maps VirtualSize bytes; a zero there means the raw size.
        const uint64_t size = section.virtual_size != 0 ? section.virtual_size : section.raw_size;
        sections_.push_back({image_base_ + section.virtual_address, size, section.raw_offset,
                             std::min<uint64_t>(section.raw_size, size),
                             (section.characteristics & (scn_cnt_code | scn_mem_execute)) != 0,
                             (section.characteristics & scn_mem_write) != 0});
    }
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
        uint8_t ordinal_bytes[2];
        if (!read(image_base_ + *ordinals + 2ull * i, ordinal_bytes, 2)) return std::nullopt;
        const uint32_t ordinal = little_endian::u16(ordinal_bytes, 0);
        if (ordinal >= *function_count) return std::nullopt;
        const auto rva = word(image_base_ + *functions + 4ull * ordinal);
        // A forwarder names another DLL's export; no record lies there.
        if (!rva || *rva == 0 || (*rva >= export_rva_ && *rva - export_rva_ < export_size_)) return std::nullopt;
        return image_base_ + *rva;
    }
    return std::nullopt;
}

}  // namespace panel::check
