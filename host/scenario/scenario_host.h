// What the scenario runner needs of the application that hosts it: the panel's gauges, the
// simulated world and the pictures. The application implements it; tests fake it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame_driver.h"
#include "gauge_instance.h"
#include "scenario_script.h"

namespace panel::scenario {

// A cue played or a key event sent by a gauge.
struct Happening {
    enum class Kind { event, cue };
    Kind kind = Kind::event;
    double seconds = 0.0;  // the host's simulated time when it happened
    size_t gauge = 0;      // which gauge asked for it, by its place in the panel
    uint32_t event_id = 0;
    uint32_t value = 0;    // the event's parameter
    std::string cue_path;  // as the gauge gave it: "sound\beep2.wav"
};

class ScenarioHost {
public:
    virtual ~ScenarioHost() = default;

    // One panel update: the world moves on 1/18 s and every gauge runs a whole frame.
    virtual void advance_frame() = 0;
    virtual double simulated_seconds() const = 0;

    // Pinned values hold over the world's own until unpinned.
    virtual double read_number(uint32_t id) const = 0;  // what the gauges read now
    virtual void pin_number(uint32_t id, double value) = 0;
    virtual void pin_integer(uint32_t id, int32_t value) = 0;
    virtual void pin_text(uint32_t id, std::string_view text) = 0;
    virtual void pin_null_text(uint32_t id) = 0;
    virtual void unpin(uint32_t id) = 0;

    virtual void autopilot(FlyTarget target, double value) = 0;
    virtual void world(const WorldStep& step) = 0;

    // Gauges by their place in the panel.
    virtual void click(size_t gauge, int32_t x, int32_t y) = 0;
    // One phase on its own: Phase::pre_update, elements, pre_draw or service (with its id).
    virtual void phase(size_t gauge, Phase which, int32_t service_id) = 0;
    virtual const GaugeRecords& records(size_t gauge) const = 0;
    // The elements as the last update left them (not const: a host may have to bring its
    // panel up first).
    virtual const std::vector<ElementState>& elements(size_t gauge) = 0;

    // The cues and events of every gauge since the last call, appended in order.
    virtual void take_happenings(std::vector<Happening>& into) = 0;
    virtual void snapshot(const std::string& name, bool night) = 0;
    virtual void note(const std::string& text) = 0;
};

}  // namespace panel::scenario
