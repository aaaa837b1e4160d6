// The simulated world as a flight's source of variables: made from its setup at the first
// update (the script's `world` steps change the setup until then), flown by the script's `fly`
// steps and the window's keys.
#pragma once

#include <optional>
#include <string>

#include "flight_source.h"
#include "scenario_script.h"
#include "world.h"

namespace panel::app {

class WorldSource : public FlightSource {
public:
    explicit WorldSource(sim::FlightSetup setup, const Catalogue& catalogue = simulator_catalogue())
        : setup_(std::move(setup)), catalogue_(catalogue) {}

    // The world, made from the setup when first asked for.
    sim::World& world();

    // Before the world is made, every step sets up the flight; after, only the weather, the
    // supply and the navigator's status may change. Throws std::invalid_argument otherwise.
    void world_step(const scenario::WorldStep& step);
    void autopilot(scenario::FlyTarget target, double value);  // throws std::invalid_argument

    void advance_frame() override { world().advance_frame(); }
    void fill(VariableStore& store) override { world().fill(store); }
    bool key_event(const KeyEvent& event) override { return world().key_event(event); }
    // Position, altitude, heading, speed, UTC and the supply.
    std::string status() const override;
    std::string_view name() const override { return "the world"; }

private:
    void set_up(const scenario::WorldStep& step);

    sim::FlightSetup setup_;
    const Catalogue& catalogue_;
    std::optional<sim::World> world_;
    bool waypoints_given_ = false;
};

// 47°31.2'N, for status lines.
std::string degrees_minutes(double degrees, char positive, char negative);

}  // namespace panel::app
