// Runs a parsed script against a ScenarioHost: waits and `at` become updates at 18 a second,
// ramps move their variable a step every update, named controls are clicked in the middle of
// their area, and expectations are watched after every update from their step on until met
// or past their deadline. When the script ends it runs on until every expectation is settled.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "scenario_host.h"
#include "scenario_script.h"
#include "simulator_catalogue.h"

namespace panel::scenario {

// A step the host cannot carry out: its panel is not the one the script was read against.
// The message reads "FILE:LINE: what".
class RunError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One expectation settled.
struct Outcome {
    int line = 0;
    double seconds = 0.0;  // the script's clock when it was met or given up
    // "FILE:LINE: gps distance text "12.5nm" within 5s: met at 0:03.5", or for a failure
    // "FILE:LINE: expected gps distance text "12.5nm" within 5s; it read "12.4nm"".
    std::string message;
};

struct Summary {
    double simulated_seconds = 0.0;  // the host's clock at the end
    uint64_t frames = 0;             // updates run
    std::vector<std::string> snapshots;
    std::vector<Outcome> met;
    std::vector<Outcome> failed;
    // Stopped from outside before the script ended; expectations still open are in neither list.
    bool stopped = false;
};

class ScenarioRunner {
public:
    // `file` names the script in messages.
    ScenarioRunner(ScenarioHost& host, std::string file, const Catalogue& catalogue = simulator_catalogue());

    Summary run(const Script& script);
    // Asked before every update; once it answers true the run ends where it is (Ctrl-C).
    void stop_when(std::function<bool()> stop) { stop_ = std::move(stop); }

private:
    struct Ramp {
        uint32_t id;
        double from, to;
        int64_t start, length;  // in updates
    };
    struct Pending {
        const Step* step;
        int64_t deadline;               // the last update after which it is checked
        std::vector<std::string> seen;  // cues or events that came meanwhile, for the failure
    };

    void run_step(const Step& step);
    void advance();
    void advance_to(double seconds);
    void collect();
    void settle();
    // Settles the expectation just added when it already holds.
    void settle_now(Pending& pending);
    // Whether the expectation holds now; otherwise `reading` says what was found instead.
    bool holds(Pending& pending, std::string& reading);
    void stop_ramp(uint32_t id);
    [[noreturn]] void fail(const Step& step, const std::string& message) const;
    std::string at(const Step& step) const;

    struct Stopped {};  // unwinds from the update that found the stop asked for

    ScenarioHost& host_;
    std::string file_;
    const Catalogue& catalogue_;
    int64_t frames_ = 0;
    std::vector<Ramp> ramps_;
    std::vector<Pending> pending_;
    std::vector<Happening> recent_;  // since the last update ended
    Summary summary_;
    std::function<bool()> stop_;
};

}  // namespace panel::scenario
