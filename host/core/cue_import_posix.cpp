// The one function a native gauge module imports from the process that loads it. It records
// the cue in the log of the call in progress; playing it is the application's business.
// Executables that load modules must export it (CMake ENABLE_EXPORTS).
#include <cstdint>

#include "service_table.h"

extern "C" __attribute__((visibility("default"))) int PlaySoundA(const char* path, void*, uint32_t flags) {
    panel::ServiceContext* context = panel::ServiceScope::active();
    if (context != nullptr && context->log != nullptr) {
        context->log->record_cue(path ? path : "", flags);
    }
    return 1;
}
