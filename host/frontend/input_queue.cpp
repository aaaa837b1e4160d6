#include "input_queue.h"

#include <utility>

namespace panel::frontend {

InputEvent InputEvent::click(double x, double y, FrontEnd* from) {
    return {.kind = Kind::click, .x = x, .y = y, .from = from};
}

InputEvent InputEvent::wheel(double x, double y, int notches, FrontEnd* from) {
    return {.kind = Kind::wheel, .x = x, .y = y, .notches = notches, .from = from};
}

InputEvent InputEvent::hover(double x, double y, FrontEnd* from) {
    return {.kind = Kind::hover, .x = x, .y = y, .from = from};
}

InputEvent InputEvent::press(std::string control, FrontEnd* from) {
    return {.kind = Kind::press, .control = std::move(control), .from = from};
}

InputEvent InputEvent::turn(std::string control, int notches, FrontEnd* from) {
    return {.kind = Kind::turn, .notches = notches, .control = std::move(control), .from = from};
}

InputEvent InputEvent::pressed(KeyAction key, FrontEnd* from) {
    return {.kind = Kind::key, .key = key, .from = from};
}

InputEvent InputEvent::closed(FrontEnd* from) {
    return {.kind = Kind::close, .from = from};
}

InputEvent InputEvent::note(std::string text, FrontEnd* from) {
    return {.kind = Kind::note, .control = std::move(text), .from = from};
}

void InputQueue::push(InputEvent event) {
    const std::lock_guard lock(mutex_);
    // Only where the pointer is now matters for its cursor.
    if (event.kind == InputEvent::Kind::hover && !pending_.empty() && pending_.back().kind == InputEvent::Kind::hover &&
        pending_.back().from == event.from) {
        pending_.back() = std::move(event);
        return;
    }
    if (pending_.size() >= bound) {
        ++dropped_;
        return;
    }
    pending_.push_back(std::move(event));
}

void InputQueue::take(std::vector<InputEvent>& into) {
    into.clear();
    const std::lock_guard lock(mutex_);
    std::swap(into, pending_);
}

size_t InputQueue::dropped() const {
    const std::lock_guard lock(mutex_);
    return dropped_;
}

}  // namespace panel::frontend
