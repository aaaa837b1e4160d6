#include "sdl_event_pump.h"

#include <SDL2/SDL.h>

namespace panel::window {

SdlEventPump::~SdlEventPump() {
    if (joysticks_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

std::optional<std::string> SdlEventPump::start_joysticks() {
    if (joysticks_) return std::nullopt;
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return std::string("cannot read joysticks: ") + SDL_GetError();
    joysticks_ = true;
    return std::nullopt;
}

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
