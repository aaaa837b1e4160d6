// The keys that fly the simulated aircraft: ten degrees of heading, 500 ft, 10 kt a press,
// starting from where the aircraft is at the first press, and the avionics supply.
#pragma once

#include <string>

#include "flight.h"
#include "front_end.h"

namespace panel::app {

class AutopilotKeys {
public:
    static bool flies_the_aircraft(frontend::KeyAction key);

    // Carries out one of those keys; returns what the status line should say instead (empty
    // when it was done), as when another program flies the aircraft.
    std::string act(frontend::KeyAction key, Flight& flight);

private:
    bool targets_set_ = false;
    double heading_ = 0.0, altitude_ = 0.0, speed_ = 0.0;
};

}  // namespace panel::app
