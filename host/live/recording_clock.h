// The replay's time of each line of a recording, from the recording's own clock: the lines at
// their recorded pace; a line without a clock it can use one pace after the line before; and a
// jump of the clock, back or far ahead of the pace, taken as a break: the replay goes on one
// pace later, without waiting out the gap or running back.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace panel::live {

// FlightGear's usual 10 lines a second, until the recording shows its own pace.
inline constexpr double default_line_seconds = 0.1;

class RecordingClock {
public:
    // A gap longer than both is a break, not FlightGear stalling for a while.
    static constexpr double break_seconds = 60.0, break_paces = 30.0;
    // The pace is the middle of the last few gaps, so that a stall or a jump does not move it,
    // and at most this, so that a run of growing gaps cannot stretch it without end.
    static constexpr size_t paced_gaps = 9;
    static constexpr double longest_pace = 10.0;

    struct Timed {
        double seconds;              // since the first line
        std::optional<double> jump;  // the clock's jump, at a break
    };

    // `clock`: the line's, none when it has none or one that was refused.
    Timed time(std::optional<double> clock);

    double pace() const;

private:
    std::optional<double> last_;  // the last line's time
    std::optional<double> last_clock_;
    double origin_ = 0.0;                    // the recording's clock at the replay's 0, moved at each break
    std::array<double, paced_gaps> gaps_{};  // the last few, each shared by the lines it spans
    size_t gap_count_ = 0;
    int lines_since_clock_ = 0;
};

}  // namespace panel::live
