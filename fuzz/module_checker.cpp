// The module checker on any bytes as a .gau: the PE reader, the record walker and the bitmap
// resources. Whatever the bytes, the report is one line per finding, a module it cannot read
// has exactly one, and the walk stays within its limits.
#include "fuzz_support.h"
#include "module_fuzzers.h"
#include "record_walker.h"
#include "records_and_bitmaps_check.h"

namespace panel::fuzz {

void fuzz_module_checker(std::span<const uint8_t> input) {
    check::ModuleReport report;
    try {
        report = check::check_gau_bytes("fuzz.gau", {input.begin(), input.end()});
    } catch (const std::exception& error) {
        // As check_module reports it: one line about the file.
        check_one_line(error.what(), "");
        return;
    }
    if (!report.readable && (report.findings.size() != 1 || report.findings[0].severity != check::Finding::error)) {
        throw FuzzFailure("an unreadable module reported with " + std::to_string(report.findings.size()) + " findings");
    }
    for (const check::Finding& finding : report.findings) {
        if (finding.what.empty()) throw FuzzFailure("an empty finding at '" + finding.where + "'");
        check_one_line(finding.where + ": " + finding.what, "");
    }
    if (report.elements > check::max_walked_elements || report.areas > check::max_walked_mouse_records ||
        report.gauge_name.size() > check::max_gauge_name_length) {
        throw FuzzFailure("a walk past its limits: " + std::to_string(report.elements) + " elements, " +
                          std::to_string(report.areas) + " areas, a name of " +
                          std::to_string(report.gauge_name.size()));
    }
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_module_checker, data, size);
}
#endif
