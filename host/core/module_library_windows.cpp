// Loading a gauge module with LoadLibrary (the 32-bit Windows test host). Its PlaySoundA
// import is then redirected to the host's cue recorder.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "cue_import_windows.h"
#include "module_library.h"

namespace panel {

ModuleLibrary::ModuleLibrary(const std::filesystem::path& path) : path_(path) {
    if (!std::filesystem::exists(path)) throw ModuleError(path.string() + ": no such file");
    handle_ = LoadLibraryW(path.wstring().c_str());
    if (handle_ == nullptr) {
        throw ModuleError(path.string() + ": cannot be loaded as a gauge module (error " +
                          std::to_string(GetLastError()) + ")");
    }
    redirect_cue_import(handle_);
}

ModuleLibrary::~ModuleLibrary() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* ModuleLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace panel
