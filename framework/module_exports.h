// The two records a host looks up by name in every gauge module. Each module defines them
// once, without repeating GAUGE_EXPORT: the declarations here give the definitions C linkage
// and export them.
#pragma once

#include "gauge_records.h"

GAUGE_EXPORT LinkageRecord Linkage;
GAUGE_EXPORT ImportTableRecord ImportTable;
