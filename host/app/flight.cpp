#include "flight.h"

#include <stdexcept>

namespace panel::app {
namespace {

using scenario::WorldKind;

const char* world_name(WorldKind kind) {
    switch (kind) {
        case WorldKind::position: return "position";
        case WorldKind::altitude: return "altitude";
        case WorldKind::heading: return "heading";
        case WorldKind::speed: return "speed";
        case WorldKind::wind: return "wind";
        case WorldKind::utc: return "utc";
        case WorldKind::baro: return "baro";
        case WorldKind::obs: return "obs";
        case WorldKind::waypoint: return "waypoint";
        case WorldKind::dme: return "dme";
        case WorldKind::tune: return "tune";
        case WorldKind::supply: return "supply";
        case WorldKind::gps_status: return "gps_status";
    }
    return "?";
}

}  // namespace

Flight::Flight(Panel& panel, VariableStore& variables, sim::FlightSetup setup)
    : panel_(panel), variables_(variables), setup_(std::move(setup)) {
    panel_.add_observer(*this);
}

Flight::~Flight() {
    panel_.remove_observer(*this);
}

sim::World& Flight::world() {
    if (!world_) world_.emplace(setup_, variables_.catalogue());
    return *world_;
}

// The panel's first update, when it comes up: the world as set up, at 0 s. Gauges reset
// themselves then, so that a click the script makes before its first wait is not lost.
void Flight::open_panel() {
    if (opened_) return;
    opened_ = true;
    world().fill(variables_);
    apply_pins();
    if (frame_start_) frame_start_(0);
    panel_.run_frame();
    if (frame_end_) frame_end_(0);
}

void Flight::advance_frame() {
    open_panel();
    // The world moves on first, so that the gauges of update N see it at N/18 s, the time the
    // script's clock gives that update.
    sim::World& now = world();
    now.advance_frame();
    now.fill(variables_);
    apply_pins();
    ++frames_;
    if (frame_start_) frame_start_(frames_);
    panel_.run_frame();
    if (frame_end_) frame_end_(frames_);
}

double Flight::simulated_seconds() const {
    return static_cast<double>(frames_) * sim::World::frame_seconds;
}

double Flight::read_number(uint32_t id) const {
    return variables_.number(id);
}

void Flight::apply(uint32_t id, const Pin& pin) {
    if (const double* number = std::get_if<double>(&pin)) variables_.set_number(id, *number);
    else if (const int32_t* integer = std::get_if<int32_t>(&pin)) variables_.set_integer(id, *integer);
    else if (const std::string* text = std::get_if<std::string>(&pin)) variables_.set_text(id, *text);
    else variables_.set_null_text(id);
}

void Flight::apply_pins() {
    for (const auto& [id, pin] : pins_) apply(id, pin);
}

// A pin reaches the store at once, so that a low-level phase run before the next update
// already reads it.
void Flight::pin_number(uint32_t id, double value) {
    apply(id, pins_[id] = value);
}

void Flight::pin_integer(uint32_t id, int32_t value) {
    apply(id, pins_[id] = value);
}

void Flight::pin_text(uint32_t id, std::string_view text) {
    apply(id, pins_[id] = std::string(text));
}

void Flight::pin_null_text(uint32_t id) {
    apply(id, pins_[id] = NullText{});
}

void Flight::unpin(uint32_t id) {
    pins_.erase(id);
    variables_.clear(id);
    if (world_) world_->fill(variables_);
}

void Flight::fly(scenario::FlyTarget target, double value) {
    switch (target) {
        case scenario::FlyTarget::heading: world().fly_heading(value); break;
        case scenario::FlyTarget::altitude: world().fly_altitude(value); break;
        case scenario::FlyTarget::speed: world().fly_speed(value); break;
        case scenario::FlyTarget::vertical_speed: world().fly_vertical_speed(value); break;
    }
}

void Flight::world(const scenario::WorldStep& step) {
    if (!world_) {
        set_up(step);
        return;
    }
    // Once flying, the weather, the supply and the navigator's status may change; the rest is
    // where and how the flight began.
    switch (step.kind) {
        case WorldKind::wind: world_->set_wind(step.value, step.knots); return;
        case WorldKind::supply: world_->set_supply(step.on); return;
        case WorldKind::gps_status: world_->set_gps_status(step.integer); return;
        default:
            throw std::invalid_argument(std::string("world ") + world_name(step.kind) +
                                        " sets up the flight: give it before the first update");
    }
}

void Flight::set_up(const scenario::WorldStep& step) {
    switch (step.kind) {
        case WorldKind::position: setup_.start = {step.latitude, step.longitude}; break;
        case WorldKind::altitude: setup_.altitude_ft = step.value; break;
        case WorldKind::heading: setup_.heading_deg = step.value; break;
        case WorldKind::speed: setup_.airspeed_kt = step.value; break;
        case WorldKind::wind: setup_.wind = {step.value, step.knots}; break;
        case WorldKind::utc: {
            const int seconds = static_cast<int>(step.value);
            setup_.utc = {seconds / 3600, seconds / 60 % 60, seconds % 60};
            break;
        }
        case WorldKind::baro: setup_.baro_mb = step.value; break;
        case WorldKind::obs: setup_.obs_deg = step.value; break;
        case WorldKind::waypoint:
            // The script's plan replaces the default one; its first waypoint is where the first
            // leg starts.
            if (!waypoints_given_) setup_.flight_plan.clear();
            waypoints_given_ = true;
            setup_.flight_plan.push_back({step.ident, {step.latitude, step.longitude}});
            setup_.active_waypoint = setup_.flight_plan.size() > 1 ? 1 : 0;
            break;
        case WorldKind::dme:
            setup_.dme = {step.ident, step.value, {step.latitude, step.longitude}, step.elevation_ft.value_or(0.0),
                          step.range_nm};
            break;
        case WorldKind::tune: setup_.dme_tuned_mhz = step.value; break;
        case WorldKind::supply: setup_.supply_on = step.on; break;
        case WorldKind::gps_status: setup_.gps_status = step.integer; break;
    }
}

void Flight::click(size_t gauge, int32_t x, int32_t y) {
    open_panel();
    FrameDriver& driver = *panel_.at(gauge).driver;
    if (note_listener_) {
        // Before the click, so that what its handler asks for follows it in the trace.
        const std::optional<size_t> area = driver.mouse().area_at(x, y);
        note_listener_(panel_.at(gauge).alias + " click " + std::to_string(x) + "," + std::to_string(y) +
                       " area=" + (area ? std::to_string(*area + 1) : "none"));
    }
    driver.click(x, y);
}

void Flight::phase(size_t gauge, Phase which, int32_t service_id) {
    open_panel();
    FrameDriver& driver = *panel_.at(gauge).driver;
    switch (which) {
        case Phase::pre_update: driver.pre_update(); break;
        case Phase::elements: driver.update_elements(); break;
        case Phase::pre_draw: driver.pre_draw(); break;
        default: driver.service(service_id); break;
    }
}

const GaugeRecords& Flight::records(size_t gauge) const {
    return panel_.at(gauge).gauge->records();
}

const std::vector<ElementState>& Flight::elements(size_t gauge) {
    open_panel();  // before its first update a face shows nothing yet worth reading
    return panel_.at(gauge).gauge->elements();
}

void Flight::take_happenings(std::vector<scenario::Happening>& into) {
    for (scenario::Happening& happening : happenings_) into.push_back(std::move(happening));
    happenings_.clear();
}

void Flight::snapshot(const std::string& name, bool night) {
    if (snapshot_listener_) snapshot_listener_(name, night);
}

void Flight::note(const std::string& text) {
    if (note_listener_) note_listener_("note " + text);
}

void Flight::phase_done(size_t gauge, Phase, const EventLog& log) {
    const double now = simulated_seconds();
    for (const KeyEvent& event : log.events()) {
        happenings_.push_back({scenario::Happening::Kind::event, now, gauge, event.id, event.value, {}});
        if (!world().key_event(event)) {
            std::string line = panel_.at(gauge).alias + " sent event " +
                               describe_event(variables_.catalogue(), event.id) + ", which the world does not know";
            if (note_listener_) note_listener_(line);
            if (unknown_events_.size() < 100) unknown_events_.push_back(std::move(line));
        }
    }
    for (const CueRequest& cue : log.cues()) {
        happenings_.push_back({scenario::Happening::Kind::cue, now, gauge, 0, 0, cue.path});
    }
}

}  // namespace panel::app
