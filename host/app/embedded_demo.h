// The built-in demo, carried in the program: its panel.cfg and its scenario, from
// host/app/demo/ at build time.
#pragma once

namespace panel::app {

extern const char* const embedded_demo_panel;
extern const char* const embedded_demo_scenario;

}  // namespace panel::app
