// The file structure check against the built modules, those modules cut short at many points, and
// minimal hand-built ELF and PE images each broken in one field: whatever is wrong is refused
// with one line naming the file, before the platform loader ever maps it.
#include <elf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "file_structure_check.h"
#include "module_library.h"
#include "windows_build.h"

namespace {

using panel::check_file_structure;
using panel::ModuleError;
using panel::ModuleFileInfo;
using panel::ModuleFileKind;
using Bytes = std::vector<unsigned char>;

// A file of this test's own (named after the test and the process), removed when the test ends.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes, const std::string& suffix = ".so") {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("panel_") + test->test_suite_name() + "_" + test->name() + "_" +
                           std::to_string(getpid()) + suffix;
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = std::filesystem::temp_directory_path() / name;
        write(bytes);
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // A new file each time: rewriting one in place makes some file systems flush it to disk.
    void write(const Bytes& bytes) const {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const std::filesystem::path& path() const { return path_; }
    std::string name() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

Bytes read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The message of the ModuleError that checking `path` throws, or "" when the file passes.
std::string check_error(const std::filesystem::path& path) {
    try {
        check_file_structure(path);
    } catch (const ModuleError& error) {
        return error.what();
    }
    return "";
}

std::string check_error(const Bytes& bytes) {
    const TempFile file(bytes, "_image");
    return check_error(file.path());
}

// The message of the ModuleError that loading `path` throws, or "" when it loads.
std::string load_error(const std::filesystem::path& path) {
    try {
        panel::ModuleLibrary library(path);
    } catch (const ModuleError& error) {
        return error.what();
    }
    return "";
}

bool starts_with(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Replaces the T stored at `offset` by what `change` makes of it.
template <class T>
void edit(Bytes& bytes, size_t offset, const std::function<void(T&)>& change) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    change(value);
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void put(Bytes& bytes, size_t offset, uint64_t value, int width) {
    for (int i = 0; i < width; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// ---- ELF ------------------------------------------------------------------------------------

// The smallest shared object the check accepts: a header, a PT_LOAD of the whole file, a
// PT_DYNAMIC inside it, and a section table of the null section and the section-name table.
template <class Ehdr, class Phdr, class Shdr, class Dyn>
struct MinimalElf {
    static constexpr size_t phoff = sizeof(Ehdr);
    static constexpr size_t dynamic = phoff + 2 * sizeof(Phdr);
    static constexpr size_t names = dynamic + 2 * sizeof(Dyn);
    static constexpr size_t shoff = names + 16;
    static constexpr size_t size = shoff + 2 * sizeof(Shdr);
    static constexpr size_t load_header = phoff, dynamic_header = phoff + sizeof(Phdr);
    static constexpr size_t name_section = shoff + sizeof(Shdr);

    static Bytes image(unsigned char elf_class, uint16_t machine) {
        Bytes bytes(size, 0);
        Ehdr header{};
        std::memcpy(header.e_ident, ELFMAG, SELFMAG);
        header.e_ident[EI_CLASS] = elf_class;
        header.e_ident[EI_DATA] = ELFDATA2LSB;
        header.e_ident[EI_VERSION] = EV_CURRENT;
        header.e_type = ET_DYN;
        header.e_machine = machine;
        header.e_version = EV_CURRENT;
        header.e_phoff = phoff;
        header.e_shoff = shoff;
        header.e_ehsize = sizeof(Ehdr);
        header.e_phentsize = sizeof(Phdr);
        header.e_phnum = 2;
        header.e_shentsize = sizeof(Shdr);
        header.e_shnum = 2;
        header.e_shstrndx = 1;
        std::memcpy(bytes.data(), &header, sizeof header);

        Phdr load{};
        load.p_type = PT_LOAD;
        load.p_filesz = load.p_memsz = size;
        load.p_flags = PF_R;
        Phdr dyn{};
        dyn.p_type = PT_DYNAMIC;
        dyn.p_offset = dyn.p_vaddr = dynamic;
        dyn.p_filesz = dyn.p_memsz = 2 * sizeof(Dyn);
        std::memcpy(bytes.data() + load_header, &load, sizeof load);
        std::memcpy(bytes.data() + dynamic_header, &dyn, sizeof dyn);

        std::memcpy(bytes.data() + names, "\0.shstrtab", 11);
        Shdr name_table{};
        name_table.sh_name = 1;
        name_table.sh_type = SHT_STRTAB;
        name_table.sh_offset = names;
        name_table.sh_size = 11;
        std::memcpy(bytes.data() + name_section, &name_table, sizeof name_table);
        return bytes;
    }
};
using Elf64 = MinimalElf<Elf64_Ehdr, Elf64_Phdr, Elf64_Shdr, Elf64_Dyn>;
using Elf32 = MinimalElf<Elf32_Ehdr, Elf32_Phdr, Elf32_Shdr, Elf32_Dyn>;

Bytes elf64(uint16_t machine = EM_X86_64) {
    return Elf64::image(ELFCLASS64, machine);
}
Bytes elf32(uint16_t machine = EM_386) {
    return Elf32::image(ELFCLASS32, machine);
}

TEST(ModuleFileElf, MinimalSharedObjectsOfBothClassesPass) {
    const TempFile wide(elf64());
    const ModuleFileInfo info = check_file_structure(wide.path());
    EXPECT_EQ(info.kind, ModuleFileKind::elf);
    EXPECT_TRUE(info.is_64_bit);
    EXPECT_EQ(info.machine, EM_X86_64);

    const TempFile narrow(elf32(), "_32.so");
    const ModuleFileInfo narrow_info = check_file_structure(narrow.path());
    EXPECT_FALSE(narrow_info.is_64_bit);
    EXPECT_EQ(narrow_info.machine, EM_386);
}

TEST(ModuleFileElf, SegmentPastTheEndNamesWhereItEnds) {
    Bytes bytes = elf64();
    edit<Elf64_Phdr>(bytes, Elf64::load_header, [](auto& load) { load.p_filesz = 53248; });
    const TempFile file(bytes);
    EXPECT_EQ(check_error(file.path()), file.name() + ": truncated: segment 0 ends at byte 53248 of a " +
                                            std::to_string(Elf64::size) + "-byte file");
}

TEST(ModuleFileElf, ProgramHeaderTableOffsetThatOverflowsIsRefused) {
    Bytes bytes = elf64();
    edit<Elf64_Ehdr>(bytes, 0, [](auto& header) { header.e_phoff = UINT64_MAX - 8; });
    EXPECT_NE(check_error(bytes).find(": damaged: program header table"), std::string::npos);

    // Just past the end, without wrapping round.
    edit<Elf64_Ehdr>(bytes, 0, [](auto& header) { header.e_phoff = Elf64::size - 8; });
    EXPECT_NE(check_error(bytes).find(": truncated: program header table ends at byte"), std::string::npos);
}

TEST(ModuleFileElf, TablesAndSectionsPastTheEndAreRefused) {
    Bytes section_table = elf64();
    edit<Elf64_Ehdr>(section_table, 0, [](auto& header) { header.e_shnum = 3; });
    EXPECT_NE(check_error(section_table).find("truncated: section header table ends at byte"), std::string::npos);

    Bytes section = elf64();
    edit<Elf64_Shdr>(section, Elf64::name_section, [](auto& names) { names.sh_offset = Elf64::size - 4; });
    EXPECT_NE(check_error(section).find("truncated: section 1 ends at byte"), std::string::npos);

    // A section that holds no bytes in the file may lie anywhere.
    edit<Elf64_Shdr>(section, Elf64::name_section, [](auto& names) { names.sh_type = SHT_NOBITS; });
    EXPECT_EQ(check_error(section), "");
}

TEST(ModuleFileElf, ThirtyTwoBitFieldsAreReadAtTheirOwnOffsets) {
    Bytes segment = elf32();
    edit<Elf32_Phdr>(segment, Elf32::dynamic_header, [](auto& dyn) { dyn.p_offset = Elf32::size; });
    EXPECT_NE(check_error(segment).find("truncated: segment 1 ends at byte"), std::string::npos);

    Bytes section = elf32();
    edit<Elf32_Shdr>(section, Elf32::name_section, [](auto& names) { names.sh_size = 4096; });
    EXPECT_NE(check_error(section).find("truncated: section 1 ends at byte"), std::string::npos);
}

TEST(ModuleFileElf, SectionCountKeptInSectionZeroIsFollowed) {
    Bytes bytes = elf64();
    edit<Elf64_Ehdr>(bytes, 0, [](auto& header) { header.e_shnum = 0; });
    edit<Elf64_Shdr>(bytes, Elf64::shoff, [](auto& zero) { zero.sh_size = 2; });
    EXPECT_EQ(check_error(bytes), "");
    edit<Elf64_Shdr>(bytes, Elf64::shoff, [](auto& zero) { zero.sh_size = 1000; });
    EXPECT_NE(check_error(bytes).find("truncated: section header table"), std::string::npos);
}

TEST(ModuleFileElf, InconsistentHeadersAreRefused) {
    const auto broken = [](const std::function<void(Elf64_Ehdr&)>& change) {
        Bytes bytes = elf64();
        edit<Elf64_Ehdr>(bytes, 0, change);
        return check_error(bytes);
    };
    EXPECT_NE(broken([](auto& h) { h.e_ident[EI_DATA] = ELFDATA2MSB; }).find("big-endian"), std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_ident[EI_CLASS] = 7; }).find("unknown ELF class 7"), std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_type = ET_EXEC; }).find("not a shared object"), std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_phentsize = sizeof(Elf32_Phdr); }).find("program header entries of 32 bytes"),
              std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_shentsize = 1; }).find("section header entries of 1 bytes"), std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_shstrndx = 2; }).find("section-name table is section 2 of 2"),
              std::string::npos);
    EXPECT_NE(broken([](auto& h) { h.e_phnum = 0; }).find("no program headers"), std::string::npos);
}

