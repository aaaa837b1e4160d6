#include "scripted_front_end.h"

namespace panel::frontend {

ScriptedFrontEnd::ScriptedFrontEnd(Capabilities capabilities) : capabilities_(capabilities) {}

void ScriptedFrontEnd::at_frame(uint64_t frame, InputEvent event) {
    event.from = this;
    planned_.emplace(frame, std::move(event));
}

void ScriptedFrontEnd::show(const FinishedFrame& frame) {
    shown_.push_back(
        {frame.number, frame.simulated_seconds, picture_hash(frame.picture), frame.gauges.size(), frame.paused});
}

void ScriptedFrontEnd::poll(InputQueue& input) {
    if (shown_.empty()) return;
    const uint64_t last = shown_.back().number;
    for (auto due = planned_.begin(); due != planned_.end() && due->first <= last;) {
        input.push(std::move(due->second));
        due = planned_.erase(due);
    }
}

uint64_t picture_hash(const PictureView& picture) {
    if (picture.pixels == nullptr) return 0;
    uint64_t hash = 14695981039346656037ull;
    for (int row = 0; row < picture.height; ++row) {
        const uint8_t* bytes = picture.pixels + static_cast<ptrdiff_t>(row) * picture.stride;
        for (int i = 0; i < picture.width * 4; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    return hash;
}

}  // namespace panel::frontend
