/* The one function a native gauge module imports from the process that loads it, as the
   Windows module imports PlaySoundA from WINMM. This small shared library exports it and
   forwards every call to the handler the host sets, so that no host executable has to export
   symbols of its own. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*PanelPlaySoundHandler)(const char* path, uint32_t flags);

/* Sets the handler that every later PlaySoundA call reaches; NULL drops the calls. */
__attribute__((visibility("default"))) void panel_set_play_sound_handler(PanelPlaySoundHandler handler);

/* Returns 1, as the platform's call does once it has started a sound. */
__attribute__((visibility("default"))) int PlaySoundA(const char* path, void* module, uint32_t flags);

#ifdef __cplusplus
}
#endif
