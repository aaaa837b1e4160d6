// Platform layer for the 32-bit Windows modules: the DLL entry and the DME frequency text
// through USER32's formatter, as the module has always composed it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}

void platform_compose_frequency(char* text, size_t capacity, int d1, int d2, int d3, int d4) {
    // Four values of at most two digits each: at most 10 characters, well inside any buffer
    // a caller passes, so the unbounded formatter cannot overrun.
    char composed[64];
    wsprintfA(composed, "1%d%d.%d%d", d1, d2, d3, d4);
    lstrcpynA(text, composed, (int)capacity);
}
