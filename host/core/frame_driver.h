// Drives one gauge as the simulator's panel system does: each update a pre-update (service 6),
// the element pass, then pre-draw (service 10); clicks between updates. Every call into the
// gauge goes through here, and after each phase the observers see what the gauge asked for
// in it (variable lookups, simulator events, cues): the trace tool, the world that carries
// out key events and the cue player all watch from there.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "event_log.h"
#include "gauge_instance.h"
#include "mouse_dispatcher.h"
#include "variable_store.h"

namespace panel {

enum class Phase { open, pre_update, elements, pre_draw, service, click, close };

const char* phase_name(Phase phase);

class PhaseObserver {
public:
    virtual ~PhaseObserver() = default;
    // After each phase, with what the gauge asked for during it. The log is cleared when the
    // next phase starts.
    virtual void phase_done(Phase phase, const EventLog& log) = 0;
};

// Where a click landed.
struct ClickOutcome {
    std::optional<size_t> area;  // the area under the point, by index in records().mouse_areas
    bool handled = false;        // its handler was called
};

class FrameDriver {
public:
    FrameDriver(GaugeInstance& gauge, VariableStore& variables);

    // Observers are called in the order added; each must outlive the driver or be removed.
    void add_observer(PhaseObserver& observer);
    void remove_observer(PhaseObserver& observer);

    void open();
    void close();

    // One whole update: pre-update, the element pass, pre-draw, made by the gauge in one go;
    // the observers then see each phase's log in that order (the element states as the whole
    // update left them).
    void run_frame();
    // Begins the next run_frame() in a gauge that runs in another process (nothing otherwise),
    // so that a panel's gauges can work at the same time; the store must not change until then.
    void start_frame() { gauge_.start_frame(variables_); }
    void pre_update();
    void update_elements();
    // Pre-draw ends a frame: texts replaced in the store during it are released.
    void pre_draw();
    // The gauge callback with any service id.
    void service(int32_t service_id);

    // A click of `event_class` at (x, y) in gauge pixels: the handler of the area there is
    // called once, when the area takes clicks of that class.
    ClickOutcome click(int32_t x, int32_t y, uint32_t event_class = CLICK_LEFT_SINGLE);
    // The point a click in the middle of an area lands on.
    static std::pair<int32_t, int32_t> middle_of(const MouseAreaRecord& area);

    // Whole updates run so far.
    uint64_t frames() const { return frames_; }
    GaugeInstance& gauge() const { return gauge_; }
    const MouseDispatcher& mouse() const { return mouse_; }

private:
    template <typename Call>
    void run(Phase phase, Call&& call);
    void notify(Phase phase, const EventLog& log);

    GaugeInstance& gauge_;
    VariableStore& variables_;
    EventLog log_;
    // The element pass's and pre-draw's logs of a whole update; pre-update's is log_.
    EventLog elements_log_;
    EventLog pre_draw_log_;
    MouseDispatcher mouse_;
    std::vector<PhaseObserver*> observers_;
    uint64_t frames_ = 0;
};

}  // namespace panel
