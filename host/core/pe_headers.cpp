#include "pe_headers.h"

#include <string_view>

#include "file_fields.h"
#include "text_escape.h"

namespace panel {
namespace {

constexpr std::string_view mz_magic{"MZ", 2};
constexpr std::string_view pe_signature{"PE\0\0", 4};
constexpr uint64_t dos_header_size = 64, e_lfanew = 0x3C;
constexpr uint64_t coff_header_size = 20, coff_machine = 0, coff_number_of_sections = 2,
                   coff_size_of_optional_header = 16, coff_characteristics = 18;
constexpr uint16_t image_file_dll = 0x2000;
constexpr uint16_t pe32_magic = 0x10B, pe32_plus_magic = 0x20B;
constexpr uint64_t pe32_image_base = 28, pe32_plus_image_base = 24;
// The optional header's fixed part; NumberOfRvaAndSizes is its last field.
constexpr uint64_t pe32_fixed_size = 96, pe32_plus_fixed_size = 112, data_directory_size = 8;
constexpr uint64_t section_header_size = 40, section_name_size = 8, section_virtual_size = 8,
                   section_virtual_address = 12, section_size_of_raw_data = 16, section_pointer_to_raw_data = 20,
                   section_characteristics = 36;

}  // namespace

PeHeaders read_pe_headers(std::span<const uint8_t> bytes) {
    const FileFields file(bytes);
    if (!file.begins_with(mz_magic)) file.fail("not a Windows DLL (no MZ header)");
    file.require("DOS header", 0, dos_header_size);
    const uint32_t pe_offset = file.u32(e_lfanew);
    if (pe_offset % 4 != 0) {
        file.fail("damaged: PE header offset " + std::to_string(pe_offset) + " is not a multiple of 4");
    }
    file.require("PE signature", pe_offset, pe_signature.size());
    if (!file.holds_at(pe_offset, pe_signature)) file.fail("not a Windows DLL (an MZ file with no PE header)");
    const uint64_t coff = uint64_t{pe_offset} + pe_signature.size();
    file.require("COFF file header", coff, coff_header_size);
    if ((file.u16(coff + coff_characteristics) & image_file_dll) == 0) file.fail("a Windows program, not a DLL");

    PeHeaders headers;
    headers.machine = file.u16(coff + coff_machine);
    const uint64_t optional = coff + coff_header_size;
    const uint16_t optional_size = file.u16(coff + coff_size_of_optional_header);
    file.require("optional header", optional, optional_size);
    if (optional_size < 2) file.fail("damaged: no optional header");
    const uint16_t magic = file.u16(optional);
    if (magic != pe32_magic && magic != pe32_plus_magic) {
        file.fail("damaged: unknown optional header magic " + hex_text(magic));
    }
    headers.is_64_bit = magic == pe32_plus_magic;
    const uint64_t fixed_size = headers.is_64_bit ? pe32_plus_fixed_size : pe32_fixed_size;
    if (optional_size < fixed_size) {
        file.fail("damaged: optional header of " + std::to_string(optional_size) +
                  " bytes, too short for its fixed fields");
    }
    headers.image_base =
        headers.is_64_bit ? file.u64(optional + pe32_plus_image_base) : file.u32(optional + pe32_image_base);
    const uint32_t directories = file.u32(optional + fixed_size - 4);
    const uint64_t room = (optional_size - fixed_size) / data_directory_size;
    if (directories > room) {
        file.fail("damaged: optional header lists " + std::to_string(directories) +
                  " data directories but has room for " + std::to_string(room));
    }
    for (uint32_t i = 0; i < directories; ++i) {
        const uint64_t entry = optional + fixed_size + uint64_t{i} * data_directory_size;
        headers.directories.push_back({file.u32(entry), file.u32(entry + 4)});
    }

    const uint64_t table = optional + optional_size;
    const uint16_t section_count = file.u16(coff + coff_number_of_sections);
    file.require_table("section table", table, section_count, section_header_size);
    for (uint16_t i = 0; i < section_count; ++i) {
        const uint64_t entry = table + uint64_t{i} * section_header_size;
        PeSection section{file.short_name(entry, section_name_size),     file.u32(entry + section_virtual_address),
                          file.u32(entry + section_virtual_size),        file.u32(entry + section_size_of_raw_data),
                          file.u32(entry + section_pointer_to_raw_data), file.u32(entry + section_characteristics)};
        // Uninitialised data has no bytes in the file, wherever it claims them.
        if (section.raw_size != 0) {
            file.require("section " + std::to_string(i) + " (" + section.name + ")", section.raw_offset,
                         section.raw_size);
        }
        headers.sections.push_back(std::move(section));
    }
    return headers;
}

}  // namespace panel
