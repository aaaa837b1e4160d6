// Structure checks of ELF and PE module files, read as plain little-endian bytes at the formats'
// published offsets so that both builds share them and no platform header is needed.
#include "module_file_check.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "module_library.h"

namespace panel {
namespace {

// No gauge module comes near this; it keeps a wrong path (a disk image, say) out of memory.
constexpr std::uintmax_t max_module_bytes = std::uintmax_t{256} << 20;

constexpr std::string_view not_a_module =
    "cannot be loaded as a gauge module (neither an ELF shared object nor a Windows DLL)";
constexpr std::string_view mz_without_pe =
    "cannot be loaded as a gauge module (an MZ file with no PE header, not a Windows DLL)";

// ELF (System V generic ABI).
constexpr std::string_view elf_magic{"\x7F" "ELF", 4};
constexpr uint64_t ei_class = 4, ei_data = 5, ei_version = 6, ei_nident = 16;
constexpr uint8_t elfclass32 = 1, elfclass64 = 2, elfdata2lsb = 1, elfdata2msb = 2, ev_current = 1;
constexpr uint64_t e_type = 16, e_machine = 18;
constexpr uint16_t et_dyn = 3;
constexpr uint32_t pt_null = 0, pt_load = 1, pt_dynamic = 2;
constexpr uint32_t sht_null = 0, sht_nobits = 8;
constexpr uint64_t sh_type = 4;
constexpr uint16_t shn_xindex = 0xFFFF;

// The offsets that differ between the two ELF classes.
struct ElfLayout {
    bool is_64_bit;
    uint64_t header_size;
    uint64_t e_phoff, e_shoff, e_phentsize, e_phnum, e_shentsize, e_shnum, e_shstrndx;
    uint64_t phdr_size, p_offset, p_vaddr, p_filesz, p_memsz;
    uint64_t shdr_size, sh_offset, sh_size, sh_link;
};
constexpr ElfLayout elf32{false, 52, 28, 32, 42, 44, 46, 48, 50, 32, 4, 8, 16, 20, 40, 16, 20, 24};
constexpr ElfLayout elf64{true, 64, 32, 40, 54, 56, 58, 60, 62, 56, 8, 16, 32, 40, 64, 24, 32, 40};

// PE/COFF.
constexpr std::string_view mz_magic{"MZ", 2};
constexpr std::string_view pe_signature{"PE\0\0", 4};
constexpr uint64_t dos_header_size = 64, e_lfanew = 0x3C;
constexpr uint64_t coff_header_size = 20, coff_machine = 0, coff_number_of_sections = 2,
                   coff_size_of_optional_header = 16, coff_characteristics = 18;
constexpr uint16_t image_file_dll = 0x2000;
constexpr uint16_t pe32_magic = 0x10B, pe32_plus_magic = 0x20B;
// The optional header's fixed part; NumberOfRvaAndSizes is its last field.
constexpr uint64_t pe32_fixed_size = 96, pe32_plus_fixed_size = 112, data_directory_size = 8;
constexpr uint64_t section_header_size = 40, section_size_of_raw_data = 16,
                   section_pointer_to_raw_data = 20;

// A module file's bytes, and the refusals that name it.
class ModuleBytes {
public:
    ModuleBytes(std::string name, std::vector<unsigned char> bytes)
        : name_(std::move(name)), bytes_(std::move(bytes)) {}

    uint64_t size() const { return bytes_.size(); }

    [[noreturn]] void fail(std::string_view what) const {
        throw ModuleError(name_ + ": " + std::string(what));
    }

    // Refuses the file unless [offset, offset + length) lies within it.
    void require(const std::string& what, uint64_t offset, uint64_t length) const {
        if (offset > std::numeric_limits<uint64_t>::max() - length) {
            fail("damaged: " + what + " (" + std::to_string(length) + " bytes at byte " +
                 std::to_string(offset) + ") runs past any file");
        }
        if (offset + length > size()) {
            fail("truncated: " + what + " ends at byte " + std::to_string(offset + length) +
                 " of a " + std::to_string(size()) + "-byte file");
        }
    }

