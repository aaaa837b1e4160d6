// What a flight's variables come from, frame by frame: the simulated world, or a live
// simulator. The flight advances it once per panel update, has it fill the store, hands it the
// gauges' key events and shows its state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "variable_source.h"

namespace panel {

class FlightSource : public VariableSource {
public:
    // One panel update's worth of time.
    virtual void advance_frame() = 0;
    // Its state in one line, for the window's status line.
    virtual std::string status() const = 0;
    // What it is, in words that finish "an event which ... does not know".
    virtual std::string_view name() const = 0;
    // Lines for the log since the last call: connections made and lost, events it could not
    // carry out.
    virtual void take_notes(std::vector<std::string>&) {}
    // A source with an end (a recording played through) says so; the flight may stop there.
    virtual bool finished() const { return false; }
};

}  // namespace panel
