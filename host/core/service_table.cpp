#include "service_table.h"

namespace panel {
namespace {

thread_local ServiceContext* active_context = nullptr;

uint32_t GAUGE_CALL trigger_key_event(uint32_t event_id, uint32_t value) {
    if (ServiceContext* context = ServiceScope::active(); context && context->log) {
        context->log->record_event(event_id, value);
    }
    return 0;
}

uint32_t GAUGE_CALL lookup_var(ModuleVar* var) {
    ServiceContext* context = ServiceScope::active();
    if (var == nullptr || context == nullptr) return 0;
    if (context->log) context->log->record_lookup(var->id);
    if (context->variables) context->variables->fill(*var);
    return 0;
}

ServiceTable make_table() {
    ServiceTable table{};
    table.trigger_key_event = trigger_key_event;
    table.lookup_var = lookup_var;
    return table;
}

}  // namespace

ServiceScope::ServiceScope(ServiceContext context) : context_(context), outer_(active_context) {
    active_context = &context_;
}

ServiceScope::~ServiceScope() {
    active_context = outer_;
}

ServiceContext* ServiceScope::active() {
    return active_context;
}

ServiceTable* host_service_table() {
    static ServiceTable table = make_table();
    return &table;
}

}  // namespace panel
