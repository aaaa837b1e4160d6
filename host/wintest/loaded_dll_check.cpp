// panel_loaded_dll_check MODULE EXPECTED_BITMAPS (32-bit Windows only): what the simulator's
// loader and bitmap loader see of a gauge module beyond its records.
//   - the DLL entry returns TRUE for thread attach and detach, and for process detach and a
//     fresh attach (process attach itself is LoadLibrary succeeding);
//   - the export table names exactly Linkage and ImportTable;
//   - the RT_BITMAP resources are exactly the expected ids, each in US English (1033), each a
//     device-independent bitmap of the expected width, height and bits per pixel;
//   - every bitmap an element names is present;
//   - every function the host calls with arguments (gauge callback, element callbacks, mouse
//     handlers) removes its own arguments from the stack: stdcall;
//   - the module imports PlaySoundA from WINMM, so that its cues reach the host's log.
// Each check prints "ok ..." when it found nothing wrong, else one "FAIL ..." line per fault;
// the exit status is 1 when any check failed.
// EXPECTED_BITMAPS lists "id width height bits" per line; '#' starts a comment.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "gauge_session.h"
#include "in_process_gauge.h"

namespace {

struct Bitmap {
    long width = 0, height = 0;
    int bits = 0;
    bool operator==(const Bitmap&) const = default;
};

// What one check found: its faults, or the line that says what passed when there are none.
struct Findings {
    std::vector<std::string> faults;
    std::string passed;

