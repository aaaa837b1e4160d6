// Calls into the host's service table. The table's address is read afresh from the module's
// import slot on every call, never kept.
#pragma once

#include "gauge_records.h"
#include "module_exports.h"

void service_lookup_var(ModuleVar* var);
void service_trigger_key_event(uint32_t event_id);

// Refreshes `count` variables through the host, in list order.
void service_lookup_all(ModuleVar* vars, int count);
