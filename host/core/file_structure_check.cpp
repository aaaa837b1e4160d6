// Structure checks of module files before a loader maps them: ELF here, PE through pe_headers,
// both read as plain little-endian bytes at the formats' published offsets so that both builds
// share them and no platform header is needed.
#include "file_structure_check.h"

#include <cerrno>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "file_fields.h"
#include "module_library.h"
#include "pe_headers.h"

namespace panel {
namespace {

// No gauge module comes near this; it keeps a wrong path (a disk image, say) out of memory.
constexpr std::uintmax_t max_module_bytes = std::uintmax_t{256} << 20;

constexpr std::string_view not_a_module =
    "cannot be loaded as a gauge module (neither an ELF shared object nor a Windows DLL)";
constexpr std::string_view mz_magic{"MZ", 2};

// ELF (System V generic ABI).
constexpr std::string_view elf_magic{
    "\x7F"
    "ELF",
    4};
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

ModuleFileInfo check_elf(const FileFields& file) {
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
        file.fail("damaged: " + std::string(what) + " entries of " + std::to_string(found) + " bytes, not the " +
                  std::to_string(expected) + " of a " + (wide ? "64" : "32") + "-bit ELF file");
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

std::string machine_name(const ModuleFileInfo& info) {
    struct Name {
        uint16_t machine;
        const char* name;
    };
    static constexpr Name elf_names[] = {{3, "x86"}, {40, "ARM"}, {62, "x86-64"}, {183, "AArch64"}, {243, "RISC-V"}};
    static constexpr Name pe_names[] = {{0x14C, "x86"}, {0x1C4, "ARM"}, {0x8664, "x86-64"}, {0xAA64, "ARM64"}};
    for (const Name& name :
         info.kind == ModuleFileKind::elf ? std::span<const Name>(elf_names) : std::span<const Name>(pe_names)) {
        if (name.machine == info.machine) return name.name;
    }
    return "machine " + std::to_string(info.machine);
}

}  // namespace

std::vector<uint8_t> read_module_file(const std::filesystem::path& path) {
    const std::string name = path.string();
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
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) throw ModuleError(name + ": cannot be read (read error)");
    // A file that shrank since its size was taken is judged by what is left of it.
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (bytes.empty()) throw ModuleError(name + ": empty file");
    return bytes;
}

ModuleFileInfo check_file_structure(std::span<const uint8_t> bytes, const std::string& name) {
    const FileFields file(bytes);
    try {
        if (file.begins_with(elf_magic)) return check_elf(file);
        if (file.begins_with(mz_magic)) {
            const PeHeaders headers = read_pe_headers(bytes);
            return {ModuleFileKind::pe, headers.is_64_bit, headers.machine};
        }
        file.fail(not_a_module);
    } catch (const FormatError& error) {
        throw ModuleError(name + ": " + error.what());
    }
}

ModuleFileInfo check_file_structure(const std::filesystem::path& path) {
    return check_file_structure(read_module_file(path), path.string());
}

std::string describe_module_file(const ModuleFileInfo& info) {
    return std::string("a ") + (info.is_64_bit ? "64" : "32") + "-bit " + machine_name(info) +
           (info.kind == ModuleFileKind::elf ? " ELF shared object" : " Windows DLL");
}

}  // namespace panel
