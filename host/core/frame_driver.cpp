#include "frame_driver.h"

#include <algorithm>
#include <limits>

namespace panel {

const char* phase_name(Phase phase) {
    switch (phase) {
        case Phase::open: return "open";
        case Phase::pre_update: return "pre-update";
        case Phase::elements: return "elements";
        case Phase::pre_draw: return "pre-draw";
        case Phase::service: return "service";
        case Phase::click: return "click";
        case Phase::close: return "close";
    }
    return "?";
}

FrameDriver::FrameDriver(GaugeInstance& gauge, VariableStore& variables)
    : gauge_(gauge), variables_(variables), mouse_(gauge.records()) {}

void FrameDriver::add_observer(PhaseObserver& observer) {
    observers_.push_back(&observer);
}

void FrameDriver::remove_observer(PhaseObserver& observer) {
    std::erase(observers_, &observer);
}

template <typename Call>
void FrameDriver::run(Phase phase, Call&& call) {
    log_.clear();
    call(HostCalls{variables_, log_});
    notify(phase, log_);
}

void FrameDriver::notify(Phase phase, const EventLog& log) {
    for (PhaseObserver* observer : observers_) observer->phase_done(phase, log);
}

void FrameDriver::open() {
    run(Phase::open, [&](HostCalls calls) { gauge_.open(calls); });
}

void FrameDriver::close() {
    run(Phase::close, [&](HostCalls calls) { gauge_.close(calls); });
    variables_.end_frame();
}

void FrameDriver::run_frame() {
    log_.clear();
    elements_log_.clear();
    pre_draw_log_.clear();
    gauge_.run_frame(variables_, {log_, elements_log_, pre_draw_log_});
    notify(Phase::pre_update, log_);
    notify(Phase::elements, elements_log_);
    notify(Phase::pre_draw, pre_draw_log_);
    variables_.end_frame();
    ++frames_;
}

void FrameDriver::pre_update() {
    run(Phase::pre_update, [&](HostCalls calls) { gauge_.call_gauge(SERVICE_PRE_UPDATE, calls); });
}

void FrameDriver::update_elements() {
    run(Phase::elements, [&](HostCalls calls) { gauge_.update_elements(calls); });
}

void FrameDriver::pre_draw() {
    run(Phase::pre_draw, [&](HostCalls calls) { gauge_.call_gauge(SERVICE_PRE_DRAW, calls); });
    variables_.end_frame();
}

void FrameDriver::service(int32_t service_id) {
    run(Phase::service, [&](HostCalls calls) { gauge_.call_gauge(service_id, calls); });
}

ClickOutcome FrameDriver::click(int32_t x, int32_t y, uint32_t event_class) {
    ClickOutcome outcome{mouse_.area_at(x, y), false};
    if (outcome.area && mouse_.takes(*outcome.area, event_class)) {
        outcome.handled = true;
        run(Phase::click, [&](HostCalls calls) { gauge_.click_area(*outcome.area, event_class, x, y, calls); });
    }
    return outcome;
}

std::pair<int32_t, int32_t> FrameDriver::middle_of(const MouseAreaRecord& area) {
    // 64-bit: a huge area in a malformed record must not overflow.
    auto middle = [](int32_t start, int32_t length) {
        const int64_t at = int64_t{start} + length / 2;
        return static_cast<int32_t>(
            std::clamp<int64_t>(at, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    };
    return {middle(area.x, area.width), middle(area.y, area.height)};
}

}  // namespace panel
