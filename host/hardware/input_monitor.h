// `panelhost controls`: the joysticks plugged in, then every input as it arrives, written as the
// bindings file writes it, so that a builder writes the file by pressing things. Everything else
// it says is a comment of that file.
#pragma once

#include <SDL2/SDL_joystick.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "input_binder.h"
#include "sdl_event_pump.h"

namespace panel::hardware {

class InputMonitor {
public:
    using Line = std::function<void(const std::string& line)>;
    // Starts SDL's joysticks on `events`, which must outlive the monitor; throws
    // std::runtime_error with one line when it cannot.
    InputMonitor(window::SdlEventPump& events, Line line);
    ~InputMonitor();
    InputMonitor(const InputMonitor&) = delete;
    InputMonitor& operator=(const InputMonitor&) = delete;

private:
    struct Opened {
        SDL_Joystick* joystick = nullptr;
        DeviceId device;
        std::map<int, int> axes;  // the value each axis was last said at
    };
    void take(const SDL_Event& event);

    window::SdlEventPump& events_;
    Line line_;
    std::map<SDL_JoystickID, Opened> opened_;
    int listening_ = 0;
};

// Lists and prints until `stop` says so; with a display, a small window takes keys too.
// Returns the exit status.
int watch_inputs(std::ostream& out, const std::function<bool()>& stop);

}  // namespace panel::hardware
