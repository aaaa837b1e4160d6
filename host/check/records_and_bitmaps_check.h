// The module checker (panelhost check): loads gauge modules as the simulator's host would read
// them (a native .so loaded in place, a .gau read from its file without running it) and reports
// every fault of their records and bitmaps, one line each.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "finding.h"

namespace panel::check {

struct ModuleReport {
    // False when the file cannot be read as a gauge module at all; `findings` then holds the
    // one error that says why.
    bool readable = true;
    Findings findings;
    std::string gauge_name;
    size_t elements = 0, areas = 0, bitmaps = 0;

    bool has_errors() const;
    // 0 clean (notes allowed), 1 errors, 2 unreadable.
    int status() const;
};

ModuleReport check_module(const std::filesystem::path& file);
// A .gau's bytes, read as the file would be; `name` is how messages call the file.
ModuleReport check_gau_bytes(const std::string& name, std::vector<uint8_t> bytes);

// Checks each file and prints "MODULE: where: what" per error ("MODULE: what" for the file as
// a whole); notes and a summary per module only when `verbose`. Returns 2 when any file cannot
// be read as a module, else 1 when any has errors, else 0.
int check_modules(const std::vector<std::filesystem::path>& files, bool verbose, std::ostream& out);

}  // namespace panel::check
