#include "gauge_session.h"

#include <stdexcept>
#include <string>

#include "in_process_gauge.h"

namespace panel {

GaugeSession::GaugeSession(const std::filesystem::path& module_path, const Catalogue& catalogue,
                           ModuleInstance instance)
    : GaugeSession(std::make_unique<InProcessGauge>(module_path, instance), catalogue) {}

GaugeSession::GaugeSession(std::unique_ptr<GaugeInstance> gauge, const Catalogue& catalogue)
    : variables_(catalogue), gauge_(std::move(gauge)), driver_(*gauge_, variables_) {
    driver_.add_observer(*this);
    driver_.open();
}

GaugeSession::~GaugeSession() {
    try {
        driver_.close();
    } catch (...) {
        // A destructor has no one to report to; the gauge is going away either way.
    }
}

void GaugeSession::phase_done(Phase, const EventLog& log) {
    history_.append(log);
}

const MouseAreaRecord* GaugeSession::click(int32_t x, int32_t y) {
    ClickOutcome outcome = driver_.click(x, y);
    return outcome.area ? &records().mouse_areas[*outcome.area] : nullptr;
}

const ElementRecord& GaugeSession::record(size_t number) const {
    if (number == 0 || number > element_count()) {
        throw std::out_of_range("no element " + std::to_string(number) + " in gauge " + records().name);
    }
    return records().elements[number - 1];
}

const ElementState& GaugeSession::state(size_t number) const {
    if (number == 0 || number > element_count()) {
        throw std::out_of_range("no element " + std::to_string(number) + " in gauge " + records().name);
    }
    return gauge_->elements()[number - 1];
}

}  // namespace panel
