// Reads the RT_BITMAP resources of a Windows DLL from the file's bytes, at the PE/COFF format's
// published offsets: nothing of the module runs, and every offset is checked against the file.
#include <string_view>

#include "bitmap_source.h"
#include "file_fields.h"
#include "file_structure_check.h"
#include "module_library.h"
#include "pe_headers.h"
#include "text_escape.h"

namespace panel {
namespace {

// IMAGE_RESOURCE_DIRECTORY and its entries, IMAGE_RESOURCE_DATA_ENTRY.
constexpr uint64_t directory_header_size = 16, directory_named_count = 12, directory_id_count = 14,
                   directory_entry_size = 8, data_entry_size = 16;
constexpr uint32_t entry_is_name = 0x80000000u, entry_is_directory = 0x80000000u;
constexpr uint32_t rt_bitmap = 2, us_english = 1033;
// Far beyond any module's resources (a gauge has a few dozen bitmaps).
constexpr uint64_t max_entries_read = 1u << 20;

// The file offset of `length` bytes at a relative virtual address, from the section table.
class SectionMap {
public:
    SectionMap(const FileFields& file, const std::vector<PeSection>& sections) : file_(file), sections_(sections) {}

    uint64_t offset(uint64_t rva, uint64_t length, const std::string& what) const {
        for (const PeSection& s : sections_) {
            if (rva < s.virtual_address) continue;
            const uint64_t into = rva - s.virtual_address;
            if (into >= s.raw_size) continue;
            // Bytes past the raw data would be zero-filled in memory, never read from the file.
            if (length > s.raw_size - into) file_.fail(what + " runs past the end of its section's data in the file");
            const uint64_t at = uint64_t{s.raw_offset} + into;
            file_.require(what, at, length);
            return at;
        }
        file_.fail(what + " (address " + hex_text(rva) + ") lies in no section of the file");
    }

private:
    const FileFields& file_;
    const std::vector<PeSection>& sections_;
};

std::vector<uint8_t> checked_module_bytes(const std::filesystem::path& file) {
    try {
        std::vector<uint8_t> bytes = read_module_file(file);
        if (check_file_structure(bytes, file.string()).kind != ModuleFileKind::pe)
            throw BitmapError(file.string() + ": not a Windows DLL, so it holds no bitmap resources");
        return bytes;
    } catch (const ModuleError& error) {
        throw BitmapError(error.what());
    }
}

}  // namespace

PeBitmaps::PeBitmaps(const std::filesystem::path& file) : PeBitmaps(file.string(), checked_module_bytes(file)) {}

PeBitmaps::PeBitmaps(std::string name, std::vector<uint8_t> bytes) : name_(std::move(name)), bytes_(std::move(bytes)) {
    try {
        index_resources();
    } catch (const FormatError& error) {
        throw BitmapError(name_ + ": " + error.what());
    }
}

void PeBitmaps::index_resources() {
    const FileFields file(bytes_);
    const PeHeaders headers = read_pe_headers(bytes_);
    const SectionMap sections(file, headers.sections);

    // A module without a resource directory simply has no bitmaps.
    const PeDirectory root = headers.directory(pe_resource_directory);
    const uint32_t root_rva = root.rva, root_size = root.size;
    if (root_rva == 0 || root_size == 0) return;

    // A directory's entries (named first, then by id), each offset within the resource data.
    // Directories may share subdirectories, so the entries read in all are bounded too.
    struct Entry {
        uint32_t name, target;
    };
    uint64_t entries_read = 0;
    auto entries = [&](uint32_t directory, const std::string& what) {
        if (directory > root_size || directory_header_size > root_size - directory)
            file.fail("damaged: " + what + " lies outside the resource data");
        const uint64_t at = sections.offset(uint64_t{root_rva} + directory, directory_header_size, what);
        const uint64_t count =
            uint64_t{file.u16(at + directory_named_count, what)} + file.u16(at + directory_id_count, what);
        if (count * directory_entry_size > root_size - directory - directory_header_size)
            file.fail("damaged: " + what + " of " + std::to_string(count) + " entries runs past the resource data");
        entries_read += count;
        if (entries_read > max_entries_read)
            file.fail("damaged: the resource directory lists more than " + std::to_string(max_entries_read) +
                      " entries");
        const uint64_t table =
            sections.offset(uint64_t{root_rva} + directory + directory_header_size, count * directory_entry_size, what);
        std::vector<Entry> list;
        for (uint64_t i = 0; i < count; ++i)
            list.push_back({file.u32(table + i * directory_entry_size, what),
                            file.u32(table + i * directory_entry_size + 4, what)});
        return list;
    };
    auto subdirectory = [&](const Entry& entry, const std::string& what) {
        if ((entry.target & entry_is_directory) == 0) file.fail("damaged: " + what + " is not a directory");
        return entry.target & ~entry_is_directory;
    };

    for (const Entry& type : entries(0, "resource directory")) {
        if ((type.name & entry_is_name) != 0 || type.name != rt_bitmap) continue;
        // Only the first bitmap directory counts, as a loader's lookup would find it.
        for (const Entry& bitmap : entries(subdirectory(type, "bitmap directory"), "bitmap directory")) {
            if ((bitmap.name & entry_is_name) != 0) continue;  // bitmaps named by text are not the gauges'
            const std::string what = "bitmap " + std::to_string(bitmap.name);
            const std::vector<Entry> languages = entries(subdirectory(bitmap, what), what + " languages");
            if (languages.empty()) continue;
            const Entry* chosen = &languages.front();
            for (const Entry& language : languages)
                if (language.name == us_english) chosen = &language;
            if ((chosen->target & entry_is_directory) != 0)
                file.fail("damaged: " + what + " has a directory where its data entry belongs");
            if (chosen->target > root_size || data_entry_size > root_size - chosen->target)
                file.fail("damaged: " + what + "'s data entry lies outside the resource data");
            const uint64_t data_entry =
                sections.offset(uint64_t{root_rva} + chosen->target, data_entry_size, what + "'s data entry");
            const uint32_t data_rva = file.u32(data_entry, what);
            const uint32_t data_size = file.u32(data_entry + 4, what);
            placements_[bitmap.name] = {sections.offset(data_rva, data_size, what), data_size};
        }
        break;
    }
}

const DibImage* PeBitmaps::find(uint32_t id) {
    if (auto done = decoded_.find(id); done != decoded_.end()) return &done->second;
    const auto placement = placements_.find(id);
    if (placement == placements_.end()) return nullptr;
    const std::span<const uint8_t> dib(bytes_.data() + placement->second.offset, placement->second.size);
    try {
        return &decoded_.emplace(id, parse_packed_dib(dib)).first->second;
    } catch (const DibError& error) {
        throw BitmapError(name_ + ": bitmap " + std::to_string(id) + ": " + error.what());
    }
}

std::vector<uint32_t> PeBitmaps::ids() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, placement] : placements_) ids.push_back(id);
    return ids;
}

}  // namespace panel
