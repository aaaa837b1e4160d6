#include "input_binder.h"

#include <algorithm>
#include <cmath>

namespace panel::hardware {
namespace {

using frontend::InputEvent;

bool same(const Input& bound, const Input& seen, const DeviceId* device) {
    if (bound.kind != seen.kind) return false;
    if (bound.kind == Input::Kind::key) return bound.key == seen.key;
    return device && bound.number == seen.number && (bound.kind != Input::Kind::hat || bound.hat == seen.hat) &&
           bound.device.matches(device->name, device->guid);
}

// How far past a position's edge the axis must go before the lever is in the next position,
// in positions: a lever resting on an edge does not flicker between two.
constexpr double lever_margin = 0.15;

}  // namespace

InputBinder::InputBinder(Bindings bindings) : bindings_(std::move(bindings)), states_(bindings_.bindings.size()) {}

void InputBinder::key(int32_t key, bool down, double ms, const Sink& sink) {
    edge({.kind = Input::Kind::key, .key = key}, nullptr, down, ms, sink);
}

void InputBinder::button(const DeviceId& device, int number, bool down, double ms, const Sink& sink) {
    edge({.kind = Input::Kind::button, .number = number}, &device, down, ms, sink);
}

void InputBinder::hat(const DeviceId& device, int number, HatDirection direction, bool down, double ms,
                      const Sink& sink) {
    edge({.kind = Input::Kind::hat, .number = number, .hat = direction}, &device, down, ms, sink);
}

void InputBinder::edge(const Input& seen, const DeviceId* device, bool down, double ms, const Sink& sink) {
    for (size_t i = 0; i < bindings_.bindings.size(); ++i) {
        const Binding& binding = bindings_.bindings[i];
        State& state = states_[i];
        const std::string& control = binding.controls.front();
        if (binding.action == Binding::Action::encoder) {
            const bool clockwise = same(binding.input, seen, device);
            if (!down || (!clockwise && !same(binding.anticlockwise, seen, device))) continue;
            const int direction = clockwise ? 1 : -1;
            // A detent hard on the heels of one the same way: the knob is spun.
            const bool fast = binding.fast_ms > 0 && state.last_detent && state.last_direction == direction &&
                              ms - *state.last_detent < binding.fast_ms;
            state.last_detent = ms;
            state.last_direction = direction;
            sink(InputEvent::turn(control, direction * (fast ? binding.fast_times : 1)));
            continue;
        }
        if (!same(binding.input, seen, device)) continue;
        if (binding.action == Binding::Action::turn) {
            if (down) sink(InputEvent::turn(control, binding.notches));
        } else if (binding.long_control.empty()) {
            if (down) sink(InputEvent::press(control));
        } else if (down) {
            state.down_at = ms;
            state.long_sent = false;
        } else if (state.down_at) {
            // Let go before it counted as long: the short press.
            if (!state.long_sent) sink(InputEvent::press(control));
            state.down_at.reset();
        }
    }
}

void InputBinder::tick(double ms, const Sink& sink) {
    for (size_t i = 0; i < bindings_.bindings.size(); ++i) {
        State& state = states_[i];
        const Binding& binding = bindings_.bindings[i];
        if (state.down_at && !state.long_sent && ms - *state.down_at >= binding.long_ms) {
            state.long_sent = true;
            sink(InputEvent::press(binding.long_control));
        }
    }
}

void InputBinder::axis(const DeviceId& device, int number, int value, const Sink& sink) {
    const Input seen{.kind = Input::Kind::axis, .number = number};
    for (size_t i = 0; i < bindings_.bindings.size(); ++i) {
        const Binding& binding = bindings_.bindings[i];
        if (binding.action != Binding::Action::lever || !same(binding.input, seen, &device)) continue;
        State& state = states_[i];
        const int positions = static_cast<int>(binding.controls.size());
        // Where the axis stands, in positions from the lowest: 0 to `positions`.
        const double at = (std::clamp(value, -32768, 32767) + 32768.0) * positions / 65536.0;
        const int position = std::min(static_cast<int>(at), positions - 1);
        if (state.position) {
            if (position == *state.position) continue;
            if (position > *state.position && at < *state.position + 1 + lever_margin) continue;
            if (position < *state.position && at > *state.position - lever_margin) continue;
        }
        state.position = position;
        sink(InputEvent::press(binding.controls[position]));
    }
}

void InputBinder::forget(const DeviceId& device) {
    for (size_t i = 0; i < bindings_.bindings.size(); ++i) {
        const Binding& binding = bindings_.bindings[i];
        if (binding.input.kind == Input::Kind::key || !binding.input.device.matches(device.name, device.guid)) continue;
        states_[i] = {};
    }
}

bool InputBinder::binds(const DeviceId& device) const {
    return std::any_of(bindings_.bindings.begin(), bindings_.bindings.end(), [&](const Binding& binding) {
        return binding.input.kind != Input::Kind::key && binding.input.device.matches(device.name, device.guid);
    });
}

std::vector<Device> InputBinder::devices() const {
    std::vector<Device> named;
    for (const Binding& binding : bindings_.bindings) {
        if (binding.input.kind == Input::Kind::key) continue;
        if (std::find(named.begin(), named.end(), binding.input.device) == named.end())
            named.push_back(binding.input.device);
    }
    return named;
}

}  // namespace panel::hardware
