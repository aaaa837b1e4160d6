#include "play_sound_shim.h"

#include <atomic>

namespace {

// The process has one PlaySoundA, so it has one handler; set once by the host before any
// module is loaded.
std::atomic<PanelPlaySoundHandler> handler{nullptr};

}  // namespace

extern "C" void panel_set_play_sound_handler(PanelPlaySoundHandler new_handler) {
    handler.store(new_handler);
}

extern "C" int PlaySoundA(const char* path, void*, uint32_t flags) {
    if (PanelPlaySoundHandler current = handler.load()) current(path, flags);
    return 1;
}
