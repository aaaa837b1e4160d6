// Checks a gauge module file's structure before a platform loader maps it: dlopen maps a
// truncated file as it is and the process then dies on the first page past its end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace panel {

enum class ModuleFileKind { elf, pe };

// What the headers of a whole module file say it was built for.
struct ModuleFileInfo {
    ModuleFileKind kind;
    bool is_64_bit;    // ELFCLASS64 / PE32+
    uint16_t machine;  // e_machine, or the PE file header's Machine
};

// Throws ModuleError (module_library.h) "PATH: what is wrong" unless the file is a whole
// little-endian ELF shared object or Windows DLL: every header, table, segment and section of it
// lies within the file.
ModuleFileInfo check_module_file(const std::filesystem::path& path);

// "a 64-bit x86-64 ELF shared object", "a 32-bit x86 Windows DLL": for a host's refusals.
std::string describe_module_file(const ModuleFileInfo& info);

}  // namespace panel
