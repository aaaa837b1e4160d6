#include "autopilot_keys.h"

#include <algorithm>
#include <cmath>

namespace panel::app {

using frontend::KeyAction;

bool AutopilotKeys::flies_the_aircraft(KeyAction key) {
    return key == KeyAction::heading_left || key == KeyAction::heading_right || key == KeyAction::climb ||
           key == KeyAction::descend || key == KeyAction::faster_aircraft || key == KeyAction::slower_aircraft ||
           key == KeyAction::supply;
}

std::string AutopilotKeys::act(KeyAction key, Flight& flight) {
    if (!flies_the_aircraft(key)) return {};
    if (flight.world_source() == nullptr) {
        return "the aircraft is flown in " + std::string(flight.source().name()) + ", not from here";
    }
    sim::World& world = flight.world();
    if (!targets_set_) {
        heading_ = world.heading_deg();
        altitude_ = std::round(world.altitude_ft() / 100.0) * 100.0;
        speed_ = std::round(world.airspeed_kt());
        targets_set_ = true;
    }
    switch (key) {
        // clang-format off
        case KeyAction::heading_left: heading_ = std::fmod(heading_ + 350.0, 360.0); world.fly_heading(heading_); break;
        case KeyAction::heading_right: heading_ = std::fmod(heading_ + 10.0, 360.0); world.fly_heading(heading_); break;
        case KeyAction::climb: altitude_ = std::min(altitude_ + 500.0, 40000.0); world.fly_altitude(altitude_); break;
        case KeyAction::descend: altitude_ = std::max(altitude_ - 500.0, 0.0); world.fly_altitude(altitude_); break;
        case KeyAction::faster_aircraft: speed_ = std::min(speed_ + 10.0, 400.0); world.fly_speed(speed_); break;
        case KeyAction::slower_aircraft: speed_ = std::max(speed_ - 10.0, 0.0); world.fly_speed(speed_); break;
        // clang-format on
        case KeyAction::supply: world.set_supply(!world.supply_on()); break;
        default: break;
    }
    return {};
}

}  // namespace panel::app
