// A flight: a source of variables (the simulated world, or a live simulator) and the panel's
// gauges run together, frame after frame, as the scenario runner directs. Each frame the source
// moves on by 1/18 s and fills the variables, the script's pinned values go over them, and every
// gauge runs an update. The key events the gauges send are carried out by the source at once;
// an event it does not know is noted, never lost. The script's `fly` and `world` steps need the
// simulated world; with another source they are refused.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "flight_source.h"
#include "panel.h"
#include "scenario_host.h"
#include "variable_store.h"
#include "world.h"
#include "world_source.h"

namespace panel::app {

class Flight : public scenario::ScenarioHost, private PanelObserver {
public:
    // The world starts from `setup`, changed by the script's `world` steps until the first
    // update. `panel` must be driven by `variables`.
    Flight(Panel& panel, VariableStore& variables, sim::FlightSetup setup);
    // Flies with `source`, which must outlive the flight.
    Flight(Panel& panel, VariableStore& variables, FlightSource& source);
    ~Flight() override;

    // Listeners are added, never replaced: a trace, a recorder and any number of front ends may
    // all listen to one flight, each called in the order added.
    //
    // Called before and after every update, with the frame's number: 0 for the update that
    // opens the panel, then 1 for the first of the script's. For the trace's frame lines,
    // pictures and progress.
    void on_frame_start(std::function<void(uint64_t frame)> listener) { frame_start_.push_back(std::move(listener)); }
    void on_frame_end(std::function<void(uint64_t frame)> listener) { frame_end_.push_back(std::move(listener)); }
    // Called for each snapshot the script takes.
    void on_snapshot(std::function<void(const std::string& name, bool night)> listener) {
        snapshot_listeners_.push_back(std::move(listener));
    }
    // Called for each line the flight itself has to say (notes, events nobody knows).
    void on_note(std::function<void(const std::string& line)> listener) {
        note_listeners_.push_back(std::move(listener));
    }
    // Called, besides, for the source's own lines and the events it does not know: what a
    // status line shows.
    void on_source_note(std::function<void(const std::string& line)> listener) {
        source_note_listeners_.push_back(std::move(listener));
    }

    FlightSource& source() { return source_; }
    // The simulated world, or null when the source is another.
    WorldSource* world_source() { return world_source_; }
    // The world, made from the setup at the first update (or when first asked for); throws
    // std::invalid_argument when the source is not the simulated world.
    sim::World& world();
    uint64_t frames() const { return frames_; }
    // Events the gauges sent that the source does not know, in words.
    const std::vector<std::string>& unknown_events() const { return unknown_events_; }

    // ScenarioHost.
    void advance_frame() override;
    double simulated_seconds() const override;
    double read_number(uint32_t id) const override;
    void pin_number(uint32_t id, double value) override;
    void pin_integer(uint32_t id, int32_t value) override;
    void pin_text(uint32_t id, std::string_view text) override;
    void pin_null_text(uint32_t id) override;
    void unpin(uint32_t id) override;
    void autopilot(scenario::FlyTarget target, double value) override;
    void world(const scenario::WorldStep& step) override;
    void click(size_t gauge, int32_t x, int32_t y) override;
    void phase(size_t gauge, Phase which, int32_t service_id) override;
    const GaugeRecords& records(size_t gauge) const override;
    const std::vector<ElementState>& elements(size_t gauge) override;
    void take_happenings(std::vector<scenario::Happening>& into) override;
    void snapshot(const std::string& name, bool night) override;
    void note(const std::string& text) override;

private:
    struct NullText {};
    using Pin = std::variant<double, int32_t, std::string, NullText>;

    void phase_done(size_t gauge, Phase phase, const EventLog& log) override;
    void open_panel();
    void apply_pins();
    void apply(uint32_t id, const Pin& pin);
    void pass_on_notes();
    WorldSource& needs_world(const std::string& step);

    Panel& panel_;
    VariableStore& variables_;
    std::optional<WorldSource> own_world_;
    FlightSource& source_;
    WorldSource* world_source_;
    std::map<uint32_t, Pin> pins_;
    std::vector<scenario::Happening> happenings_;
    std::vector<std::string> unknown_events_;
    uint64_t frames_ = 0;
    template <typename... Args>
    using Listeners = std::vector<std::function<void(Args...)>>;
    template <typename... Args, typename... Given>
    static void tell(const Listeners<Args...>& listeners, const Given&... given) {
        for (const auto& listener : listeners) listener(given...);
    }

    Listeners<uint64_t> frame_start_;
    Listeners<uint64_t> frame_end_;
    bool opened_ = false;
    std::vector<std::string> source_notes_;
    Listeners<const std::string&, bool> snapshot_listeners_;
    Listeners<const std::string&> note_listeners_;
    Listeners<const std::string&> source_note_listeners_;
};

}  // namespace panel::app
