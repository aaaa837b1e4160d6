#include "sim_clock.h"

#include <cmath>

#include "checked_values.h"

namespace panel::sim {
namespace {

constexpr double seconds_per_day = 86400.0;

}  // namespace

SimClock::SimClock(UtcTime start, int frames_per_second) : frames_per_second_(frames_per_second) {
    start_seconds_ = whole(start.hours, 0, 23, "flight setup: UTC hours") * 3600.0 +
                     whole(start.minutes, 0, 59, "flight setup: UTC minutes") * 60.0 +
                     whole(start.seconds, 0, 59, "flight setup: UTC seconds");
}

UtcTime SimClock::utc() const {
    const auto of_day = static_cast<int64_t>(std::floor(std::fmod(seconds(), seconds_per_day)));
    return {static_cast<int>(of_day / 3600), static_cast<int>(of_day % 3600 / 60), static_cast<int>(of_day % 60)};
}

}  // namespace panel::sim
