#include "flight.h"

#include <stdexcept>

namespace panel::app {

Flight::Flight(Panel& panel, VariableStore& variables, sim::FlightSetup setup)
    : panel_(panel),
      variables_(variables),
      own_world_(std::in_place, std::move(setup), variables.catalogue()),
      source_(*own_world_),
      world_source_(&*own_world_) {
    panel_.add_observer(*this);
}

Flight::Flight(Panel& panel, VariableStore& variables, FlightSource& source)
    : panel_(panel), variables_(variables), source_(source), world_source_(dynamic_cast<WorldSource*>(&source)) {
    panel_.add_observer(*this);
}

Flight::~Flight() {
    panel_.remove_observer(*this);
}

WorldSource& Flight::needs_world(const std::string& step) {
    if (world_source_ == nullptr) {
        throw std::invalid_argument(step + " needs the simulated world; here " + std::string(source_.name()) +
                                    " flies the aircraft");
    }
    return *world_source_;
}

sim::World& Flight::world() {
    return needs_world("the world").world();
}

// What the source has to say goes into the trace with the frame it happened in.
void Flight::pass_on_notes() {
    source_notes_.clear();
    source_.take_notes(source_notes_);
    for (const std::string& line : source_notes_) {
        tell(note_listeners_, line);
        tell(source_note_listeners_, line);
    }
}

// The panel's first update, when it comes up: the world as set up, at 0 s. Gauges reset
// themselves then, so that a click the script makes before its first wait is not lost.
void Flight::open_panel() {
    if (opened_) return;
    opened_ = true;
    source_.fill(variables_);
    apply_pins();
    tell(frame_start_, uint64_t{0});
    panel_.run_frame();
    tell(frame_end_, uint64_t{0});
}

void Flight::advance_frame() {
    open_panel();
    // The source moves on first, so that the gauges of update N see it at N/18 s, the time the
    // script's clock gives that update.
    source_.advance_frame();
    source_.fill(variables_);
    apply_pins();
    ++frames_;
    tell(frame_start_, frames_);
    pass_on_notes();
    panel_.run_frame();
    tell(frame_end_, frames_);
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
    if (opened_) source_.fill(variables_);
}

void Flight::autopilot(scenario::FlyTarget target, double value) {
    needs_world("fly").autopilot(target, value);
}

void Flight::world(const scenario::WorldStep& step) {
    needs_world("world").world_step(step);
}

void Flight::click(size_t gauge, int32_t x, int32_t y) {
    open_panel();
    FrameDriver& driver = *panel_.at(gauge).driver;
    if (!note_listeners_.empty()) {
        // Before the click, so that what its handler asks for follows it in the trace.
        const std::optional<size_t> area = driver.mouse().area_at(x, y);
        tell(note_listeners_, panel_.at(gauge).alias + " click " + std::to_string(x) + "," + std::to_string(y) +
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
    tell(snapshot_listeners_, name, night);
}

void Flight::note(const std::string& text) {
    tell(note_listeners_, "note " + text);
}

void Flight::phase_done(size_t gauge, Phase, const EventLog& log) {
    const double now = simulated_seconds();
    for (const KeyEvent& event : log.events()) {
        happenings_.push_back({scenario::Happening::Kind::event, now, gauge, event.id, event.value, {}});
        if (!source_.key_event(event)) {
            std::string line = panel_.at(gauge).alias + " sent event " +
                               describe_event(variables_.catalogue(), event.id) + ", which " +
                               std::string(source_.name()) + " does not know";
            tell(note_listeners_, line);
            tell(source_note_listeners_, line);
            if (unknown_events_.size() < 100) unknown_events_.push_back(std::move(line));
        }
    }
    for (const CueRequest& cue : log.cues()) {
        happenings_.push_back({scenario::Happening::Kind::cue, now, gauge, 0, 0, cue.path});
    }
    pass_on_notes();
}

}  // namespace panel::app
