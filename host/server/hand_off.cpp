#include "hand_off.h"

#include <cstring>
#include <utility>

namespace panel::server {

void HandOff::want_views(std::set<View> views) {
    const std::lock_guard lock(mutex_);
    views_ = std::move(views);
    std::erase_if(slots_, [this](const auto& slot) { return !views_.contains(slot.first); });
}

std::set<View> HandOff::wanted_views() const {
    const std::lock_guard lock(mutex_);
    return views_;
}

void HandOff::put_picture(View view, const frontend::PictureView& picture) {
    const std::lock_guard lock(mutex_);
    if (!views_.contains(view) || !picture.pixels) return;
    Picture& into = slots_[view].picture;
    into.number = ++pictures_;
    into.width = picture.width;
    into.height = picture.height;
    into.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(&into.pixels[static_cast<size_t>(y) * picture.width], picture.pixels + y * picture.stride,
                    sizeof(uint32_t) * picture.width);
    }
    slots_[view].fresh = true;
}

void HandOff::put_state(const frontend::FinishedFrame& frame) {
    const std::lock_guard lock(mutex_);
    state_.frame = frame.number;
    if (state_.status != frame.status) state_.status = frame.status;
    state_.paused = frame.paused;
    state_.when = std::chrono::steady_clock::now();
}

bool HandOff::take_picture(View view, Picture& into) {
    const std::lock_guard lock(mutex_);
    const auto slot = slots_.find(view);
    if (slot == slots_.end() || !slot->second.fresh) return false;
    std::swap(into, slot->second.picture);
    slot->second.fresh = false;
    return true;
}

FlightState HandOff::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

uint64_t HandOff::ask_state() {
    const std::lock_guard lock(mutex_);
    if (asked_ == answered_) ++asked_;
    return asked_;
}

bool HandOff::state_asked() const {
    const std::lock_guard lock(mutex_);
    return asked_ != answered_;
}

void HandOff::answer_state(std::string answer) {
    const std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
    answered_ = asked_;
}

std::optional<std::string> HandOff::answer_since(uint64_t number) const {
    const std::lock_guard lock(mutex_);
    if (answered_ < number) return std::nullopt;
    return answer_;
}

}  // namespace panel::server
