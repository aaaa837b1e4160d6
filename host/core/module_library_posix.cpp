// Loading a native gauge module with dlopen.
#include <dlfcn.h>

#include "module_library.h"

namespace panel {

ModuleLibrary::ModuleLibrary(const std::filesystem::path& path) : path_(path) {
    if (!std::filesystem::exists(path)) throw ModuleError(path.string() + ": no such file");
    // RTLD_LOCAL keeps two modules' identically named records apart.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw ModuleError(path.string() + ": cannot be loaded as a gauge module (" +
                          (reason ? reason : "unknown reason") + ")");
    }
}

ModuleLibrary::~ModuleLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* ModuleLibrary::symbol(const char* name) const {
    return dlsym(handle_, name);
}

}  // namespace panel
