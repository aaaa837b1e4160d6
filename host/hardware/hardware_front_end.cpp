#include "hardware_front_end.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <utility>

namespace panel::hardware {
namespace {

using frontend::InputEvent;

constexpr HatDirection directions[] = {HatDirection::up, HatDirection::right, HatDirection::down, HatDirection::left};

DeviceId identify(SDL_Joystick* joystick) {
    const char* name = SDL_JoystickName(joystick);
    char guid[33] = {};
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof guid);
    return {name ? name : "", guid};
}

}  // namespace

HardwareFrontEnd::HardwareFrontEnd(window::SdlEventPump& events, Bindings bindings, Clock clock)
    : events_(events), binder_(std::move(bindings)), clock_(std::move(clock)) {
    sink_ = [this](InputEvent event) {
        event.from = this;
        pending_.push(std::move(event));
    };
    if (std::optional<std::string> problem = events_.start_joysticks()) pending_.push(InputEvent::note(*problem, this));
    listening_ = events_.listen([this](const SDL_Event& event) { take(event); });
}

HardwareFrontEnd::~HardwareFrontEnd() {
    events_.forget(listening_);
    for (auto& [id, opened] : opened_) SDL_JoystickClose(opened.joystick);
}

double HardwareFrontEnd::now(uint32_t timestamp) const {
    return clock_ ? clock_() : static_cast<double>(timestamp);
}

void HardwareFrontEnd::poll(frontend::InputQueue& input) {
    events_.pump();
    binder_.tick(now(SDL_GetTicks()), sink_);
    if (first_poll_) {
        // By now every device present has been announced.
        first_poll_ = false;
        for (const Device& device : binder_.devices()) {
            const bool present = std::any_of(opened_.begin(), opened_.end(), [&](const auto& entry) {
                return device.matches(entry.second.device.name, entry.second.device.guid);
            });
            if (!present) sink_(InputEvent::note("joystick " + written(device) + " is not plugged in (yet)"));
        }
    }
    pending_.take(taken_);
    for (InputEvent& event : taken_) input.push(std::move(event));
}

void HardwareFrontEnd::take(const SDL_Event& event) {
    switch (event.type) {
        case SDL_JOYDEVICEADDED: plugged_in(event.jdevice.which); return;
        case SDL_JOYDEVICEREMOVED: pulled_out(event.jdevice.which); return;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.key.repeat) return;
            binder_.key(event.key.keysym.sym, event.type == SDL_KEYDOWN, now(event.key.timestamp), sink_);
            return;
        default: break;
    }
    auto found = opened_.end();
    if (event.type == SDL_JOYBUTTONDOWN || event.type == SDL_JOYBUTTONUP) found = opened_.find(event.jbutton.which);
    else if (event.type == SDL_JOYHATMOTION) found = opened_.find(event.jhat.which);
    else if (event.type == SDL_JOYAXISMOTION) found = opened_.find(event.jaxis.which);
    // SDL lets go of every button and centres every axis of a device pulled out: that is no
    // input, and would press what a release or a lever's middle presses.
    if (found == opened_.end() || !SDL_JoystickGetAttached(found->second.joystick)) return;
    Opened& opened = found->second;
    if (event.type == SDL_JOYAXISMOTION) {
        binder_.axis(opened.device, event.jaxis.axis, event.jaxis.value, sink_);
    } else if (event.type == SDL_JOYHATMOTION) {
        if (event.jhat.hat >= opened.hats.size()) return;
        const uint8_t before = std::exchange(opened.hats[event.jhat.hat], event.jhat.value);
        // A diagonal is two directions held at once.
        for (HatDirection direction : directions) {
            const auto bit = static_cast<uint8_t>(direction);
            if ((before & bit) != (event.jhat.value & bit)) {
                binder_.hat(opened.device, event.jhat.hat, direction, (event.jhat.value & bit) != 0,
                            now(event.jhat.timestamp), sink_);
            }
        }
    } else {
        binder_.button(opened.device, event.jbutton.button, event.type == SDL_JOYBUTTONDOWN,
                       now(event.jbutton.timestamp), sink_);
    }
}

void HardwareFrontEnd::plugged_in(int index) {
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (!joystick) {
        sink_(InputEvent::note(std::string("a joystick was plugged in but cannot be opened: ") + SDL_GetError()));
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
    if (opened_.count(id)) {
        SDL_JoystickClose(joystick);  // announced twice: it is open already
        return;
    }
    Opened opened{joystick, identify(joystick), std::vector<uint8_t>(std::max(0, SDL_JoystickNumHats(joystick)))};
    const Device named{.name = opened.device.name};
    sink_(InputEvent::note("joystick " + written(named) + " plugged in" +
                           (binder_.binds(opened.device) ? "" : " (nothing is bound to it)")));
    // A lever stands somewhere already: its selector is set to match.
    for (int axis = 0; axis < SDL_JoystickNumAxes(joystick); ++axis)
        binder_.axis(opened.device, axis, SDL_JoystickGetAxis(joystick, axis), sink_);
    opened_.emplace(id, std::move(opened));
}

void HardwareFrontEnd::pulled_out(SDL_JoystickID id) {
    const auto found = opened_.find(id);
    if (found == opened_.end()) return;
    binder_.forget(found->second.device);
    sink_(InputEvent::note("joystick " + written(Device{.name = found->second.device.name}) + " pulled out"));
    SDL_JoystickClose(found->second.joystick);
    opened_.erase(found);
}

}  // namespace panel::hardware
