// Loading a gauge module with LoadLibrary (the 32-bit Windows test host). Its PlaySoundA
// import is then redirected to the host's cue recorder.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "cue_import_windows.h"
#include "file_structure_check.h"
#include "module_library.h"

namespace panel {
namespace {

// The module's sections as the loader mapped them.
ModuleImage image_at(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    std::vector<MemoryRange> ranges;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const DWORD size = section->Misc.VirtualSize ? section->Misc.VirtualSize : section->SizeOfRawData;
        if (size == 0) continue;
        const uintptr_t begin = reinterpret_cast<uintptr_t>(base) + section->VirtualAddress;
        ranges.push_back({begin, begin + size, (section->Characteristics & IMAGE_SCN_MEM_WRITE) != 0,
                          (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0});
    }
    return ModuleImage(std::move(ranges));
}

// A private copy of `path` in the temporary folder, for a separate instance.
std::filesystem::path private_copy_of(const std::filesystem::path& path) {
    wchar_t folder[MAX_PATH + 1];
    wchar_t name[MAX_PATH + 1];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"gau", 0, name) == 0 ||
        !CopyFileW(path.wstring().c_str(), name, FALSE)) {
        throw ModuleError(path.string() + ": cannot make a private copy for a separate instance");
    }
    return name;
}

}  // namespace

ModuleLibrary::ModuleLibrary(const std::filesystem::path& path, ModuleInstance instance)
    : path_(std::filesystem::absolute(path).lexically_normal()) {
    // A malformed file is refused with its reason rather than LoadLibrary's bare error number.
    const ModuleFileInfo checked = check_file_structure(path_);
    if (checked.kind != ModuleFileKind::pe) {
        throw ModuleError(path_.string() + ": " + describe_module_file(checked) +
                          "; this host loads only 32-bit Windows modules (.gau)");
    }
    if (checked.is_64_bit || checked.machine != IMAGE_FILE_MACHINE_I386) {
        throw ModuleError(path_.string() + ": built for another machine (" + describe_module_file(checked) +
                          "; this host loads 32-bit x86 DLLs)");
    }
    HMODULE loaded = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path_.wstring().c_str(), &loaded) &&
        instance == ModuleInstance::only) {
        throw ModuleError(path_.string() +
                          ": already loaded; a second gauge from it would share the first one's "
                          "state, so it must be loaded as a separate instance");
    }
    std::filesystem::path file = path_;
    if (instance == ModuleInstance::separate) file = private_copy_ = private_copy_of(path_);
    handle_ = LoadLibraryW(file.wstring().c_str());
    if (handle_ == nullptr) {
        const DWORD error = GetLastError();
        if (!private_copy_.empty()) DeleteFileW(private_copy_.wstring().c_str());
        throw ModuleError(path_.string() + ": cannot be loaded as a gauge module (error " + std::to_string(error) +
                          ")");
    }
    image_ = image_at(static_cast<HMODULE>(handle_));
    cue_import_ = redirect_cue_import(handle_);
    if (cue_import_ == CueImport::failed) {
        FreeLibrary(static_cast<HMODULE>(handle_));
        if (!private_copy_.empty()) DeleteFileW(private_copy_.wstring().c_str());
        throw ModuleError(path_.string() + ": its PlaySoundA import cannot be pointed at the host's cue recorder");
    }
}

ModuleLibrary::~ModuleLibrary() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
    if (!private_copy_.empty()) DeleteFileW(private_copy_.wstring().c_str());
}

void* ModuleLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace panel
