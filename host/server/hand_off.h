// What passes between the frame loop and the server's thread, neither waiting on the other
// beyond a copy: the newest picture of each view the clients want (an older one not yet taken is
// simply replaced), the flight's state line, and /api/state's answer when one is asked for.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "client_message.h"
#include "front_end.h"
#include "picture_update.h"

namespace panel::server {

struct FlightState {
    uint64_t frame = 0;
    std::string status;
    bool paused = false;
    std::chrono::steady_clock::time_point when{};  // of the last frame shown
};

class HandOff {
public:
    // The server's thread: the views its clients want, drawn from the next frame on.
    void want_views(std::set<View> views);
    // The frame thread.
    std::set<View> wanted_views() const;
    void put_picture(View view, const frontend::PictureView& picture);
    void put_state(const frontend::FinishedFrame& frame);
    // The server's thread: the newest picture of `view` into `into` (whose buffer is reused), if
    // one came since the last take.
    bool take_picture(View view, Picture& into);
    FlightState state() const;

    // /api/state: asked for by the server's thread, answered from the frame thread at its next
    // frame. Answers are numbered; ask() returns the number the answer will have.
    uint64_t ask_state();
    bool state_asked() const;
    void answer_state(std::string answer);
    std::optional<std::string> answer_since(uint64_t number) const;

private:
    struct Slot {
        Picture picture;
        bool fresh = false;
    };

    mutable std::mutex mutex_;
    std::set<View> views_;
    std::map<View, Slot> slots_;
    uint64_t pictures_ = 0;
    FlightState state_;
    uint64_t asked_ = 0, answered_ = 0;
    std::string answer_;
};

}  // namespace panel::server
