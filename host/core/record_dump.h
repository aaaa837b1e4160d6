// Reads a loaded module's records byte by byte, at fixed offsets from each record's start, and
// describes every field in one line per record, by the tables of record_fields.h. Where
// pointers are 4 bytes wide the offsets are the numbers of the host's record format, written
// out there apart from the record structs; elsewhere they come from the structs, whose field
// order is the same. So a 32-bit and a native dump of the same module agree line for line only
// if the 32-bit records sit at the host's offsets.
#pragma once

#include <string>
#include <vector>

#include "gauge_view.h"
#include "loaded_module.h"

namespace panel {

// The lines for the module's exports, its gauge's header, every element along the chain from
// the root, and the mouse-area list up to its closing group end, as `view` has checked them.
std::vector<std::string> dump_records(const LoadedModule& module, const GaugeView& view);

}  // namespace panel
