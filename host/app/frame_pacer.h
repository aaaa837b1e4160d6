// Keeps the panel's updates to the wall clock: the window's real-time flight, and a live
// simulator's, whose datagrams come in real time.
#pragma once

#include <algorithm>
#include <chrono>
#include <thread>

namespace panel::app {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit FramePacer(double updates_per_second) { set_rate(updates_per_second); }

    void set_rate(double updates_per_second) {
        step_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / updates_per_second));
    }

    // Sleeps until the next update is due. Behind by more than an update (a slow machine, a
    // dragged window), it starts afresh from now rather than rushing to catch up.
    void wait() {
        next_ = std::max(next_ + step_, Clock::now() - step_);
        std::this_thread::sleep_until(next_);
    }

private:
    Clock::duration step_{};
    Clock::time_point next_ = Clock::now();
};

}  // namespace panel::app
