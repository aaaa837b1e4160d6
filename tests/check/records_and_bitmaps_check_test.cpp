// The module checker: the real modules check clean in both builds and agree record for record;
// modules built broken here, patched and damaged copies of the real .gau, and hand-made 32-bit
// images are each reported with the fault on the record where it lies; random damage never
// crashes the walker.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bitmap_images.h"
#include "file_structure_check.h"
#include "loaded_module_memory.h"
#include "module_library.h"
#include "pe_file_memory.h"
#include "record_walker.h"
#include "records_and_bitmaps_check.h"
#include "windows_build.h"

namespace {

using namespace panel::check;
using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

const std::string gps = "GPS_Corvane_PX40", dme = "VER2_Corvane_VX_RD22";

std::filesystem::path native_module(const std::string& name) {
    return std::filesystem::path(PANEL_MODULE_DIR) / (name + ".so");
}
std::filesystem::path checked_module(const std::string& name) {
    return std::filesystem::path(CHECKED_DIR) / (name + ".so");
}
std::filesystem::path gau_module(const std::string& name) {
    return std::filesystem::path(PANEL_WINDOWS_BUILD_DIR) / "modules" / (name + ".gau");
}
#define REQUIRE_WINDOWS_BUILD() \
    if (std::string(PANEL_WINDOWS_BUILD_DIR).empty()) GTEST_SKIP() << no_windows_build

// "where: what" of each finding of one severity, in report order.
Lines lines(const ModuleReport& report, Finding::Severity severity = Finding::error) {
    Lines out;
    for (const Finding& f : report.findings) {
        if (f.severity == severity) out.push_back(f.where.empty() ? f.what : f.where + ": " + f.what);
    }
    return out;
}

Lines output_lines(const std::string& text) {
    Lines out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

struct CheckRun {
    int status;
    Lines lines;
};
CheckRun run_check(const std::vector<std::filesystem::path>& files, bool verbose = false) {
    std::ostringstream out;
    const int status = check_modules(files, verbose, out);
    return {status, output_lines(out.str())};
}

Bytes read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file of this test's own, removed when the test ends.
class TempFile {
public:
    TempFile(const Bytes& bytes, const std::string& suffix) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("panel_check_" + std::string(test->name()) + "_" + std::to_string(getpid()) + suffix);
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// ---- the real modules -----------------------------------------------------------------------

struct RealModule {
    std::string name;
    size_t elements;
};
const RealModule real_modules[] = {{gps, 50}, {dme, 17}};

void expect_clean(const std::filesystem::path& file, const RealModule& module) {
    const ModuleReport report = check_module(file);
    EXPECT_EQ(report.status(), 0) << file;
    EXPECT_EQ(lines(report), Lines{}) << file;
    EXPECT_EQ(report.gauge_name, module.name);
    EXPECT_EQ(report.elements, module.elements);
    EXPECT_EQ(report.areas, 10u);
    EXPECT_EQ(run_check({file}).lines, Lines{}) << "a clean module prints nothing";
}

TEST(CheckRealModules, NativeModulesCheckClean) {
    for (const RealModule& module : real_modules) expect_clean(native_module(module.name), module);
}

TEST(CheckRealModules, GauModulesCheckClean) {
    REQUIRE_WINDOWS_BUILD();
    for (const RealModule& module : real_modules) expect_clean(gau_module(module.name), module);
}

// The GPS's three single-bitmap icons of two frames, and its one screen frame a row taller:
// notes, printed only on request, never a failure.
TEST(CheckRealModules, GpsNotesShowOnlyWhenVerbose) {
    const Lines notes = {
        "element 2: frame 1, bitmap 0x1801, is missing (frame count 2)",
        "element 4: frame 3, bitmap 0x1103, is 320 x 78, not the 320 x 77 of its first frame",
        "element 12: frame 1, bitmap 0x1201, is missing (frame count 2)",
        "element 15: frame 1, bitmap 0x1301, is missing (frame count 2)",
    };
    EXPECT_EQ(lines(check_module(native_module(gps)), Finding::note), notes);
    EXPECT_EQ(lines(check_module(native_module(dme)), Finding::note), Lines{});

    const CheckRun verbose = run_check({native_module(gps)}, true);
    EXPECT_EQ(verbose.status, 0);
    ASSERT_EQ(verbose.lines.size(), notes.size() + 1);
    const std::string name = native_module(gps).string();
    EXPECT_EQ(verbose.lines[0], name + ": element 2: note: frame 1, bitmap 0x1801, is missing (frame count 2)");
    EXPECT_EQ(verbose.lines.back(),
              name + ": gauge GPS_Corvane_PX40, 50 elements, 10 mouse areas, 25 bitmaps: 0 errors, 4 notes");
}

// The 32-bit build read at the host's offsets and the native one at the structs' must find
// the same records: the same elements, areas and notes in the same order.
TEST(CheckRealModules, NativeAndGauWalksAgree) {
    REQUIRE_WINDOWS_BUILD();
    for (const RealModule& module : real_modules) {
        const RecordWalk native = walk_records(LoadedModuleMemory(native_module(module.name)));
        const RecordWalk gau = walk_records(PeFileMemory(read_file(gau_module(module.name))));
        ASSERT_EQ(native.elements.size(), gau.elements.size()) << module.name;
        for (size_t i = 0; i < native.elements.size(); ++i) {
            const WalkedElement &a = native.elements[i], &b = gau.elements[i];
            EXPECT_TRUE(a.kind == b.kind && a.resource_id == b.resource_id && a.x == b.x && a.y == b.y &&
                        a.frame_count == b.frame_count)
                << module.name << " element " << i + 1;
        }
        ASSERT_EQ(native.areas.size(), gau.areas.size()) << module.name;
        for (size_t i = 0; i < native.areas.size(); ++i) {
            const WalkedArea &a = native.areas[i], &b = gau.areas[i];
            EXPECT_TRUE(a.number == b.number && a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height)
                << module.name << " area " << i + 1;
        }
        EXPECT_EQ(lines(check_module(native_module(module.name)), Finding::note),
                  lines(check_module(gau_module(module.name)), Finding::note));
    }
}

// ---- modules built broken -------------------------------------------------------------------

struct Broken {
    std::string module;
    int status;
    Lines errors;
};

TEST(CheckBrokenModules, EachFaultIsNamedOnItsRecord) {
    const Broken cases[] = {
        {"checked_clean", 0, {}},
        {"checked_no_import", 1, {"import: the module exports no ImportTable record"}},
        {"checked_cyclic", 1, {"element 5: child 1 is element 2 again, so the element tree is cyclic"}},
        {"checked_unknown_kind", 1, {"element 3: unknown kind 1 (expected 0, 2, 3 or 4)"}},
        {"checked_missing_bitmap", 1, {"element 4: bitmap 0x1E00 (its first frame) is missing"}},
        {"checked_overlap", 1, {"area 3: overlaps area 2"}},
        {"checked_unterminated",
         1,
         {"area 4: kind 0 is no mouse record (1, 2 or 3), so the list ends there without its group end"}},
        {"checked_long_chain",
         1,
         {"element 10000: the element tree goes on past 10000 elements; the rest is not read"}},
        {"checked_area_outside", 1, {"area 2: rectangle 19 x 20 at (440, 55) reaches outside the 450 x 91 background"}},
        {"checked_null_handler", 1, {"area 1: has no handler"}},
        {"checked_bad_fields",
         1,
         {"linkage: version is 0x700, expected 0x800", "import: its end entry is not 0, NULL",
          "header: version is 0x310, expected 0x320", "element 2: icon mode is 2, expected 3",
          "element 2: frame count 0 is outside 1 to 256", "element 3: text box is 412 x 0; both must be positive",
          "element 3: font name has no NUL within its 32 bytes", "element 3: font weight 0 is outside 1 to 1000",
          "element 4: has no y callback", "element 4: bitmap 0x1E00 (its first frame) is missing",
          "element 5: its gauge pointer does not lead back to its gauge header",
          "element 5: flags are 0x87 at load, expected 0x83"}},
    };
    for (const Broken& broken : cases) {
        const std::filesystem::path file = checked_module(broken.module);
        const ModuleReport report = check_module(file);
        EXPECT_EQ(lines(report), broken.errors) << broken.module;
        EXPECT_EQ(report.status(), broken.status) << broken.module;

        const CheckRun run = run_check({file});
        EXPECT_EQ(run.status, broken.status) << broken.module;
        ASSERT_EQ(run.lines.size(), broken.errors.size()) << broken.module;
        for (size_t i = 0; i < run.lines.size(); ++i) {
            EXPECT_EQ(run.lines[i], file.string() + ": " + broken.errors[i]);
        }
    }
}

TEST(CheckBrokenModules, LongChainIsReadToItsLimitOnly) {
    const ModuleReport report = check_module(checked_module("checked_long_chain"));
    EXPECT_EQ(report.elements, max_walked_elements);
}

TEST(CheckBrokenModules, MissingBitmapFolderIsOneError) {
    const ModuleReport report = check_module(checked_module("checked_no_bitmaps"));
    ASSERT_EQ(lines(report).size(), 1u);
    EXPECT_NE(lines(report)[0].find("no bitmap folder for the gauge checked"), std::string::npos) << lines(report)[0];
    EXPECT_EQ(report.status(), 1);
}

// ---- files that are no module at all ------------------------------------------------------

TEST(CheckUnreadable, FilesThatAreNoModuleGiveOneLineAndStatus2) {
    const TempFile text(Bytes{'h', 'e', 'l', 'l', 'o', '\n'}, ".gau");
    Bytes native = read_file(native_module(dme));
    native.resize(native.size() / 2);
    const TempFile cut_native(native, ".so");
    const std::filesystem::path missing = std::filesystem::path(CHECKED_DIR) / "no_such_module.so";

    for (const std::filesystem::path& file :
         {text.path(), cut_native.path(), missing, checked_module("checked_no_linkage")}) {
        const CheckRun run = run_check({file});
        EXPECT_EQ(run.status, 2) << file;
        ASSERT_EQ(run.lines.size(), 1u) << file;
        EXPECT_EQ(run.lines[0].rfind(file.string() + ": ", 0), 0u) << run.lines[0];
    }
    const std::filesystem::path no_linkage = checked_module("checked_no_linkage");
    EXPECT_EQ(run_check({no_linkage}).lines[0],
              no_linkage.string() + ": exports no Linkage record, so it is not a gauge module");
    EXPECT_EQ(run_check({missing}).lines[0], missing.string() + ": no such file");
}

TEST(CheckUnreadable, TruncatedGauGivesOneLineAndStatus2) {
    REQUIRE_WINDOWS_BUILD();
    Bytes bytes = read_file(gau_module(dme));
    bytes.resize(bytes.size() - 100);
    const TempFile cut(bytes, ".gau");
    const CheckRun run = run_check({cut.path()});
    EXPECT_EQ(run.status, 2);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_NE(run.lines[0].find("truncated"), std::string::npos) << run.lines[0];
}

TEST(CheckUnreadable, WorstFileDecidesTheStatus) {
    const TempFile text(Bytes{'x'}, ".so");
    const CheckRun run = run_check({native_module(dme), checked_module("checked_overlap"), text.path()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run_check({native_module(dme), checked_module("checked_overlap")}).status, 1);
}

// The file check before loading, the checker's view of a .gau and its bitmap resources read
// one walk of the PE headers: a fault is told in the same words by each.
TEST(CheckUnreadable, EachReaderOfAGauNamesAHeaderFaultAlike) {
    using bitmap_test::set16;
    using bitmap_test::set32;
    const Bytes whole = bitmap_test::tiny_dll({});
    struct Fault {
        std::string what;
        std::function<void(Bytes&)> damage;
    };
    const Fault faults[] = {
        {"truncated: COFF file header ends at byte 88 of a 80-byte file", [](Bytes& b) { b.resize(80); }},
        {"damaged: PE header offset 66 is not a multiple of 4", [](Bytes& b) { set32(b, 0x3C, 0x42); }},
        {"not a Windows DLL (an MZ file with no PE header)", [](Bytes& b) { b[0x40] = 'X'; }},
        {"a Windows program, not a DLL", [](Bytes& b) { set16(b, 0x56, 0x0102); }},
        {"damaged: unknown optional header magic 0x107", [](Bytes& b) { set16(b, 0x58, 0x107); }},
        {"damaged: optional header lists 17 data directories but has room for 16",
         [](Bytes& b) { set32(b, 0x58 + 92, 17); }},
        {"truncated: section 0 (.rsrc) ends at byte 4608 of a " + std::to_string(whole.size()) + "-byte file",
         [](Bytes& b) { set32(b, 0x58 + 224 + 16, 0x1000); }},
    };
    for (const Fault& fault : faults) {
        Bytes bytes = whole;
        fault.damage(bytes);
        try {
            panel::check_file_structure(bytes, "tiny.gau");
            ADD_FAILURE() << "the file check passed: " << fault.what;
        } catch (const panel::ModuleError& error) {
            EXPECT_EQ(std::string(error.what()), "tiny.gau: " + fault.what);
        }
        try {
            PeFileMemory memory(bytes);
            ADD_FAILURE() << "the checker read it: " << fault.what;
        } catch (const UnreadableModule& error) {
            EXPECT_EQ(std::string(error.what()), fault.what);
        }
        try {
            panel::PeBitmaps bitmaps("tiny.gau", bytes);
            ADD_FAILURE() << "its bitmaps were read: " << fault.what;
        } catch (const panel::BitmapError& error) {
            EXPECT_EQ(std::string(error.what()), "tiny.gau: " + fault.what);
        }
    }
}

// ---- patched copies of the real .gau ------------------------------------------------------

// The file offset of the 32-bit word at `address` in the .gau.
uint64_t offset_of(const PeFileMemory& memory, uint64_t address) {
    const auto offset = memory.file_offset(address, 4);
    EXPECT_TRUE(offset.has_value());
    return offset.value_or(0);
}

TEST(CheckPatchedGau, EachPatchGivesItsFinding) {
    REQUIRE_WINDOWS_BUILD();
    const Bytes original = read_file(gau_module(gps));
    const PeFileMemory memory(original);
    const uint64_t linkage = *memory.export_address("Linkage");
    const uint64_t header = *memory.u32(linkage + 24);
    const uint64_t mouse = *memory.u32(header + 80);
    const uint64_t root = *memory.u32(*memory.u32(header + 8));
    // Element 13, the slider, twelve steps down the chain of first children.
    uint64_t slider = root;
    for (int i = 0; i < 12; ++i) slider = *memory.u32(*memory.u32(slider + 40));

    struct Patch {
        uint64_t address;
        uint8_t byte;
        Lines errors;
    };
    const Patch patches[] = {
        {linkage, 0x14, {"linkage: module id is 0x14, expected 0x13"}},
        // Record 3 of the list is area 3, after the group start.
        {mouse + 3 * 44,
         7,
         {"area 3: kind 7 is no mouse record (1, 2 or 3), so the list ends there without its group end"}},
        {slider, 1, {"element 13: unknown kind 1 (expected 0, 2, 3 or 4)"}},
    };
    for (const Patch& patch : patches) {
        Bytes bytes = original;
        bytes[offset_of(memory, patch.address)] = patch.byte;
        const TempFile file(bytes, ".gau");
        const ModuleReport report = check_module(file.path());
        EXPECT_EQ(lines(report), patch.errors);
        EXPECT_EQ(report.status(), 1);
    }
}

// Damage anywhere, most of it where the records and headers lie: the walker reads on to the
// end every time, and so does the whole check now and then.
TEST(CheckPatchedGau, RandomDamageNeverCrashes) {
    REQUIRE_WINDOWS_BUILD();
    const Bytes original = read_file(gau_module(gps));
    const PeFileMemory memory(original);
    const uint64_t records = offset_of(memory, *memory.export_address("Linkage"));
    std::mt19937 random(20020);
    size_t walked = 0, faulted = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = original;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < changes; ++i) {
            size_t at = 0;
            switch (random() % 4) {
                case 0: at = random() % 1024; break;  // the PE headers and section table
                case 1: at = random() % bytes.size(); break;
                default: at = (records + random() % 0x4000 + bytes.size() - 0x2000) % bytes.size(); break;
            }
            bytes[at] = static_cast<uint8_t>(random());
        }
        try {
            const RecordWalk walk = walk_records(PeFileMemory(bytes));
            ++walked;
            if (!walk.findings.empty()) ++faulted;
            EXPECT_TRUE(walk.readable || walk.findings.size() == 1);
        } catch (const UnreadableModule&) {}
        if (round % 50 == 0) {
            const ModuleReport report = check_gau_bytes("damaged.gau", bytes);
            EXPECT_TRUE(report.readable || report.findings.size() == 1);
        }
    }
    // The damage reached the records often enough to exercise the walker's faults.
    EXPECT_GT(walked, 1000u);
    EXPECT_GT(faulted, 200u);
}

// ---- hand-made 32-bit images --------------------------------------------------------------

// One 32-bit region at `base`, all of it code and writable data, with Linkage at its start and
// ImportTable after it: records no real module would hold, read at the host's offsets.
class ImageMemory : public ModuleMemory {
public:
    static constexpr uint64_t base = 0x10000000;
    explicit ImageMemory(size_t size) : bytes_(size) {}

    void put(uint64_t address, uint32_t value) { std::memcpy(&bytes_.at(address - base), &value, 4); }
    void put_text(uint64_t address, const char* text) {
        std::strcpy(reinterpret_cast<char*>(&bytes_.at(address - base)), text);
    }

    unsigned pointer_width() const override { return 4; }
    bool holds(uint64_t address, size_t size) const override {
        return address >= base && address - base <= bytes_.size() && size <= bytes_.size() - (address - base);
    }
    bool read(uint64_t address, void* into, size_t size) const override {
        if (!holds(address, size)) return false;
        std::memcpy(into, bytes_.data() + (address - base), size);
        return true;
    }
    bool in_code(uint64_t address) const override { return holds(address, 1); }
    bool in_writable(uint64_t address, size_t size) const override { return holds(address, size); }
    std::optional<uint64_t> export_address(std::string_view name) const override {
        if (name == "Linkage") return base;
        if (name == "ImportTable") return base + 0x20;
        return std::nullopt;
    }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

constexpr uint64_t B = ImageMemory::base;
constexpr uint64_t header_at = B + 0x40, root_at = B + 0x140, mouse_at = B + 0x1C0, code_at = B + 0x10;

// A gauge of one static image and one clickable area; checks clean.
ImageMemory tiny_module(size_t size = 0x300) {
    ImageMemory m(size);
    m.put(B + 0, 0x13);
    m.put(B + 4, code_at);
    m.put(B + 8, code_at);
    m.put(B + 20, 0x800);
    m.put(B + 24, header_at);
    m.put(B + 0x20, 0xF);
    m.put(header_at + 0, 0x320);
    m.put(header_at + 4, B + 0x110);
    m.put_text(B + 0x110, "tiny");
    m.put(header_at + 8, B + 0x120);
    m.put(B + 0x120, root_at);
    m.put(header_at + 44, 100);
    m.put(header_at + 80, mouse_at);
    m.put(header_at + 84, code_at);
    m.put(root_at + 4, 0x100);
    m.put(root_at + 32, header_at);
    m.put(root_at + 44, B + 0x1B0);
    m.put(root_at + 48, 0x83);
    m.put(mouse_at, 1);
    m.put(mouse_at + 44, 2);
    m.put(mouse_at + 44 + 12, 10);
    m.put(mouse_at + 44 + 16, 10);
    m.put(mouse_at + 44 + 36, code_at);
    m.put(mouse_at + 88, 3);
    return m;
}

Lines walk_errors(const ModuleMemory& memory) {
    RecordWalk walk = walk_records(memory);
    ModuleReport report;
    report.findings = walk.findings;
    return lines(report);
}

TEST(CheckHandMadeImages, ListsThatLeaveTheModuleAreReported) {
    EXPECT_EQ(walk_errors(tiny_module()), Lines{});

    ImageMemory child_outside = tiny_module();
    child_outside.put(root_at + 40, B + 0x2FC);  // a child list in the module's last word
    child_outside.put(B + 0x2FC, B + 0x10000);
    EXPECT_EQ(walk_errors(child_outside), (Lines{"element 2: is not a whole record in the module (at 0x10010000)",
                                                 "element 1: its child list runs out of the module"}));

    ImageMemory mouse_at_end = tiny_module();
    mouse_at_end.put(header_at + 80, B + 0x300 - 44);
    mouse_at_end.put(B + 0x300 - 44, 1);
    EXPECT_EQ(walk_errors(mouse_at_end), Lines{"area 1: the mouse list runs out of the module without its group end"});

    // Groups opened one inside the other and never closed.
    ImageMemory endless = tiny_module(0x300 + 10001 * 44);
    endless.put(header_at + 80, B + 0x300);
    for (size_t i = 0; i <= 10000; ++i) endless.put(B + 0x300 + 44 * i, 1);
    EXPECT_EQ(walk_errors(endless), Lines{"area 1: the mouse list has no group end within 10000 records"});
}

TEST(CheckHandMadeImages, SharedElementIsToldFromCycle) {
    // The root lists the same child twice.
    ImageMemory shared = tiny_module();
    const uint64_t child = B + 0x250, list = B + 0x2F0;
    shared.put(root_at + 40, list);
    shared.put(list, child);
    shared.put(list + 4, child);
    shared.put(child + 4, 0x100);
    shared.put(child + 32, header_at);
    shared.put(child + 44, B + 0x1B0);
    shared.put(child + 48, 0x83);
    EXPECT_EQ(walk_errors(shared),
              Lines{"element 1: child 2 is element 2 again, so the element tree shares an element between two "
                    "parents"});
}

TEST(CheckHandMadeImages, RandomDamageNeverCrashes) {
    const ImageMemory clean = tiny_module();
    std::mt19937 random(1002);
    for (int round = 0; round < 5000; ++round) {
        ImageMemory damaged = clean;
        for (int i = 0; i < 3; ++i) damaged.bytes()[random() % damaged.bytes().size()] = static_cast<uint8_t>(random());
        const RecordWalk walk = walk_records(damaged);
        EXPECT_TRUE(walk.readable);
        EXPECT_LE(walk.elements.size(), max_walked_elements);
    }
}

}  // namespace
