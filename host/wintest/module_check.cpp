// panel_module_check MODULE EXPECTED_BITMAPS (32-bit Windows only): what the simulator's
// loader and bitmap loader see of a gauge module beyond its records.
//   - the DLL entry returns TRUE for thread attach and detach, and for process detach and a
//     fresh attach (process attach itself is LoadLibrary succeeding);
//   - the export table names exactly Linkage and ImportTable;
//   - the RT_BITMAP resources are exactly the expected ids, each in US English (1033), each a
//     device-independent bitmap of the expected width, height and bits per pixel;
//   - every bitmap an element names is present;
//   - every function the host calls with arguments (gauge callback, element callbacks, mouse
//     handlers) removes its own arguments from the stack: stdcall.
// EXPECTED_BITMAPS lists "id width height bits" per line; '#' starts a comment.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gauge_session.h"

namespace {

struct Bitmap {
    long width = 0, height = 0;
    int bits = 0;
    bool operator==(const Bitmap&) const = default;
};

int failures = 0;

void fail(const std::string& what) {
    std::printf("FAIL %s\n", what.c_str());
    ++failures;
}

template <typename T>
T* at_rva(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

IMAGE_NT_HEADERS* nt_headers(HMODULE module) {
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
    return at_rva<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
}

void check_entry(HMODULE module) {
    using Entry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    DWORD rva = nt_headers(module)->OptionalHeader.AddressOfEntryPoint;
    if (rva == 0) return fail("the module has no DLL entry");
    auto entry = reinterpret_cast<Entry>(at_rva<BYTE>(module, rva));
    const struct { DWORD reason; const char* name; } reasons[] = {
        {DLL_THREAD_ATTACH, "thread attach"},
        {DLL_THREAD_DETACH, "thread detach"},
        {DLL_PROCESS_DETACH, "process detach"},
        {DLL_PROCESS_ATTACH, "process attach"},  // leaves the module attached again
    };
    for (const auto& r : reasons) {
        BOOL result = entry(module, r.reason, nullptr);
        if (result != TRUE) fail(std::string("DLL entry returns ") + std::to_string(result) + " for " + r.name);
    }
    std::printf("ok DLL entry returns TRUE for every reason\n");
}

// Calls `function` with `count` 32-bit arguments on a stack lowered by `skew` bytes (the host
// promises only 4-byte alignment) and returns by how many bytes the stack pointer is off
// afterwards: 0 when the callee removed its arguments (stdcall), -4 * count when it left them
// to the caller (cdecl). A double result, left on the x87 stack, is dropped.
int stack_left_after(void* function, const uint32_t* args, int count, bool returns_double, int skew) {
    int left;
    int drop = returns_double ? 1 : 0;
    asm volatile(
        "movl %%esp, %%edi\n\t"
        "subl %[skew], %%esp\n\t"
        "1:\n\t"
        "testl %%ecx, %%ecx\n\t"
        "jz 2f\n\t"
        "pushl -4(%%ebx,%%ecx,4)\n\t"
        "decl %%ecx\n\t"
        "jmp 1b\n\t"
        "2:\n\t"
        "call *%%esi\n\t"
        "testl %%edx, %%edx\n\t"
        "jz 3f\n\t"
        "fstp %%st(0)\n\t"
        "3:\n\t"
        "movl %%esp, %%eax\n\t"
        "subl %%edi, %%eax\n\t"
        "movl %%edi, %%esp\n\t"
        : "=a"(left), "+c"(count), "+d"(drop)
        : "S"(function), "b"(args), [skew] "m"(skew)
        : "edi", "memory", "cc", "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7");
    return left + skew;
}

void check_stdcall(panel::GaugeSession& session) {
    session.run_frame();  // every string element now has its text buffer
    int checked = 0;
    const int failures_before = failures;
    auto check = [&](void* function, const char* what, size_t number, std::vector<uint32_t> args, bool returns_double) {
        if (function == nullptr) return;
        ++checked;
        for (int skew : {0, 4, 8, 12}) {
            int left = stack_left_after(function, args.data(), static_cast<int>(args.size()), returns_double, skew);
            if (left != 0) {
                fail(std::string(what) + " " + std::to_string(number) + " is not stdcall (stack off by " +
                     std::to_string(left) + ")");
                return;
            }
        }
    };
    auto address = [](const void* pointer) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer)); };
    GaugeHeader& header = session.view().header();
    panel::ServiceScope scope(session.driver().context());
    // Service 13 is one the gauge ignores.
    check(reinterpret_cast<void*>(header.gauge_callback), "gauge callback", 1, {address(&header), 13, 0}, false);
    size_t number = 0;
    for (ElementHeader* element : session.view().elements()) {
        ++number;
        if (element->kind == ELEMENT_STRING) {
            auto* string = reinterpret_cast<StringElement*>(element);
            check(reinterpret_cast<void*>(string->callback), "element", number, {address(string)}, true);
        } else if (element->kind == ELEMENT_ICON) {
            auto* icon = reinterpret_cast<IconElement*>(element);
            check(reinterpret_cast<void*>(icon->callback), "element", number, {address(icon)}, true);
        } else if (element->kind == ELEMENT_SLIDER) {
            auto* slider = reinterpret_cast<SliderElement*>(element);
            check(reinterpret_cast<void*>(slider->x_callback), "slider x of element", number, {address(slider)}, true);
            check(reinterpret_cast<void*>(slider->y_callback), "slider y of element", number, {address(slider)}, true);
        }
    }
    number = 0;
    panel::ClickPoint point{0, 0};
    for (MouseRect* area : session.view().mouse_areas()) {
        check(reinterpret_cast<void*>(area->handler), "mouse area", ++number, {address(&point), MOUSE_LEFT_SINGLE}, false);
    }
    if (failures == failures_before) std::printf("ok %d host-called functions remove their own arguments (stdcall), at any stack alignment\n", checked);
}

