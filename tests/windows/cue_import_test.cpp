// redirect_cue_import on module images laid out here in memory: each of its three answers, and
// what a redirected slot then does. Prints a line per case and exits 1 when any failed.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "cue_import_windows.h"
#include "event_log.h"
#include "service_table.h"

namespace {

// Just enough of a loaded module for the import walk: its headers, one import descriptor and
// the name and address tables of one imported function.
struct Image {
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;
    IMAGE_IMPORT_DESCRIPTOR imports[2];  // the second ends the list
    IMAGE_THUNK_DATA32 names[2];
    IMAGE_THUNK_DATA32 slots[2];
    char dll[16];
    WORD hint;  // with `function`, an IMAGE_IMPORT_BY_NAME
    char function[16];
};

// What the loader left in the slot: anything but the recorder.
constexpr ULONG_PTR loader_address = 0x7E001234;

// An image importing `function` from `dll` by name, or, when `function` is null, only by the
// address in its slot.
void lay_out(Image& image, const char* dll, const char* function, ULONG_PTR slot = loader_address) {
    std::memset(&image, 0, sizeof image);
    image.dos.e_magic = IMAGE_DOS_SIGNATURE;
    image.dos.e_lfanew = offsetof(Image, nt);
    image.nt.Signature = IMAGE_NT_SIGNATURE;
    image.nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT] = {offsetof(Image, imports),
                                                                           sizeof image.imports};
    image.imports[0].OriginalFirstThunk = function ? offsetof(Image, names) : 0;
    image.imports[0].Name = offsetof(Image, dll);
    image.imports[0].FirstThunk = offsetof(Image, slots);
    image.names[0].u1.AddressOfData = offsetof(Image, hint);
    image.slots[0].u1.Function = slot;
    lstrcpynA(image.dll, dll, sizeof image.dll);
    if (function) lstrcpynA(image.function, function, sizeof image.function);
}

const char* name_of(panel::CueImport result) {
    switch (result) {
        case panel::CueImport::redirected: return "redirected";
        case panel::CueImport::not_imported: return "not_imported";
        case panel::CueImport::failed: return "failed";
    }
    return "?";
}

int passed = 0, failed = 0;

void expect(bool holds, const char* what) {
    std::printf("%s %s\n", holds ? "ok" : "FAIL", what);
    ++(holds ? passed : failed);
}

void expect_result(panel::CueImport got, panel::CueImport want, const char* what) {
    if (got != want) std::printf("  got %s, expected %s\n", name_of(got), name_of(want));
    expect(got == want, what);
}

}  // namespace

int main() {
    using panel::CueImport;
    Image image;

    lay_out(image, "WINMM.dll", "PlaySoundA");
    expect_result(panel::redirect_cue_import(&image), CueImport::redirected,
                  "a PlaySoundA imported by name is redirected");
    {
        using PlaySound = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
        panel::EventLog log;
        panel::ServiceContext context;
        context.log = &log;
        panel::ServiceScope scope(context);
        auto play = reinterpret_cast<PlaySound>(image.slots[0].u1.Function);
        bool recorded = image.slots[0].u1.Function != loader_address &&
                        play("sound\\click.wav", nullptr, 0x20001) == TRUE && log.cues().size() == 1 &&
                        log.cues()[0] == panel::CueRequest{"sound\\click.wav", 0x20001};
        expect(recorded, "the redirected slot records the cue in the active log");
    }

    HMODULE winmm = LoadLibraryA("winmm.dll");
    auto real = reinterpret_cast<ULONG_PTR>(winmm ? GetProcAddress(winmm, "PlaySoundA") : nullptr);
    lay_out(image, "winmm.dll", nullptr, real);
    expect_result(panel::redirect_cue_import(&image), CueImport::redirected,
                  "a slot holding WINMM's own PlaySoundA is redirected without a name");

    lay_out(image, "winmm.dll", "PlaySoundW");
    expect_result(panel::redirect_cue_import(&image), CueImport::not_imported, "PlaySoundW alone is not PlaySoundA");
    expect(image.slots[0].u1.Function == loader_address, "and its slot is left alone");
    lay_out(image, "kernel32.dll", "PlaySoundA");
    expect_result(panel::redirect_cue_import(&image), CueImport::not_imported,
                  "a PlaySoundA from another DLL is not WINMM's");
    lay_out(image, "winmm.dll", "PlaySoundA");
    image.nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT] = {0, 0};
    expect_result(panel::redirect_cue_import(&image), CueImport::not_imported, "a module without imports plays no cue");

    // A read-only view of a mapping cannot be made writable: the slot is found but stays as it is.
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Image), nullptr);
    void* writable = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(Image)) : nullptr;
    void* read_only = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(Image)) : nullptr;
    if (writable == nullptr || read_only == nullptr) {
        expect(false, "a mapping with a read-only view can be made");
    } else {
        lay_out(*static_cast<Image*>(writable), "winmm.dll", "PlaySoundA");
        expect_result(panel::redirect_cue_import(read_only), CueImport::failed,
                      "a PlaySoundA slot that cannot be rewritten fails");
        expect(static_cast<Image*>(read_only)->slots[0].u1.Function == loader_address, "and its slot is left alone");
        UnmapViewOfFile(read_only);
        UnmapViewOfFile(writable);
    }
    if (mapping) CloseHandle(mapping);

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
