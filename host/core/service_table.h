// The host's panel service table and the context its services answer from.
//
// The services a gauge calls carry no context of their own, so every call into a module runs
// inside a ServiceScope that names the variables and the log the services use for that call.
// The services are called from module code built without exceptions: they never throw, and a
// failure inside one is noted in the context for the host to report once the module returns.
#pragma once

#include "event_log.h"
#include "gauge_records.h"
#include "variable_store.h"

namespace panel {

struct ServiceContext {
    const VariableStore* variables = nullptr;
    EventLog* log = nullptr;
    // Set by a service that could not do its work; the caller reports it after the call.
    const char* failure = nullptr;
};

// Makes `context` the one the services answer from until the scope ends; scopes nest.
class ServiceScope {
public:
    explicit ServiceScope(ServiceContext& context);
    ~ServiceScope();
    ServiceScope(const ServiceScope&) = delete;
    ServiceScope& operator=(const ServiceScope&) = delete;

    // The innermost active context, or nullptr outside every scope.
    static ServiceContext* active() noexcept;

private:
    ServiceContext* outer_;
};

// The table whose address the host writes into a module's import slot: slot 36 is
// trigger_key_event, slot 40 lookup_var, every other slot empty.
ServiceTable* host_service_table();

// Records a cue the module asked for in the active context; what PlaySoundA does for every
// build of the host.
void record_cue_request(const char* path, uint32_t flags) noexcept;

}  // namespace panel
