// The panel as the browser front end describes it: where each gauge, window and control lies in
// the flight's picture.
#pragma once

#include "panel.h"
#include "panel_layout.h"
#include "real_time_flight.h"

namespace panel::app {

server::PanelLayout browser_layout(const Panel& panel, const RealTimeFlight& flight);

}  // namespace panel::app