TEST(ModuleFileElf, SharedObjectNeedsALoadAndAMappedDynamicSegment) {
    Bytes no_dynamic = elf64();
    edit<Elf64_Phdr>(no_dynamic, Elf64::dynamic_header, [](auto& dyn) { dyn.p_type = PT_NOTE; });
    EXPECT_NE(check_error(no_dynamic).find("no dynamic segment"), std::string::npos);

    Bytes no_load = elf64();
    edit<Elf64_Phdr>(no_load, Elf64::load_header, [](auto& load) { load.p_type = PT_NOTE; });
    EXPECT_NE(check_error(no_load).find("no loadable segment"), std::string::npos);

    Bytes unmapped = elf64();
    edit<Elf64_Phdr>(unmapped, Elf64::dynamic_header, [](auto& dyn) { dyn.p_vaddr = 0x10000; });
    EXPECT_NE(check_error(unmapped).find("outside every loadable segment"), std::string::npos);
}

// ---- PE -------------------------------------------------------------------------------------

// Offsets of the PE/COFF format for the minimal DLL below: the PE header right after the DOS
// header, one section whose raw data fills the second half of the file.
constexpr size_t pe_at = 0x40, coff_at = pe_at + 4, optional_at = coff_at + 20;
constexpr size_t pe_size = 0x400;

