// Times in scripts. A duration is one or more numbers with units, largest first: 5s, 0.5s, 2m,
// 1m30s, 500ms, 1h15m. A time since the scenario started is a clock reading (2:30, 1:02:30,
// 0:05.5) or a duration (150s). Scripts count in seconds; the runner turns them into panel
// updates at 18 a second.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace panel::scenario {

inline constexpr double frames_per_second = 18.0;

// Seconds, or nothing for a malformed text (no unit, units out of order, a sign, an exponent).
std::optional<double> parse_duration(std::string_view text);
// Seconds since the start: M:SS, H:MM:SS (the last part may have a fraction) or a duration.
std::optional<double> parse_clock(std::string_view text);

// "2:30", "1:02:30", "0:00.5": a clock reading to the millisecond, for messages.
std::string format_clock(double seconds);

// The number of whole updates that reach `seconds`, to the nearest one.
int64_t frames_at(double seconds);

}  // namespace panel::scenario
