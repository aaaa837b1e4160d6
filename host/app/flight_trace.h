// The trace of a panel flight, in the line format of the trace tool: first each gauge's
// records as read at their offsets, then frame by frame, each line led by the gauge's name,
// the elements whose flags, value or text changed and every event and cue in the order the
// gauges asked for them. Unchanged elements and the per-frame variable lookups, which the
// trace tool writes for one gauge, are left out so that a long flight stays readable.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "panel.h"

namespace panel::app {

class FlightTrace : public PanelObserver {
public:
    FlightTrace(const Panel& panel, std::ostream& out);

    // The records of every gauge; called once, before the first frame.
    void write_records();
    // Marks the start of frame `number` at `seconds` of simulated time.
    void begin_frame(uint64_t number, double seconds);
    // A line of the script's own (clicks, notes, world changes), as the trace tool writes them.
    void line(const std::string& text);

    void phase_done(size_t gauge, Phase phase, const EventLog& log) override;

private:
    void write_changes(size_t gauge);

    const Panel& panel_;
    std::ostream& out_;
    std::string frame_prefix_;                     // "f12"
    std::vector<std::vector<ElementState>> last_;  // each gauge's elements as last written
    std::vector<std::vector<bool>> written_;
};

}  // namespace panel::app
