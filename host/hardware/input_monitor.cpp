#include "input_monitor.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace panel::hardware {
namespace {

// An axis is said again once it has moved this far (of 65536) since it last was: a lever
// pulled is one line, not hundreds.
constexpr int axis_step = 16384;

std::string description(SDL_Joystick* joystick, const DeviceId& device) {
    return "joystick " + written(Device{.name = device.name}) + " (GUID " + device.guid +
           "): " + std::to_string(SDL_JoystickNumButtons(joystick)) + " buttons, " +
           std::to_string(SDL_JoystickNumHats(joystick)) + " hats, " + std::to_string(SDL_JoystickNumAxes(joystick)) +
           " axes";
}

// A small window for the keys, which SDL reports only to a window with the focus.
class KeyWindow {
public:
    KeyWindow() {
        const char* display = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if ((!display || !*display) && (!wayland || !*wayland)) return;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
        video_ = true;
        window_ = SDL_CreateWindow("panelhost controls: keys typed here are shown", SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, 480, 60, 0);
    }
    ~KeyWindow() {
        if (window_) SDL_DestroyWindow(window_);
        if (video_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    KeyWindow(const KeyWindow&) = delete;
    KeyWindow& operator=(const KeyWindow&) = delete;
    bool open() const { return window_ != nullptr; }

private:
    bool video_ = false;
    SDL_Window* window_ = nullptr;
};

}  // namespace

InputMonitor::InputMonitor(window::SdlEventPump& events, Line line) : events_(events), line_(std::move(line)) {
    if (std::optional<std::string> problem = events_.start_joysticks()) throw std::runtime_error(*problem);
    listening_ = events_.listen([this](const SDL_Event& event) { take(event); });
}

InputMonitor::~InputMonitor() {
    events_.forget(listening_);
    for (auto& [id, opened] : opened_) SDL_JoystickClose(opened.joystick);
}

void InputMonitor::take(const SDL_Event& event) {
    if (event.type == SDL_JOYDEVICEADDED) {
        SDL_Joystick* joystick = SDL_JoystickOpen(event.jdevice.which);
        if (!joystick) {
            line_(std::string("# a joystick cannot be opened: ") + SDL_GetError());
            return;
        }
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        if (opened_.count(id)) {
            SDL_JoystickClose(joystick);
            return;
        }
        Opened opened{joystick, {}, {}};
        const char* name = SDL_JoystickName(joystick);
        char guid[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(joystick), guid, sizeof guid);
        opened.device = {name ? name : "", guid};
        for (int axis = 0; axis < SDL_JoystickNumAxes(joystick); ++axis)
            opened.axes[axis] = SDL_JoystickGetAxis(joystick, axis);
        line_("# plugged in: " + description(joystick, opened.device));
        opened_.emplace(id, std::move(opened));
        return;
    }
    if (event.type == SDL_JOYDEVICEREMOVED) {
        const auto found = opened_.find(event.jdevice.which);
        if (found == opened_.end()) return;
        line_("# pulled out: joystick " + written(Device{.name = found->second.device.name}));
        SDL_JoystickClose(found->second.joystick);
        opened_.erase(found);
        return;
    }
    if (event.type == SDL_KEYDOWN && !event.key.repeat) {
        line_(written(Input{.kind = Input::Kind::key, .key = event.key.keysym.sym}));
        return;
    }
    SDL_JoystickID which = -1;
    if (event.type == SDL_JOYBUTTONDOWN) which = event.jbutton.which;
    else if (event.type == SDL_JOYHATMOTION) which = event.jhat.which;
    else if (event.type == SDL_JOYAXISMOTION) which = event.jaxis.which;
    const auto found = opened_.find(which);
    if (found == opened_.end()) return;
    Opened& opened = found->second;
    Input input{.device = {.name = opened.device.name}};
    if (event.type == SDL_JOYBUTTONDOWN) {
        input.kind = Input::Kind::button;
        input.number = event.jbutton.button;
    } else if (event.type == SDL_JOYHATMOTION) {
        // Said as the direction pressed; centring again says nothing.
        input.kind = Input::Kind::hat;
        input.number = event.jhat.hat;
        const uint8_t value = event.jhat.value;
        if (value & SDL_HAT_UP) input.hat = HatDirection::up;
        else if (value & SDL_HAT_DOWN) input.hat = HatDirection::down;
        else if (value & SDL_HAT_LEFT) input.hat = HatDirection::left;
        else if (value & SDL_HAT_RIGHT) input.hat = HatDirection::right;
        else return;
    } else {
        input.kind = Input::Kind::axis;
        input.number = event.jaxis.axis;
        int& said = opened.axes[event.jaxis.axis];
        if (std::abs(event.jaxis.value - said) < axis_step) return;
        said = event.jaxis.value;
    }
    line_(written(input));
}

int watch_inputs(std::ostream& out, const std::function<bool()>& stop) {
    window::SdlEventPump events;
    InputMonitor monitor(events, [&out](const std::string& line) { out << line << std::endl; });
    const KeyWindow keys;
    out << "# the devices present, then each input as it arrives (Ctrl-C ends)" << std::endl;
    if (!keys.open()) out << "# no display: keys are not read, only joysticks" << std::endl;
    while (!stop()) {
        events.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}

}  // namespace panel::hardware