    void fail(std::string what) { faults.push_back(std::move(what)); }
    // Prints the findings; the number of faults.
    int report() const {
        for (const std::string& fault : faults) std::printf("FAIL %s\n", fault.c_str());
        if (faults.empty()) std::printf("ok %s\n", passed.c_str());
        return static_cast<int>(faults.size());
    }
};

template <typename T>
T* at_rva(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

IMAGE_NT_HEADERS* nt_headers(HMODULE module) {
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
    return at_rva<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
}

Findings check_entry(HMODULE module) {
    Findings found;
    using Entry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    DWORD rva = nt_headers(module)->OptionalHeader.AddressOfEntryPoint;
    if (rva == 0) {
        found.fail("the module has no DLL entry");
        return found;
    }
    auto entry = reinterpret_cast<Entry>(at_rva<BYTE>(module, rva));
    const struct {
        DWORD reason;
        const char* name;
    } reasons[] = {
        {DLL_THREAD_ATTACH, "thread attach"},
        {DLL_THREAD_DETACH, "thread detach"},
        {DLL_PROCESS_DETACH, "process detach"},
        {DLL_PROCESS_ATTACH, "process attach"},  // leaves the module attached again
    };
    for (const auto& r : reasons) {
        BOOL result = entry(module, r.reason, nullptr);
        if (result != TRUE) found.fail(std::string("DLL entry returns ") + std::to_string(result) + " for " + r.name);
    }
    found.passed = "DLL entry returns TRUE for every reason";
    return found;
}

// How a host-called function hands back its result. Known from the record that holds the
// function, never from a register after the call: eax, ecx and edx are the callee's to change.
enum class Returns { nothing, x87_double };

// The call itself: pushes `count` arguments (in ebx, count in ecx) below a stack lowered by
// the skew (edx) and calls esi; edi, which the callee keeps, holds the stack pointer from
// before. MEASURE_AND_RESTORE_STACK leaves in eax how far the stack pointer is from edi,
// then restores it.
#define CALL_ON_SKEWED_STACK      \
    "movl %%esp, %%edi\n\t"       \
    "subl %%edx, %%esp\n\t"       \
    "1:\n\t"                      \
    "testl %%ecx, %%ecx\n\t"      \
    "jz 2f\n\t"                   \
    "pushl -4(%%ebx,%%ecx,4)\n\t" \
    "decl %%ecx\n\t"              \
    "jmp 1b\n\t"                  \
    "2:\n\t"                      \
    "call *%%esi\n\t"
#define MEASURE_AND_RESTORE_STACK \
    "movl %%esp, %%eax\n\t"       \
    "subl %%edi, %%eax\n\t"       \
    "movl %%edi, %%esp\n\t"

// Calls `function` with `count` 32-bit arguments on a stack lowered by `skew` bytes (the host
// promises only 4-byte alignment) and returns by how many bytes the stack pointer is off
// afterwards: 0 when the callee removed its arguments (stdcall), -4 * count when it left them
// to the caller (cdecl). A double result is popped off the x87 stack, which must end as empty
// as it began: a value left there, or an empty stack popped, spoils every later x87 result
// (and faults where the invalid-operation exception is unmasked).
int stack_left_after(void* function, const uint32_t* args, int count, Returns returns, int skew) {
    int left;
    int lowered_by = skew;  // edx, which the callee may change
    if (returns == Returns::x87_double) {
        asm volatile(CALL_ON_SKEWED_STACK "fstp %%st(0)\n\t" MEASURE_AND_RESTORE_STACK
                     : "=a"(left), "+c"(count), "+d"(lowered_by)
                     : "S"(function), "b"(args)
                     : "edi", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7");
    } else {
        asm volatile(CALL_ON_SKEWED_STACK MEASURE_AND_RESTORE_STACK
                     : "=a"(left), "+c"(count), "+d"(lowered_by)
                     : "S"(function), "b"(args)
                     : "edi", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7");
    }
    return left + skew;
}

Findings check_stdcall(panel::GaugeSession& session, const panel::GaugeView& view) {
    Findings found;
    session.run_frame();  // every string element now has its text buffer
    int checked = 0;
    auto check = [&](void* function, const char* what, size_t number, std::vector<uint32_t> args, Returns returns) {
        if (function == nullptr) return;
        ++checked;
        for (int skew : {0, 4, 8, 12}) {
            int left = stack_left_after(function, args.data(), static_cast<int>(args.size()), returns, skew);
            if (left != 0) {
                found.fail(std::string(what) + " " + std::to_string(number) + " is not stdcall (stack off by " +
                           std::to_string(left) + ")");
                return;
            }
        }
    };
    auto address = [](const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); };
    GaugeHeader& header = view.header();
    panel::ServiceContext context;
    context.variables = &session.variables();
    context.log = &session.log();
    panel::ServiceScope scope(context);
    // Service 13 is one the gauge ignores.
    check(reinterpret_cast<void*>(header.gauge_callback), "gauge callback", 1, {address(&header), 13, 0},
          Returns::nothing);
    size_t number = 0;
    for (ElementHeader* element : view.elements()) {
        ++number;
        if (element->kind == ELEMENT_STRING) {
            auto* string = reinterpret_cast<StringElement*>(element);
            check(reinterpret_cast<void*>(string->callback), "element", number, {address(string)}, Returns::x87_double);
        } else if (element->kind == ELEMENT_ICON) {
            auto* icon = reinterpret_cast<IconElement*>(element);
            check(reinterpret_cast<void*>(icon->callback), "element", number, {address(icon)}, Returns::x87_double);
        } else if (element->kind == ELEMENT_SLIDER) {
            auto* slider = reinterpret_cast<SliderElement*>(element);
            check(reinterpret_cast<void*>(slider->x_callback), "slider x of element", number, {address(slider)},
                  Returns::x87_double);
            check(reinterpret_cast<void*>(slider->y_callback), "slider y of element", number, {address(slider)},
                  Returns::x87_double);
        }
    }
    number = 0;
    panel::ClickPoint point{0, 0};
    for (MouseRect* area : view.mouse_areas()) {
        check(reinterpret_cast<void*>(area->handler), "mouse area", ++number, {address(&point), MOUSE_LEFT_SINGLE},
              Returns::nothing);
    }
    found.passed =
        std::to_string(checked) + " host-called functions remove their own arguments (stdcall), at any stack alignment";
    return found;
}

Findings check_exports(HMODULE module) {
    Findings found;
    const IMAGE_DATA_DIRECTORY& directory =
        nt_headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) {
        found.fail("no export table");
        return found;
    }
    auto* exports = at_rva<IMAGE_EXPORT_DIRECTORY>(module, directory.VirtualAddress);
    std::set<std::string> names;
    auto* name_rvas = at_rva<DWORD>(module, exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(at_rva<char>(module, name_rvas[i]));
    const std::set<std::string> expected{"ImportTable", "Linkage"};
    if (names != expected || exports->NumberOfFunctions != 2) {
        std::string listed;
        for (const auto& name : names) listed += " " + name;
        found.fail("exports are" + listed + " (" + std::to_string(exports->NumberOfFunctions) + " entries)");
    }
    found.passed = "exports exactly Linkage and ImportTable";
    return found;
}

// Both of our gauges play cues, so a gauge module without the import has lost them.
Findings check_cue_import(const panel::ModuleLibrary& library) {
    Findings found;
    if (library.cue_import() != panel::CueImport::redirected) {
        found.fail("the module's PlaySoundA import was not redirected");
    }
    found.passed = "cues are recorded through the module's PlaySoundA import";
    return found;
}

std::map<unsigned, Bitmap> read_expected(const char* path, Findings& found) {
    std::map<unsigned, Bitmap> expected;
    std::ifstream in(path);
    if (!in) {
        found.fail(std::string("cannot read ") + path);
        return expected;
    }
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        unsigned id;
        Bitmap bitmap;
        if (words >> id >> bitmap.width >> bitmap.height >> bitmap.bits) expected[id] = bitmap;
    }
    return expected;
}

BOOL CALLBACK collect_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
    return TRUE;
}

struct BitmapNames {
    std::set<unsigned> ids;
    Findings* found;
};

BOOL CALLBACK collect_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
    auto* collected = reinterpret_cast<BitmapNames*>(names);
    if (IS_INTRESOURCE(name)) {
        collected->ids.insert(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    } else {
        collected->found->fail(std::string("bitmap resource named \"") + name + "\", not by number");
    }
    return TRUE;
}

bool read_bitmap(HMODULE module, unsigned id, Bitmap& bitmap) {
    HRSRC found = FindResourceExA(module, MAKEINTRESOURCEA(2) /* RT_BITMAP */, MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (found == nullptr) return false;
    HGLOBAL data = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    if (data == nullptr || size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, LockResource(data), sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER)) return false;
    bitmap = {header.biWidth, header.biHeight < 0 ? -header.biHeight : header.biHeight, header.biBitCount};
    return true;
}

Findings check_bitmaps(HMODULE module, const char* expected_path, const panel::GaugeView& view) {
    Findings found;
    std::map<unsigned, Bitmap> expected = read_expected(expected_path, found);
    BitmapNames names{{}, &found};
    EnumResourceNamesA(module, MAKEINTRESOURCEA(2), collect_name, reinterpret_cast<LONG_PTR>(&names));
    const std::set<unsigned>& present = names.ids;

    for (unsigned id : present) {
        if (!expected.count(id)) found.fail("unexpected bitmap " + std::to_string(id));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id), collect_language,
                               reinterpret_cast<LONG_PTR>(&languages));
        if (languages != std::vector<WORD>{1033}) {
            found.fail("bitmap " + std::to_string(id) + " is not in language 1033 alone");
        }
    }
    for (const auto& [id, want] : expected) {
        Bitmap got;
        if (!read_bitmap(module, id, got)) {
            found.fail("bitmap " + std::to_string(id) + " missing or not a bitmap");
        } else if (!(got == want)) {
            found.fail("bitmap " + std::to_string(id) + " is " + std::to_string(got.width) + "x" +
                       std::to_string(got.height) + " at " + std::to_string(got.bits) + " bits, expected " +
                       std::to_string(want.width) + "x" + std::to_string(want.height) + " at " +
                       std::to_string(want.bits));
        }
    }
    for (ElementHeader* element : view.elements()) {
        if (element->resource_id != NO_BITMAP && !present.count(element->resource_id)) {
            found.fail("an element names bitmap " + std::to_string(element->resource_id) + ", which is missing");
        }
    }
    found.passed = std::to_string(expected.size()) + " bitmaps checked";
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MODULE EXPECTED_BITMAPS\n", argv[0]);
        return 2;
    }
    int failures = 0;
    try {
        auto loaded = std::make_unique<panel::InProcessGauge>(argv[1]);
        const panel::InProcessGauge& gauge = *loaded;
        panel::GaugeSession session(std::move(loaded));
        const panel::ModuleLibrary& library = gauge.module().library();
        auto module = static_cast<HMODULE>(library.handle());
        failures += check_exports(module).report();
        failures += check_bitmaps(module, argv[2], gauge.module_view()).report();
        failures += check_cue_import(library).report();
        failures += check_stdcall(session, gauge.module_view()).report();
        failures += check_entry(module).report();  // last: it detaches and attaches the module again
    } catch (const panel::ModuleError& error) {
        std::fprintf(stderr, "%s\n", error.what());  // names the file itself
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 2;
    }
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
