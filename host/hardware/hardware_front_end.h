// A cockpit's knobs, buttons, hats and levers as a front end: SDL's joystick and key events,
// taken from the one event pump, worked through the bindings into controls pressed and turned.
// Devices are opened as they are plugged in and closed as they are pulled out, each said on the
// status line; it shows nothing and needs no window.
#pragma once

#include <SDL2/SDL_joystick.h>

#include <functional>
#include <map>
#include <vector>

#include "bindings_file.h"
#include "front_end.h"
#include "input_binder.h"
#include "input_queue.h"
#include "sdl_event_pump.h"

namespace panel::hardware {

class HardwareFrontEnd final : public frontend::FrontEnd {
public:
    // Milliseconds, for a test's own clock; without one, SDL's event times.
    using Clock = std::function<double()>;

    // Starts SDL's joysticks on `events`, which must outlive the front end. Joysticks that cannot
    // be read here are said once on the status line; keys still work.
    HardwareFrontEnd(window::SdlEventPump& events, Bindings bindings, Clock clock = {});
    ~HardwareFrontEnd() override;
    HardwareFrontEnd(const HardwareFrontEnd&) = delete;
    HardwareFrontEnd& operator=(const HardwareFrontEnd&) = delete;

    frontend::Capabilities capabilities() const override { return {}; }
    void show(const frontend::FinishedFrame&) override {}
    void poll(frontend::InputQueue& input) override;

private:
    struct Opened {
        SDL_Joystick* joystick = nullptr;
        DeviceId device;
        std::vector<uint8_t> hats;
    };
    void take(const SDL_Event& event);
    void plugged_in(int index);
    void pulled_out(SDL_JoystickID id);
    double now(uint32_t timestamp) const;

    window::SdlEventPump& events_;
    InputBinder binder_;
    Clock clock_;
    std::map<SDL_JoystickID, Opened> opened_;
    frontend::InputQueue pending_;
    std::vector<frontend::InputEvent> taken_;
    InputBinder::Sink sink_;
    bool first_poll_ = true;
    int listening_ = 0;
};

}  // namespace panel::hardware
