#include "host_services.h"

static ServiceTable* panel_services(void) {
    return (ServiceTable*)ImportTable.panel_services.pointer;
}

void service_lookup_var(ModuleVar* var) {
    panel_services()->lookup_var(var);
}

void service_trigger_key_event(uint32_t event_id) {
    panel_services()->trigger_key_event(event_id, 0);
}

void service_lookup_all(ModuleVar* vars, int count) {
    for (int i = 0; i < count; ++i) service_lookup_var(&vars[i]);
}
