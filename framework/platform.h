// The thin platform layer between gauge code and the system it runs on.
//
// Does: the calling convention of every host-called function (stdcall on 32-bit Windows,
// the default elsewhere), the export marking of the two records the host looks up, the cue
// player's system call, and the frequency text composer of the DME.
// 32-bit Windows: PlaySoundA comes from WINMM and wsprintfA from USER32.
// Elsewhere: the module leaves PlaySoundA undefined, for the loading process to provide,
// exactly as the Windows module imports it; wsprintfA is replaced by a bounded stand-in.
// Nothing else in gauge code may depend on the platform.
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define GAUGE_CALL __stdcall
#else
#define GAUGE_CALL
#endif

#if defined(_WIN32)
#define GAUGE_EXPORT extern "C" __declspec(dllexport)
#else
#define GAUGE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// PlaySoundA flags: the first argument names a file; return at once and play in the background.
#define CUE_SND_FILENAME 0x00020000u
#define CUE_SND_ASYNC 0x00000001u

#if defined(_WIN32)
extern "C" __declspec(dllimport) int __stdcall PlaySoundA(const char* path, void* module, uint32_t flags);
#else
// Provided by the process that loads the module.
extern "C" int PlaySoundA(const char* path, void* module, uint32_t flags);
#endif

// Writes "1" followed by the four digits and a point after the second, as the Windows
// formatter does with "1%d%d.%d%d"; never writes more than `capacity` bytes, NUL included.
void platform_compose_frequency(char* text, size_t capacity, int d1, int d2, int d3, int d4);
