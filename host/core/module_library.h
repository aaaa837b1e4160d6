// A gauge module file mapped into the process, unmapped when the object dies.
// Platform: dlopen on Linux, LoadLibrary on Windows (module_library_posix.cpp / _windows.cpp).
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace panel {

// A module that cannot be used; the message names the file and what is wrong with it.
class ModuleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ModuleLibrary {
public:
    explicit ModuleLibrary(const std::filesystem::path& path);
    ~ModuleLibrary();
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    // The address of an exported symbol, or nullptr when the module has none of that name.
    void* symbol(const char* name) const;
    // The platform's handle (HMODULE on Windows, the dlopen handle elsewhere).
    void* handle() const { return handle_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
};

}  // namespace panel
