// The one place SDL's event queue is drained. SDL has a single queue for every window and
// device, so whoever polls it eats everyone's events: here each event goes to every listener,
// and a window, a second window and a joystick reader each take their own.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

union SDL_Event;

namespace panel::window {

class SdlEventPump {
public:
    using Listener = std::function<void(const SDL_Event& event)>;

    SdlEventPump() = default;
    ~SdlEventPump();
    SdlEventPump(const SdlEventPump&) = delete;
    SdlEventPump& operator=(const SdlEventPump&) = delete;

    // Joysticks' events from now on, with or without a window, and whichever window has the
    // focus (a cockpit's knobs work while another program is in front). Each device present is
    // announced by an event of its own. One line when SDL cannot read joysticks here.
    std::optional<std::string> start_joysticks();

    // Until `forget(id)`; the listener must not outlive that.
    int listen(Listener listener);
    void forget(int id);
    // Hands every event waiting to every listener, in order.
    void pump();

private:
    std::map<int, Listener> listeners_;
    int next_ = 1;
    bool joysticks_ = false;
};

}  // namespace panel::window
