// The headers of a Windows DLL (PE/COFF) read from its bytes at the format's published offsets,
// never loaded: the DOS stub's pointer, the COFF file header, the optional header with its data
// directories, and the section table. The file structure check, the module checker's view of a
// .gau and the bitmap resources all read them here, so a damaged header is refused in the
// same words wherever it is met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace panel {

struct PeSection {
    std::string name;          // up to 8 characters, unprintable ones as '?'
    uint32_t virtual_address;  // relative to the image base
    uint32_t virtual_size;
    uint32_t raw_size;    // bytes of it in the file
    uint32_t raw_offset;  // where they are
    uint32_t characteristics;
};

struct PeDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

struct PeHeaders {
    uint16_t machine = 0;
    bool is_64_bit = false;  // PE32+
    uint64_t image_base = 0;
    std::vector<PeDirectory> directories;  // as many as the optional header lists
    std::vector<PeSection> sections;

    // The data directory of this index, or an empty one when the header lists fewer.
    PeDirectory directory(size_t index) const {
        return index < directories.size() ? directories[index] : PeDirectory{};
    }
};

inline constexpr size_t pe_export_directory = 0;
inline constexpr size_t pe_resource_directory = 2;

// The headers of `bytes`, every one of them, the section table and each section's raw data
// checked to lie within the bytes. Throws FormatError (file_fields.h) for the first fault:
// no MZ or PE signature, a program rather than a DLL, a header cut short or damaged.
PeHeaders read_pe_headers(std::span<const uint8_t> bytes);

}  // namespace panel
