// Reads the RT_BITMAP resources of a Windows DLL from the file's bytes, at the PE/COFF format's
// published offsets: nothing of the module runs, and every offset is checked against the file.
#include <fstream>
#include <limits>

#include "bitmap_source.h"
#include "module_file_check.h"
#include "module_library.h"
#include "text_escape.h"

namespace panel {
namespace {

constexpr uint64_t e_lfanew = 0x3C;
constexpr uint64_t coff_header_size = 20, coff_number_of_sections = 2, coff_size_of_optional_header = 16;
constexpr uint16_t pe32_magic = 0x10B, pe32_plus_magic = 0x20B;
// Where NumberOfRvaAndSizes stands, and the data directories after it.
constexpr uint64_t pe32_directory_count = 92, pe32_plus_directory_count = 108;
constexpr uint32_t resource_directory_index = 2;
constexpr uint64_t section_header_size = 40, section_virtual_size = 8, section_virtual_address = 12,
                   section_size_of_raw_data = 16, section_pointer_to_raw_data = 20;
// IMAGE_RESOURCE_DIRECTORY and its entries, IMAGE_RESOURCE_DATA_ENTRY.
constexpr uint64_t directory_header_size = 16, directory_named_count = 12, directory_id_count = 14,
                   directory_entry_size = 8, data_entry_size = 16;
constexpr uint32_t entry_is_name = 0x80000000u, entry_is_directory = 0x80000000u;
constexpr uint32_t rt_bitmap = 2, us_english = 1033;
// Far beyond any module's resources (a gauge has a few dozen bitmaps).
constexpr uint64_t max_entries_read = 1u << 20;

// A module's bytes as little-endian fields; every read is bounds-checked and a miss is a
// BitmapError naming the file.
class PeFile {
public:
    PeFile(const std::string& name, std::span<const uint8_t> bytes) : name_(name), bytes_(bytes) {}

    [[noreturn]] void fail(const std::string& what) const { throw BitmapError(name_ + ": " + what); }

    void require(const std::string& what, uint64_t offset, uint64_t length) const {
        if (offset > bytes_.size() || length > bytes_.size() - offset)
            fail("truncated: " + what + " (" + std::to_string(length) + " bytes at byte " +
                 std::to_string(offset) + ") runs past the end of the " + std::to_string(bytes_.size()) +
                 "-byte file");
    }
    uint16_t u16(uint64_t offset, const std::string& what) const {
        require(what, offset, 2);
        return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    }
    uint32_t u32(uint64_t offset, const std::string& what) const {
        require(what, offset, 4);
        return static_cast<uint32_t>(bytes_[offset]) | static_cast<uint32_t>(bytes_[offset + 1]) << 8 |
               static_cast<uint32_t>(bytes_[offset + 2]) << 16 | static_cast<uint32_t>(bytes_[offset + 3]) << 24;
    }

private:
    const std::string& name_;
    std::span<const uint8_t> bytes_;
};

struct Section {
    uint32_t virtual_address, virtual_size, raw_size, raw_offset;
};

// The section table, and the file offset of `length` bytes at a relative virtual address.
class SectionMap {
public:
    SectionMap(const PeFile& file, uint64_t table, uint16_t count) : file_(file) {
        for (uint16_t i = 0; i < count; ++i) {
            const uint64_t entry = table + uint64_t{i} * section_header_size;
            const std::string what = "section header " + std::to_string(i);
            sections_.push_back({file.u32(entry + section_virtual_address, what),
                                 file.u32(entry + section_virtual_size, what),
                                 file.u32(entry + section_size_of_raw_data, what),
                                 file.u32(entry + section_pointer_to_raw_data, what)});
        }
    }