    // Refuses the file unless `count` entries of `entry_size` bytes from `offset` lie within it.
    void require_table(const std::string& what, uint64_t offset, uint64_t count,
                       uint64_t entry_size) const {
        if (entry_size != 0 && count > std::numeric_limits<uint64_t>::max() / entry_size) {
            fail("damaged: " + what + " of " + std::to_string(count) + " entries runs past any file");
        }
        require(what, offset, count * entry_size);
    }

    bool begins_with(std::string_view magic) const {
        const size_t n = std::min<size_t>(magic.size(), bytes_.size());
        return std::memcmp(bytes_.data(), magic.data(), n) == 0;
    }
    bool holds_at(uint64_t offset, std::string_view text) const {
        return offset <= size() && text.size() <= size() - offset &&
               std::memcmp(bytes_.data() + offset, text.data(), text.size()) == 0;
    }

    uint8_t u8(uint64_t offset) const { return static_cast<uint8_t>(read(offset, 1)); }
    uint16_t u16(uint64_t offset) const { return static_cast<uint16_t>(read(offset, 2)); }
    uint32_t u32(uint64_t offset) const { return static_cast<uint32_t>(read(offset, 4)); }
    // An address or offset field: 8 bytes in a 64-bit ELF file, 4 in a 32-bit one.
    uint64_t word(uint64_t offset, bool wide) const { return read(offset, wide ? 8 : 4); }

    // Up to 8 bytes from `offset`, printable, for naming a PE section.
    std::string short_name(uint64_t offset) const {
        std::string name;
        for (uint64_t i = offset; i < offset + 8 && i < size() && bytes_[i] != 0; ++i) {
            name += (bytes_[i] >= 0x20 && bytes_[i] < 0x7F) ? static_cast<char>(bytes_[i]) : '?';
        }
        return name;
    }

private:
    // Little-endian; every caller has checked the range, this only backs that up.
    uint64_t read(uint64_t offset, unsigned width) const {
        require("header field", offset, width);
        uint64_t value = 0;
        for (unsigned i = 0; i < width; ++i) value |= uint64_t{bytes_[offset + i]} << (8 * i);
        return value;
    }

    std::string name_;
    std::vector<unsigned char> bytes_;
};

std::vector<unsigned char> read_module_file(const std::filesystem::path& path,
                                            const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        throw ModuleError(name + ": no such file");
    }
    if (error) throw ModuleError(name + ": cannot be read (" + error.message() + ")");
    if (!std::filesystem::is_regular_file(status)) throw ModuleError(name + ": not a regular file");
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw ModuleError(name + ": cannot be read (" + error.message() + ")");
    if (size > max_module_bytes) {
        throw ModuleError(name + ": " + std::to_string(size) +
                          " bytes, too large for a gauge module (at most 256 MiB)");
    }

    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const std::string reason = errno != 0 ? std::generic_category().message(errno) : "cannot open";
        throw ModuleError(name + ": cannot be read (" + reason + ")");
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) throw ModuleError(name + ": cannot be read (read error)");
    // A file that shrank since its size was taken is judged by what is left of it.
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (bytes.empty()) throw ModuleError(name + ": empty file");
    return bytes;
}

