// How a trace spells what a gauge did, shared by the trace tool and the panel application's
// trace: one element's state after an element pass, a key event, a cue, the variable lookups.
#pragma once

#include <cstdint>
#include <string>

#include "event_log.h"
#include "gauge_instance.h"

namespace panel {

// "PREFIX eN KIND flags=0x.. value=.. [y=..] [text=\"..\"]" for element number `number`.
std::string element_line(const std::string& prefix, size_t number, uint32_t kind, const ElementState& state);
std::string event_line(const std::string& prefix, const KeyEvent& event);
std::string cue_line(const std::string& prefix, const CueRequest& cue);
// "PREFIX lookups=N id,id,.."; empty when there were none.
std::string lookups_line(const std::string& prefix, const EventLog& log);

}  // namespace panel