struct PeShape {
    uint16_t magic, machine, optional_size;
    size_t directory_count_at;  // NumberOfRvaAndSizes, the fixed part's last field
};
constexpr PeShape pe32{0x10B, 0x14C, 96 + 16 * 8, 92};
constexpr PeShape pe32_plus{0x20B, 0x8664, 112 + 16 * 8, 108};

size_t section_table_at(const PeShape& shape) {
    return optional_at + shape.optional_size;
}

Bytes minimal_dll(const PeShape& shape = pe32) {
    Bytes bytes(pe_size, 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    put(bytes, 0x3C, pe_at, 4);  // e_lfanew
    std::memcpy(bytes.data() + pe_at, "PE\0\0", 4);
    put(bytes, coff_at + 0, shape.machine, 2);
    put(bytes, coff_at + 2, 1, 2);                     // NumberOfSections
    put(bytes, coff_at + 16, shape.optional_size, 2);  // SizeOfOptionalHeader
    put(bytes, coff_at + 18, 0x2102, 2);               // DLL | 32BIT_MACHINE | EXECUTABLE_IMAGE
    put(bytes, optional_at, shape.magic, 2);
    put(bytes, optional_at + shape.directory_count_at, 16, 4);
    const size_t section = section_table_at(shape);
    std::memcpy(bytes.data() + section, ".text", 5);
    put(bytes, section + 16, 0x200, 4);  // SizeOfRawData
    put(bytes, section + 20, 0x200, 4);  // PointerToRawData
    return bytes;
}

TEST(ModuleFilePe, MinimalDllsPass) {
    const TempFile narrow(minimal_dll(), ".gau");
    const ModuleFileInfo info = check_file_structure(narrow.path());
    EXPECT_EQ(info.kind, ModuleFileKind::pe);
    EXPECT_FALSE(info.is_64_bit);
    EXPECT_EQ(info.machine, 0x14C);

    const TempFile wide(minimal_dll(pe32_plus), "_64.gau");
    const ModuleFileInfo wide_info = check_file_structure(wide.path());
    EXPECT_TRUE(wide_info.is_64_bit);
    EXPECT_EQ(wide_info.machine, 0x8664);
}

TEST(ModuleFilePe, HeaderOffsetMustBeInsideAndAligned) {
    Bytes past = minimal_dll();
    put(past, 0x3C, 0x1000, 4);
    const TempFile file(past, ".gau");
    EXPECT_EQ(check_error(file.path()),
              file.name() + ": truncated: PE signature ends at byte 4100 of a 1024-byte file");

    Bytes misaligned = minimal_dll();
    put(misaligned, 0x3C, 0x42, 4);
    EXPECT_NE(check_error(misaligned).find("PE header offset 66 is not a multiple of 4"), std::string::npos);

    Bytes no_signature = minimal_dll();
    no_signature[pe_at] = 'X';
    EXPECT_NE(check_error(no_signature).find("no PE header"), std::string::npos);
}

TEST(ModuleFilePe, SectionTableAndRawDataPastTheEndAreRefused) {
    Bytes table = minimal_dll();
    put(table, coff_at + 2, 40, 2);
    EXPECT_NE(check_error(table).find("truncated: section table ends at byte"), std::string::npos);

    Bytes raw = minimal_dll();
    put(raw, section_table_at(pe32) + 16, 0x400, 4);
    EXPECT_NE(check_error(raw).find("truncated: section 0 (.text) ends at byte 1536 of a 1024-byte file"),
              std::string::npos);

    // Uninitialised data has no bytes in the file, wherever it claims them.
    put(raw, section_table_at(pe32) + 16, 0, 4);
    put(raw, section_table_at(pe32) + 20, 0xFFFFFF00, 4);
    EXPECT_EQ(check_error(raw), "");
}

TEST(ModuleFilePe, OptionalHeaderMustFitAndBeKnown) {
    Bytes oversized = minimal_dll();
    put(oversized, coff_at + 16, 0x4000, 2);
    EXPECT_NE(check_error(oversized).find("truncated: optional header"), std::string::npos);

    Bytes magic = minimal_dll();
    put(magic, optional_at, 0x107, 2);
    EXPECT_NE(check_error(magic).find("unknown optional header magic"), std::string::npos);

    Bytes directories = minimal_dll();
    put(directories, optional_at + pe32.directory_count_at, 17, 4);
    EXPECT_NE(check_error(directories).find("room for 16"), std::string::npos);
}

TEST(ModuleFilePe, AProgramIsNotADll) {
    Bytes program = minimal_dll();
    put(program, coff_at + 18, 0x0102, 2);
    EXPECT_NE(check_error(program).find("not a DLL"), std::string::npos);
}

// ---- Files that are no module at all ----------------------------------------------------------

TEST(ModuleFile, FilesThatAreNoModuleSayWhat) {
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "panel_no_such_module.so";
    EXPECT_EQ(check_error(missing), missing.string() + ": no such file");

    const TempFile empty(Bytes{});
    EXPECT_EQ(check_error(empty.path()), empty.name() + ": empty file");

    const std::string text = "this is a text file\n";
    const TempFile not_binary(Bytes(text.begin(), text.end()), ".txt");
    EXPECT_EQ(
        check_error(not_binary.path()),
        not_binary.name() + ": cannot be loaded as a gauge module (neither an ELF shared object nor a Windows DLL)");

    // Cut inside the identification itself.
    EXPECT_NE(check_error(Bytes{0x7F, 'E', 'L'}).find("truncated: ELF identification"), std::string::npos);
    EXPECT_NE(check_error(Bytes{'M', 'Z', 0}).find("truncated: DOS header"), std::string::npos);

    EXPECT_NE(check_error(std::filesystem::temp_directory_path()).find(": not a regular file"), std::string::npos);
}

TEST(ModuleFile, FileAboveTheSizeLimitIsNotRead) {
    const TempFile huge(Bytes{0x7F, 'E', 'L', 'F'});
    std::filesystem::resize_file(huge.path(), (std::uintmax_t{256} << 20) + 1);  // sparse: no disk used
    EXPECT_NE(check_error(huge.path()).find("too large for a gauge module"), std::string::npos);
}

// Whatever a header byte holds, the check gives a verdict: no crash, no other exception, and no
// read outside the file (which the sanitizer build would catch).
TEST(ModuleFile, AnyHeaderByteCorruptedGetsAVerdict) {
    for (const Bytes& original : {elf64(), elf32(), minimal_dll(), minimal_dll(pe32_plus)}) {
        const TempFile file(Bytes{}, "_corrupt");
        for (size_t at = 0; at < std::min<size_t>(original.size(), 0x200); ++at) {
            for (const unsigned char value : {0x00, 0x80, 0xFF}) {
                Bytes bytes = original;
                bytes[at] = value;
                file.write(bytes);
                EXPECT_NO_THROW(check_error(file.path())) << "byte " << at << " = " << int{value};
            }
        }
    }
}

// ---- The built modules, whole and cut short -----------------------------------------------------

// A built module, or "" when this build has none of that kind.
std::string built_module(const std::string& file) {
    if (file.ends_with(".gau")) {
        // The build configured with a Windows build folder names it; the environment may too.
        const char* windows_build = std::getenv("PANEL_WINDOWS_BUILD_DIR");
        if (windows_build == nullptr || *windows_build == '\0') windows_build = PANEL_WINDOWS_BUILD_DIR;
        if (*windows_build == '\0') return "";
        const std::string path = std::string(windows_build) + "/modules/" + file;
        return std::filesystem::exists(path) ? path : "";
    }
    if (file.starts_with("probe")) return std::string(PROBE_DIR) + "/" + file;
    return std::string(PANEL_MODULE_DIR) + "/" + file;
}

class BuiltModule : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        path_ = built_module(GetParam());
        if (path_.empty()) GTEST_SKIP() << no_windows_build;
        bytes_ = read_file(path_);
        ASSERT_GT(bytes_.size(), 4096u) << path_;
    }
    bool windows() const { return std::string(GetParam()).ends_with(".gau"); }

    std::string path_;
    Bytes bytes_;
};