ModuleFileInfo check_elf(const ModuleBytes& file) {
    file.require("ELF identification", 0, ei_nident);
    const uint8_t elf_class = file.u8(ei_class), data = file.u8(ei_data);
    if (data == elfdata2msb) file.fail("a big-endian ELF file; only little-endian modules load here");
    if (data != elfdata2lsb) file.fail("damaged: unknown ELF data encoding " + std::to_string(data));
    if (elf_class != elfclass32 && elf_class != elfclass64) {
        file.fail("damaged: unknown ELF class " + std::to_string(elf_class));
    }
    if (file.u8(ei_version) != ev_current) {
        file.fail("damaged: unknown ELF version " + std::to_string(file.u8(ei_version)));
    }
    const ElfLayout& elf = elf_class == elfclass64 ? elf64 : elf32;
    file.require("ELF header", 0, elf.header_size);
    const uint16_t elf_type = file.u16(e_type);
    if (elf_type != et_dyn) {
        file.fail("an ELF file of type " + std::to_string(elf_type) + ", not a shared object");
    }
    const bool wide = elf.is_64_bit;
    const auto size_mismatch = [&](const char* what, uint16_t found, uint64_t expected) {
        file.fail("damaged: " + std::string(what) + " entries of " + std::to_string(found) +
                  " bytes, not the " + std::to_string(expected) + " of a " +
                  (wide ? "64" : "32") + "-bit ELF file");
    };

    // Program headers: what dlopen maps.
    const uint64_t phoff = file.word(elf.e_phoff, wide);
    const uint16_t phnum = file.u16(elf.e_phnum), phentsize = file.u16(elf.e_phentsize);
    if (phnum == 0) file.fail("an ELF file with no program headers, so nothing to load");
    if (phentsize != elf.phdr_size) size_mismatch("program header", phentsize, elf.phdr_size);
    file.require_table("program header table", phoff, phnum, phentsize);
    struct Extent {
        uint64_t vaddr, memsz;
    };
    std::vector<Extent> loads;
    bool has_dynamic = false;
    Extent dynamic{};
    for (uint16_t i = 0; i < phnum; ++i) {
        const uint64_t entry = phoff + uint64_t{i} * phentsize;
        const uint32_t type = file.u32(entry);
        if (type == pt_null) continue;
        file.require("segment " + std::to_string(i), file.word(entry + elf.p_offset, wide),
                     file.word(entry + elf.p_filesz, wide));
        const Extent extent{file.word(entry + elf.p_vaddr, wide), file.word(entry + elf.p_memsz, wide)};
        if (type == pt_load) loads.push_back(extent);
        if (type == pt_dynamic) {
            has_dynamic = true;
            dynamic = extent;
        }
    }

    // Section headers: not mapped, but a table cut short says the file was.
    const uint64_t shoff = file.word(elf.e_shoff, wide);
    uint64_t shnum = file.u16(elf.e_shnum);
    uint32_t shstrndx = file.u16(elf.e_shstrndx);
    if (shoff != 0) {
        const uint16_t shentsize = file.u16(elf.e_shentsize);
        if (shentsize != elf.shdr_size) size_mismatch("section header", shentsize, elf.shdr_size);
        file.require_table("section header table", shoff, 1, shentsize);
        // Counts too large for the header live in section 0.
        if (shnum == 0) shnum = file.word(shoff + elf.sh_size, wide);
        if (shstrndx == shn_xindex) shstrndx = file.u32(shoff + elf.sh_link);
        file.require_table("section header table", shoff, shnum, shentsize);
    } else if (shnum != 0) {
        file.fail("damaged: " + std::to_string(shnum) + " sections but no section header table");
    }
    for (uint64_t i = 0; i < shnum; ++i) {
        const uint64_t entry = shoff + i * elf.shdr_size;
        const uint32_t type = file.u32(entry + sh_type);
        if (type == sht_null || type == sht_nobits) continue;
        file.require("section " + std::to_string(i), file.word(entry + elf.sh_offset, wide),
                     file.word(entry + elf.sh_size, wide));
    }
    if (shstrndx != 0 && shstrndx >= shnum) {
        file.fail("damaged: section-name table is section " + std::to_string(shstrndx) + " of " +
                  std::to_string(shnum));
    }

    if (loads.empty()) file.fail("an ELF file with no loadable segment");
    if (!has_dynamic) file.fail("an ELF file with no dynamic segment, so not a shared object");
    // dlopen reads the dynamic segment at its address in memory, so a loaded segment must hold it.
    bool dynamic_mapped = false;
    for (const Extent& load : loads) {
        if (dynamic.vaddr >= load.vaddr && dynamic.vaddr - load.vaddr <= load.memsz &&
            dynamic.memsz <= load.memsz - (dynamic.vaddr - load.vaddr)) {
            dynamic_mapped = true;
        }
    }
    if (!dynamic_mapped) file.fail("damaged: the dynamic segment lies outside every loadable segment");
    return {ModuleFileKind::elf, wide, file.u16(e_machine)};
}

