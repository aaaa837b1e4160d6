#include "recording_clock.h"

#include <algorithm>

namespace panel::live {

double RecordingClock::pace() const {
    if (gap_count_ == 0) return default_line_seconds;
    std::array<double, paced_gaps> sorted = gaps_;
    const size_t count = std::min(gap_count_, paced_gaps);
    std::nth_element(sorted.begin(), sorted.begin() + (count - 1) / 2, sorted.begin() + count);
    return std::min(longest_pace, sorted[(count - 1) / 2]);
}

RecordingClock::Timed RecordingClock::time(std::optional<double> clock) {
    const double pace = this->pace();
    Timed timed{last_ ? *last_ + pace : 0.0, std::nullopt};
    ++lines_since_clock_;
    if (clock) {
        if (!last_clock_) {
            origin_ = *clock - timed.seconds;
        } else {
            const double gap = *clock - *last_clock_;
            if (gap < 0.0 || gap > std::max(break_seconds, break_paces * pace)) {
                timed.jump = gap;
                origin_ = *clock - timed.seconds;
            } else {
                gaps_[gap_count_++ % paced_gaps] = gap / lines_since_clock_;
                timed.seconds = std::max(*last_, *clock - origin_);
            }
        }
        last_clock_ = clock;
        lines_since_clock_ = 0;
    }
    last_ = timed.seconds;
    return timed;
}

}  // namespace panel::live