    uint64_t offset(uint64_t rva, uint64_t length, const std::string& what) const {
        for (const Section& s : sections_) {
            if (rva < s.virtual_address) continue;
            const uint64_t into = rva - s.virtual_address;
            if (into >= s.raw_size) continue;
            // Bytes past the raw data would be zero-filled in memory, never read from the file.
            if (length > s.raw_size - into)
                file_.fail(what + " runs past the end of its section's data in the file");
            const uint64_t at = uint64_t{s.raw_offset} + into;
            file_.require(what, at, length);
            return at;
        }
        file_.fail(what + " (address " + hex_text(rva) + ") lies in no section of the file");
    }

private:
    const PeFile& file_;
    std::vector<Section> sections_;
};

std::vector<uint8_t> read_whole_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BitmapError(path.string() + ": cannot be read");
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw BitmapError(path.string() + ": cannot be read (read error)");
    return bytes;
}

std::vector<uint8_t> checked_module_bytes(const std::filesystem::path& file) {
    try {
        if (check_module_file(file).kind != ModuleFileKind::pe)
            throw BitmapError(file.string() + ": not a Windows DLL, so it holds no bitmap resources");
    } catch (const ModuleError& error) {
        throw BitmapError(error.what());
    }
    return read_whole_file(file);
}

}  // namespace

PeBitmaps::PeBitmaps(const std::filesystem::path& file) : PeBitmaps(file.string(), checked_module_bytes(file)) {}

PeBitmaps::PeBitmaps(std::string name, std::vector<uint8_t> bytes) : name_(std::move(name)), bytes_(std::move(bytes)) {
    index_resources();
}

void PeBitmaps::index_resources() {
    const PeFile file(name_, bytes_);
    if (bytes_.size() < 2 || bytes_[0] != 'M' || bytes_[1] != 'Z') file.fail("not a Windows DLL (no MZ header)");
    const uint32_t pe = file.u32(e_lfanew, "DOS header");
    file.require("PE signature", pe, 4);
    if (bytes_[pe] != 'P' || bytes_[pe + 1] != 'E' || bytes_[pe + 2] != 0 || bytes_[pe + 3] != 0)
        file.fail("not a Windows DLL (no PE signature)");
    const uint64_t coff = uint64_t{pe} + 4;
    const uint16_t section_count = file.u16(coff + coff_number_of_sections, "COFF header");
    const uint16_t optional_size = file.u16(coff + coff_size_of_optional_header, "COFF header");
    const uint64_t optional = coff + coff_header_size;
    file.require("optional header", optional, optional_size);
    const uint16_t magic = file.u16(optional, "optional header");
    if (magic != pe32_magic && magic != pe32_plus_magic)
        file.fail("damaged: unknown optional header magic " + hex_text(magic));
    const uint64_t count_at = magic == pe32_magic ? pe32_directory_count : pe32_plus_directory_count;
    const SectionMap sections(file, optional + optional_size, section_count);

    // A module without a resource directory simply has no bitmaps.
    if (count_at + 4 > optional_size) return;
    const uint32_t directories = file.u32(optional + count_at, "optional header");
    const uint64_t directory_entry = optional + count_at + 4 + resource_directory_index * 8;
    if (directories <= resource_directory_index || directory_entry + 8 > optional + optional_size) return;
    const uint32_t root_rva = file.u32(directory_entry, "resource data directory");
    const uint32_t root_size = file.u32(directory_entry + 4, "resource data directory");
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
        const uint64_t count = uint64_t{file.u16(at + directory_named_count, what)} +
                               file.u16(at + directory_id_count, what);
        if (count * directory_entry_size > root_size - directory - directory_header_size)
            file.fail("damaged: " + what + " of " + std::to_string(count) + " entries runs past the resource data");
        entries_read += count;
        if (entries_read > max_entries_read)
            file.fail("damaged: the resource directory lists more than " + std::to_string(max_entries_read) +
                      " entries");
        const uint64_t table = sections.offset(uint64_t{root_rva} + directory + directory_header_size,
                                               count * directory_entry_size, what);
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