void check_exports(HMODULE module) {
    const IMAGE_DATA_DIRECTORY& directory = nt_headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0) return fail("no export table");
    auto* exports = at_rva<IMAGE_EXPORT_DIRECTORY>(module, directory.VirtualAddress);
    std::set<std::string> names;
    auto* name_rvas = at_rva<DWORD>(module, exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(at_rva<char>(module, name_rvas[i]));
    const std::set<std::string> expected{"ImportTable", "Linkage"};
    if (names != expected || exports->NumberOfFunctions != 2) {
        std::string listed;
        for (const auto& name : names) listed += " " + name;
        return fail("exports are" + listed + " (" + std::to_string(exports->NumberOfFunctions) + " entries)");
    }
    std::printf("ok exports exactly Linkage and ImportTable\n");
}

std::map<unsigned, Bitmap> read_expected(const char* path) {
    std::map<unsigned, Bitmap> expected;
    std::ifstream in(path);
    if (!in) {
        fail(std::string("cannot read ") + path);
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

BOOL CALLBACK collect_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name)) {
        reinterpret_cast<std::set<unsigned>*>(ids)->insert(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    } else {
        fail(std::string("bitmap resource named \"") + name + "\", not by number");
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

void check_bitmaps(HMODULE module, const char* expected_path, const panel::GaugeSession& session) {
    std::map<unsigned, Bitmap> expected = read_expected(expected_path);
    std::set<unsigned> present;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(2), collect_name, reinterpret_cast<LONG_PTR>(&present));

    for (unsigned id : present) {
        if (!expected.count(id)) fail("unexpected bitmap " + std::to_string(id));
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(id), collect_language,
                               reinterpret_cast<LONG_PTR>(&languages));
        if (languages != std::vector<WORD>{1033}) fail("bitmap " + std::to_string(id) + " is not in language 1033 alone");
    }
    for (const auto& [id, want] : expected) {
        Bitmap got;
        if (!read_bitmap(module, id, got)) {
            fail("bitmap " + std::to_string(id) + " missing or not a bitmap");
        } else if (!(got == want)) {
            fail("bitmap " + std::to_string(id) + " is " + std::to_string(got.width) + "x" +
                 std::to_string(got.height) + " at " + std::to_string(got.bits) + " bits, expected " +
                 std::to_string(want.width) + "x" + std::to_string(want.height) + " at " +
                 std::to_string(want.bits));
        }
    }
    for (ElementHeader* element : session.view().elements()) {
        if (element->resource_id != NO_BITMAP && !present.count(element->resource_id)) {
            fail("an element names bitmap " + std::to_string(element->resource_id) + ", which is missing");
        }
    }
    std::printf("ok %zu bitmaps checked\n", expected.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MODULE EXPECTED_BITMAPS\n", argv[0]);
        return 2;
    }
    try {
        panel::GaugeSession session(argv[1]);
        auto module = static_cast<HMODULE>(session.module().library().handle());
        check_exports(module);
        check_bitmaps(module, argv[2], session);
        check_stdcall(session);
        check_entry(module);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 2;
    }
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
