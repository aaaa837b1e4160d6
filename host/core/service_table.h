// The host's panel service table and the context its services answer from.
//
// The services a gauge calls carry no context of their own, so every call into a module runs
// inside a ServiceScope that names the variables and the log the services use for that call.
#pragma once

#include "event_log.h"
#include "gauge_records.h"
#include "variable_store.h"

namespace panel {

struct ServiceContext {
    const VariableStore* variables = nullptr;
    EventLog* log = nullptr;
};

// Makes `context` the one the services answer from until the scope ends; scopes nest.
class ServiceScope {
public:
    explicit ServiceScope(ServiceContext context);
    ~ServiceScope();
    ServiceScope(const ServiceScope&) = delete;
    ServiceScope& operator=(const ServiceScope&) = delete;

    // The innermost active context, or nullptr outside every scope.
    static ServiceContext* active();

private:
    ServiceContext context_;
    ServiceContext* outer_;
};

// The table whose address the host writes into a module's import slot: slot 36 is
// trigger_key_event, slot 40 lookup_var, every other slot empty.
ServiceTable* host_service_table();

}  // namespace panel
