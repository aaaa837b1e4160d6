#include "records_and_bitmaps_check.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <utility>

#include "bitmap_source.h"
#include "face_check.h"
#include "file_structure_check.h"
#include "loaded_module_memory.h"
#include "module_library.h"
#include "pe_file_memory.h"
#include "record_walker.h"

namespace panel::check {
namespace {

ModuleReport unreadable(const std::string& what) {
    ModuleReport report;
    report.readable = false;
    report.findings.push_back({Finding::error, "", what});
    return report;
}

// Messages from the host core and the bitmap sources begin with the file's name, which the report
// line puts in front already.
std::string without_name(std::string what, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const std::string prefix = name + ": ";
        if (what.starts_with(prefix)) return what.substr(prefix.size());
    }
    return what;
}

// Where a finding lies, as a place in the module: the file, Linkage, ImportTable, the header,
// the elements and areas by number, then the bitmaps by id.
std::pair<int, uint64_t> place(const std::string& where) {
    struct Part {
        std::string_view prefix;
        int base;
    };
    static constexpr Part numbered[] = {{"element ", 10}, {"area ", 16}, {"bitmap 0x", 16}};
    static constexpr std::string_view fixed[] = {"", "linkage", "import", "header"};
    for (size_t i = 0; i < std::size(fixed); ++i) {
        if (where == fixed[i]) return {static_cast<int>(i), 0};
    }
    for (size_t i = 0; i < std::size(numbered); ++i) {
        if (!where.starts_with(numbered[i].prefix)) continue;
        uint64_t number = 0;
        std::from_chars(where.data() + numbered[i].prefix.size(), where.data() + where.size(), number,
                        numbered[i].base);
        return {static_cast<int>(std::size(fixed) + i), number};
    }
    return {static_cast<int>(std::size(fixed) + std::size(numbered)), 0};
}

// The walk and the bitmap check each add their findings in their own order; the report reads
// in the module's, each record's findings as they were found.
void sort_by_place(Findings& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return place(a.where) < place(b.where); });
}

ModuleReport from_walk(RecordWalk walk) {
    ModuleReport report;
    report.readable = walk.readable;
    report.findings = std::move(walk.findings);
    report.gauge_name = std::move(walk.gauge_name);
    report.elements = walk.elements.size();
    report.areas = walk.areas.size();
    return report;
}

ModuleReport check_native(const std::filesystem::path& file) {
    std::optional<LoadedModuleMemory> memory;
    try {
        memory.emplace(file);
    } catch (const ModuleError& error) {
        return unreadable(error.what());
    }
    const RecordWalk walk = walk_records(*memory);
    ModuleReport report = from_walk(walk);
    if (!report.readable) return report;
    try {
        const auto bitmaps = bitmaps_for_module(file, walk.gauge_name);
        report.bitmaps = check_face(walk, *bitmaps, report.findings);
    } catch (const BitmapError& error) {
        report.findings.push_back({Finding::error, "", error.what()});
    }
    sort_by_place(report.findings);
    return report;
}

ModuleReport checked(const std::filesystem::path& file) {
    std::vector<uint8_t> bytes;
    ModuleFileInfo info{};
    try {
        bytes = read_module_file(file);
        info = check_file_structure(bytes, file.string());
    } catch (const ModuleError& error) {
        return unreadable(error.what());
    }
    if (info.kind == ModuleFileKind::pe) return check_gau_bytes(file.string(), std::move(bytes));
    return check_native(file);
}

}  // namespace

bool ModuleReport::has_errors() const {
    return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Finding::error; });
}

int ModuleReport::status() const {
    if (!readable) return 2;
    return has_errors() ? 1 : 0;
}

ModuleReport check_gau_bytes(const std::string& name, std::vector<uint8_t> bytes) {
    // The bitmaps keep a copy: they are read from the same bytes, by their own reader.
    std::vector<uint8_t> resources = bytes;
    std::optional<PeFileMemory> memory;
    try {
        memory.emplace(std::move(bytes));
    } catch (const UnreadableModule& error) {
        return unreadable(error.what());
    }
    const RecordWalk walk = walk_records(*memory);
    ModuleReport report = from_walk(walk);
    if (!report.readable) return report;
    try {
        PeBitmaps bitmaps(name, std::move(resources));
        report.bitmaps = check_face(walk, bitmaps, report.findings);
    } catch (const BitmapError& error) {
        report.findings.push_back(
            {Finding::error, "", "its bitmap resources cannot be read: " + without_name(error.what(), {name})});
    }
    for (Finding& finding : report.findings) finding.what = without_name(std::move(finding.what), {name});
    sort_by_place(report.findings);
    return report;
}

ModuleReport check_module(const std::filesystem::path& file) {
    ModuleReport report;
    try {
        report = checked(file);
    } catch (const UnreadableModule& error) {
        report = unreadable(error.what());
    } catch (const std::exception& error) {
        // Whatever else goes wrong (memory, the file system) is still one line about the file.
        report = unreadable("cannot be checked: " + std::string(error.what()));
    }
    // The loader names the file made absolute.
    const std::vector<std::string> names = {file.string(), std::filesystem::absolute(file).lexically_normal().string()};
    for (Finding& finding : report.findings) finding.what = without_name(std::move(finding.what), names);
    return report;
}

int check_modules(const std::vector<std::filesystem::path>& files, bool verbose, std::ostream& out) {
    int status = 0;
    for (const std::filesystem::path& file : files) {
        const ModuleReport report = check_module(file);
        const std::string name = file.string();
        size_t errors = 0, notes = 0;
        for (const Finding& finding : report.findings) {
            const bool is_note = finding.severity == Finding::note;
            ++(is_note ? notes : errors);
            if (is_note && !verbose) continue;
            out << name << ": ";
            if (!finding.where.empty()) out << finding.where << ": ";
            out << (is_note ? "note: " : "") << finding.what << '\n';
        }
        if (verbose && report.readable) {
            out << name << ": gauge " << (report.gauge_name.empty() ? "(unnamed)" : report.gauge_name) << ", "
                << report.elements << " elements, " << report.areas << " mouse areas, " << report.bitmaps
                << " bitmaps: " << errors << " errors, " << notes << " notes\n";
        }
        status = std::max(status, report.status());
    }
    return status;
}

}  // namespace panel::check
