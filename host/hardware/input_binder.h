// What the bound inputs do, from their presses, releases and axis values as they come: a press
// presses its control (or the long-press control when held long enough), a turn turns its ring,
// an encoder's detents turn its ring one notch each or more when they come fast, a lever's axis
// presses the control of the position it is moved into. Knows nothing of SDL; times are in
// milliseconds on any clock that only goes forward.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bindings_file.h"
#include "input_queue.h"

namespace panel::hardware {

// A device plugged in, as SDL names it.
struct DeviceId {
    std::string name;
    std::string guid;
};

class InputBinder {
public:
    using Sink = std::function<void(frontend::InputEvent)>;

    explicit InputBinder(Bindings bindings);

    void key(int32_t key, bool down, double ms, const Sink& sink);
    void button(const DeviceId& device, int number, bool down, double ms, const Sink& sink);
    void hat(const DeviceId& device, int number, HatDirection direction, bool down, double ms, const Sink& sink);
    void axis(const DeviceId& device, int number, int value, const Sink& sink);
    // Sends the long-press control of a push held long enough.
    void tick(double ms, const Sink& sink);
    // A device pulled out: what was held on it is let go without doing anything.
    void forget(const DeviceId& device);

    // Whether any binding names the device, and every device named.
    bool binds(const DeviceId& device) const;
    std::vector<Device> devices() const;

private:
    struct State {
        std::optional<double> down_at;  // press with a long press: held since
        bool long_sent = false;
        std::optional<double> last_detent;  // encoder
        int last_direction = 0;
        std::optional<int> position;  // lever
    };
    void edge(const Input& seen, const DeviceId* device, bool down, double ms, const Sink& sink);

    Bindings bindings_;
    std::vector<State> states_;
};

}  // namespace panel::hardware