TEST_P(BuiltModule, PassesWhole) {
    const ModuleFileInfo info = check_file_structure(path_);
    if (windows()) {
        EXPECT_EQ(info.kind, ModuleFileKind::pe);
        EXPECT_FALSE(info.is_64_bit);
        EXPECT_EQ(info.machine, 0x14C);
    } else {
        EXPECT_EQ(info.kind, ModuleFileKind::elf);
        EXPECT_EQ(info.is_64_bit, sizeof(void*) == 8);
#if defined(__x86_64__)
        EXPECT_EQ(info.machine, EM_X86_64);
#endif
    }
}

TEST_P(BuiltModule, EveryCutIsRefusedNamingTheFile) {
    std::vector<size_t> cuts;
    for (size_t cut = 64; cut <= 4096; cut += 64) cuts.push_back(cut);
    const size_t spread = 200;
    for (size_t i = 1; i <= spread; ++i) cuts.push_back(4096 + (bytes_.size() - 1 - 4096) * i / spread);
    cuts.push_back(bytes_.size() - 1);

    const TempFile file(Bytes{}, windows() ? ".gau" : ".so");
    for (const size_t cut : cuts) {
        file.write(Bytes(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(cut)));
        const std::string message = check_error(file.path());
        EXPECT_TRUE(starts_with(message, file.name() + ": truncated: ")) << "cut at " << cut << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << "cut at " << cut;
    }
}

