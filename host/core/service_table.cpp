#include "service_table.h"

namespace panel {
namespace {

thread_local ServiceContext* active_context = nullptr;

uint32_t GAUGE_CALL trigger_key_event(uint32_t event_id, uint32_t value) noexcept {
    ServiceContext* context = ServiceScope::active();
    if (context == nullptr || context->log == nullptr) return 0;
    try {
        context->log->record_event(event_id, value);
    } catch (...) {
        context->failure = "trigger_key_event could not record the event";
    }
    return 0;
}

uint32_t GAUGE_CALL lookup_var(ModuleVar* var) noexcept {
    ServiceContext* context = ServiceScope::active();
    if (var == nullptr || context == nullptr) return 0;
    try {
        if (context->log) context->log->record_lookup(var->id);
        if (context->variables) context->variables->fill(*var);
    } catch (...) {
        context->failure = "lookup_var could not answer";
    }
    return 0;
}

ServiceTable make_table() {
    ServiceTable table{};
    table.trigger_key_event = trigger_key_event;
    table.lookup_var = lookup_var;
    return table;
}

}  // namespace

ServiceScope::ServiceScope(ServiceContext& context) : outer_(active_context) {
    active_context = &context;
}

ServiceScope::~ServiceScope() {
    active_context = outer_;
}

ServiceContext* ServiceScope::active() noexcept {
    return active_context;
}

ServiceTable* host_service_table() {
    static ServiceTable table = make_table();
    return &table;
}

void record_cue_request(const char* path, uint32_t flags) noexcept {
    ServiceContext* context = ServiceScope::active();
    if (context == nullptr || context->log == nullptr) return;
    try {
        context->log->record_cue(path ? path : "", flags);
    } catch (...) {
        context->failure = "PlaySoundA could not record the cue";
    }
}

}  // namespace panel
