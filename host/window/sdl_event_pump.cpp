#include "sdl_event_pump.h"

#include <SDL2/SDL.h>

namespace panel::window {

int SdlEventPump::listen(Listener listener) {
    listeners_.emplace(next_, std::move(listener));
    return next_++;
}

void SdlEventPump::forget(int id) {
    listeners_.erase(id);
}

void SdlEventPump::pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        for (const auto& [id, listener] : listeners_) listener(event);
    }
}

}  // namespace panel::window