TEST_P(BuiltModule, NativeLoaderTakesOnlyWhatItCanMap) {
    const std::string expected = windows() ? path_ +
                                                 ": a 32-bit x86 Windows DLL; this host loads only native "
                                                 "modules (a .gau runs under the Windows test host)"
                                           : "";
    EXPECT_EQ(load_error(path_), expected);
}

INSTANTIATE_TEST_SUITE_P(ModuleFile, BuiltModule,
                         ::testing::Values("GPS_Corvane_PX40.so", "probe_good.so", "GPS_Corvane_PX40.gau"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

// The cut that made dlopen die of a bus error, with no message, before the check existed.
class ModuleFileThousandByteCut : public ::testing::Test {
protected:
    ModuleFileThousandByteCut() {
        const Bytes whole = read_file(std::string(PANEL_MODULE_DIR) + "/GPS_Corvane_PX40.so");
        if (whole.size() > 1000) file.write(Bytes(whole.begin(), whole.begin() + 1000));
    }
    TempFile file{Bytes{}};
};

TEST_F(ModuleFileThousandByteCut, IsRefusedNamingTheFile) {
    const std::string message = check_error(file.path());
    EXPECT_TRUE(starts_with(message, file.name() + ": truncated: segment ")) << message;
    EXPECT_NE(message.find(" of a 1000-byte file"), std::string::npos) << message;
}

TEST_F(ModuleFileThousandByteCut, NeverReachesTheLoader) {
    const std::string message = load_error(file.path());
    EXPECT_TRUE(starts_with(message, file.name() + ": truncated: ")) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
}

// ---- What the native loader refuses before dlopen -------------------------------------------------

TEST(ModuleFileNativeLoader, RefusesWindowsModulesAndOtherMachines) {
    const TempFile dll(minimal_dll(), ".gau");
    EXPECT_EQ(load_error(dll.path()), dll.name() +
                                          ": a 32-bit x86 Windows DLL; this host loads only native "
                                          "modules (a .gau runs under the Windows test host)");
#if defined(__x86_64__) || defined(__i386__) || defined(__aarch64__)
    const TempFile risc_v(elf64(EM_RISCV));
    EXPECT_EQ(load_error(risc_v.path()),
              risc_v.name() + ": built for another machine (a 64-bit RISC-V ELF shared object)");
#endif
#if defined(__x86_64__)
    const TempFile x86(elf32(EM_386), "_32.so");
    EXPECT_EQ(load_error(x86.path()), x86.name() + ": built for another machine (a 32-bit x86 ELF shared object)");
#endif
}

}  // namespace
