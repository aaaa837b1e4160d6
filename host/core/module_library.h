// A gauge module file mapped into the process, unmapped when the object dies.
// Platform: dlopen on Linux, LoadLibrary on Windows (module_library_posix.cpp / _windows.cpp).
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "module_image.h"
#ifdef _WIN32
#include "cue_import_windows.h"
#endif

namespace panel {

// A module that cannot be used; the message names the file and what is wrong with it.
class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A module's state lives in its own static records, so the platform loader's one copy per file
// would make two gauges from the same file share one instrument. A second load of a file is
// therefore refused, unless it asks for a separate instance: a private copy of the file,
// loaded as a module of its own.
enum class ModuleInstance { only, separate };

class ModuleLibrary {
public:
    // The path is made absolute first, so that a bare file name never makes the loader search
    // its library path for another module of that name.
    explicit ModuleLibrary(const std::filesystem::path& path, ModuleInstance instance = ModuleInstance::only);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // The address of an exported symbol, or nullptr when the module has none of that name.
    void* symbol(const char* name) const;
    // The platform's handle (HMODULE on Windows, the dlopen handle elsewhere).
    void* handle() const { return handle_; }
    // The file as the user named it, made absolute.
    const std::filesystem::path& path() const { return path_; }
    // Where the module lies in memory.
    const ModuleImage& image() const { return image_; }
#ifdef _WIN32
    // What became of the module's PlaySoundA import (never failed: that refuses the module).
    CueImport cue_import() const {
        return cue_import_;
    }
#endif

private:
    std::filesystem::path path_;
    std::filesystem::path private_copy_;  // a separate instance's own file, removed at unload
    void* handle_ = nullptr;
    ModuleImage image_;
#ifdef _WIN32
    CueImport cue_import_ = CueImport::not_imported;
#endif
};

}  // namespace panel
