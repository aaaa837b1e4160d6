// Checks a gauge module file's structure before a platform loader maps it: dlopen maps a
// truncated file as it is and the process then dies on the first page past its end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

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
ModuleFileInfo check_file_structure(const std::filesystem::path& path);

// The two halves of check_file_structure, for a reader that goes on to use the bytes: the whole
// file, refused as above when it is missing, not a regular file, empty or too large to be a
// module; and the check of bytes already read, whose refusals begin with `name`.
std::vector<uint8_t> read_module_file(const std::filesystem::path& path);
ModuleFileInfo check_file_structure(std::span<const uint8_t> bytes, const std::string& name);

// "a 64-bit x86-64 ELF shared object", "a 32-bit x86 Windows DLL": for a host's refusals.
std::string describe_module_file(const ModuleFileInfo& info);

}  // namespace panel
