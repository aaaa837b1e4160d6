// Simulated time, counted in whole frames so that it never drifts.
#pragma once

#include <cstdint>

#include "flight_setup.h"

namespace panel::sim {

class SimClock {
public:
    SimClock(UtcTime start, int frames_per_second);

    void advance() { ++frames_; }
    uint64_t tick() const { return frames_; }
    // Seconds since the start plus the start's seconds of the day: never rolls over.
    double seconds() const { return start_seconds_ + static_cast<double>(frames_) / frames_per_second_; }
    // The time of day, rolled over at midnight.
    UtcTime utc() const;

private:
    double start_seconds_;
    double frames_per_second_;
    uint64_t frames_ = 0;
};

}  // namespace panel::sim