ModuleFileInfo check_pe(const ModuleBytes& file) {
    file.require("DOS header", 0, dos_header_size);
    const uint32_t pe_offset = file.u32(e_lfanew);
    if (pe_offset % 4 != 0) {
        file.fail("damaged: PE header offset " + std::to_string(pe_offset) + " is not a multiple of 4");
    }
    file.require("PE signature", pe_offset, pe_signature.size());
    if (!file.holds_at(pe_offset, pe_signature)) {
        file.fail(mz_without_pe);
    }
    const uint64_t coff = pe_offset + pe_signature.size();
    file.require("COFF file header", coff, coff_header_size);
    if ((file.u16(coff + coff_characteristics) & image_file_dll) == 0) {
        file.fail("a Windows program, not a DLL");
    }

    const uint64_t optional = coff + coff_header_size;
    const uint16_t optional_size = file.u16(coff + coff_size_of_optional_header);
    file.require("optional header", optional, optional_size);
    if (optional_size < 2) file.fail("damaged: no optional header");
    const uint16_t magic = file.u16(optional);
    if (magic != pe32_magic && magic != pe32_plus_magic) {
        file.fail("damaged: unknown optional header magic " + std::to_string(magic));
    }
    const uint64_t fixed_size = magic == pe32_magic ? pe32_fixed_size : pe32_plus_fixed_size;
    if (optional_size < fixed_size) {
        file.fail("damaged: optional header of " + std::to_string(optional_size) +
                  " bytes, too short for its fixed fields");
    }
    const uint32_t directories = file.u32(optional + fixed_size - 4);
    if (directories > (optional_size - fixed_size) / data_directory_size) {
        file.fail("damaged: optional header lists " + std::to_string(directories) +
                  " data directories but has room for " +
                  std::to_string((optional_size - fixed_size) / data_directory_size));
    }

    const uint64_t sections = optional + optional_size;
    const uint16_t section_count = file.u16(coff + coff_number_of_sections);
    file.require_table("section table", sections, section_count, section_header_size);
    for (uint16_t i = 0; i < section_count; ++i) {
        const uint64_t entry = sections + uint64_t{i} * section_header_size;
        const uint32_t raw_size = file.u32(entry + section_size_of_raw_data);
        if (raw_size == 0) continue;  // uninitialised data has no bytes in the file
        file.require("section " + std::to_string(i) + " (" + file.short_name(entry) + ")",
                     file.u32(entry + section_pointer_to_raw_data), raw_size);
    }
    return {ModuleFileKind::pe, magic == pe32_plus_magic, file.u16(coff + coff_machine)};
}

std::string machine_name(const ModuleFileInfo& info) {
    struct Name {
        uint16_t machine;
        const char* name;
    };
    static constexpr Name elf_names[] = {
        {3, "x86"}, {40, "ARM"}, {62, "x86-64"}, {183, "AArch64"}, {243, "RISC-V"}};
    static constexpr Name pe_names[] = {
        {0x14C, "x86"}, {0x1C4, "ARM"}, {0x8664, "x86-64"}, {0xAA64, "ARM64"}};
    for (const Name& name : info.kind == ModuleFileKind::elf ? std::span<const Name>(elf_names)
                                                             : std::span<const Name>(pe_names)) {
        if (name.machine == info.machine) return name.name;
    }
    return "machine " + std::to_string(info.machine);
}

}  // namespace

ModuleFileInfo check_module_file(const std::filesystem::path& path) {
    const ModuleBytes file(path.string(), read_module_file(path, path.string()));
    if (file.begins_with(elf_magic)) return check_elf(file);
    if (file.begins_with(mz_magic)) return check_pe(file);
    file.fail(not_a_module);
}

std::string describe_module_file(const ModuleFileInfo& info) {
    return std::string("a ") + (info.is_64_bit ? "64" : "32") + "-bit " + machine_name(info) +
           (info.kind == ModuleFileKind::elf ? " ELF shared object" : " Windows DLL");
}

}  // namespace panel
