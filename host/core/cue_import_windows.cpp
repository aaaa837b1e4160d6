// Windows: the module imports PlaySoundA from WINMM by name, as it would in the simulator. The
// test host rewrites that one entry of the module's import address table so that cues land in
// the event log, exactly where the native build's exported PlaySoundA puts them.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

#include "cue_import_windows.h"
#include "service_table.h"

namespace panel {
namespace {

BOOL WINAPI record_play_sound(LPCSTR path, HMODULE, DWORD flags) noexcept {
    record_cue_request(path, static_cast<uint32_t>(flags));
    return TRUE;
}

template <typename T>
T* at_rva(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

bool rewrite(ULONG_PTR* slot) {
    const auto recorder = reinterpret_cast<ULONG_PTR>(&record_play_sound);
    DWORD old_protection = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old_protection)) return false;
    *slot = recorder;
    VirtualProtect(slot, sizeof *slot, old_protection, &old_protection);
    return *slot == recorder;
}

}  // namespace

CueImport redirect_cue_import(void* module_handle) {
    auto module = static_cast<HMODULE>(module_handle);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return CueImport::failed;
    auto* nt = at_rva<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return CueImport::not_imported;

    // The loader has filled the table with WINMM's own entry; unnamed (bound) slots are found
    // by that address.
    HMODULE winmm = GetModuleHandleA("winmm.dll");
    FARPROC real = winmm ? GetProcAddress(winmm, "PlaySoundA") : nullptr;

    CueImport result = CueImport::not_imported;
    for (auto* import = at_rva<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); import->Name != 0;
         ++import) {
        if (lstrcmpiA(at_rva<char>(module, import->Name), "winmm.dll") != 0) continue;
        auto* slots = at_rva<IMAGE_THUNK_DATA>(module, import->FirstThunk);
        auto* names =
            import->OriginalFirstThunk ? at_rva<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk) : nullptr;
        for (size_t i = 0; slots[i].u1.Function != 0; ++i) {
            bool match = false;
            if (names != nullptr && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
                auto* by_name = at_rva<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names[i].u1.AddressOfData));
                match = lstrcmpA(reinterpret_cast<const char*>(by_name->Name), "PlaySoundA") == 0;
            } else {
                match = real != nullptr && slots[i].u1.Function == reinterpret_cast<ULONG_PTR>(real);
            }
            if (!match) continue;
            // One slot left pointing at WINMM would play that cue aloud and keep it out of the log.
            if (!rewrite(reinterpret_cast<ULONG_PTR*>(&slots[i].u1.Function))) return CueImport::failed;
            result = CueImport::redirected;
        }
    }
    return result;
}

}  // namespace panel
