// A front end driven by a program instead of a person: tests, and anything that works the panel
// by plan. It reports the input it was given when shown the frame asked for, and keeps a line
// on every frame it was shown and every cursor it was given.
//
// Done: pictures (hashed), element states, input at chosen frames, cursors. Not: keys of its own
// (it reports whatever it is told to).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "front_end.h"
#include "input_queue.h"

namespace panel::frontend {

class ScriptedFrontEnd final : public FrontEnd {
public:
    explicit ScriptedFrontEnd(Capabilities capabilities = {.pictures = true, .cursors = true, .wheel = true});

    // Reports `event` once it has been shown frame `frame` (as from this front end).
    void at_frame(uint64_t frame, InputEvent event);

    struct Shown {
        uint64_t number = 0;
        double simulated_seconds = 0.0;
        uint64_t picture_hash = 0;  // 0 without a picture
        size_t gauges = 0;
        bool paused = false;
    };
    const std::vector<Shown>& shown() const { return shown_; }
    const std::vector<CursorShape>& cursors() const { return cursors_; }

    Capabilities capabilities() const override { return capabilities_; }
    void show(const FinishedFrame& frame) override;
    void poll(InputQueue& input) override;
    void set_cursor(CursorShape shape) override { cursors_.push_back(shape); }

private:
    Capabilities capabilities_;
    std::multimap<uint64_t, InputEvent> planned_;
    std::vector<Shown> shown_;
    std::vector<CursorShape> cursors_;
};

// FNV-1a over a picture's rows (not the padding between them).
uint64_t picture_hash(const PictureView& picture);

}  // namespace panel::frontend
