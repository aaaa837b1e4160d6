// /api/state's answer: each gauge's elements as the frame left them (texts, values, frames,
// visibility, lighting) and the simulator's variables by name with their units.
#pragma once

#include <string>

#include "front_end.h"
#include "variable_store.h"

namespace panel::server {

// `variables` may be null (no variables told).
std::string describe_state(const frontend::FinishedFrame& frame, const VariableStore* variables);

}  // namespace panel::server
