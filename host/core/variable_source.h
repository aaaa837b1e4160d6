// A source of simulator variables: what answers the gauges' lookups frame after frame, and
// carries out the key events they send. The simulated world is one; a live simulator another.
#pragma once

#include "event_log.h"
#include "variable_store.h"

namespace panel {

class VariableSource {
public:
    virtual ~VariableSource() = default;

    // Writes every variable the source answers into the store, for the frame about to run.
    virtual void fill(VariableStore& store) = 0;
    // Carries out a simulator event a gauge sent. False when the source has no such event;
    // the caller logs it and goes on.
    virtual bool key_event(const KeyEvent& event) = 0;
};

}  // namespace panel
