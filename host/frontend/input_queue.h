// What the front ends report, as plain events, handed to the frame loop: any thread pushes, the
// frame thread takes everything pushed so far between updates. Bounded, so that a client that
// floods it cannot grow it without end: a hover replaces the one before it from the same front
// end, and beyond the bound events are dropped and counted.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "front_end.h"

namespace panel::frontend {

struct InputEvent {
    enum class Kind { click, wheel, hover, press, turn, key, close, note };
    Kind kind = Kind::close;
    double x = 0.0, y = 0.0;  // click, wheel, hover: in the panel picture's pixels
    int notches = 0;          // wheel, turn: clockwise (the wheel away from you) positive
    std::string control;      // press, turn: by name ("gps outer"); note: its text
    KeyAction key = KeyAction::quit;
    FrontEnd* from = nullptr;  // who reported it: a hover's cursor goes back there

    static InputEvent click(double x, double y, FrontEnd* from = nullptr);
    static InputEvent wheel(double x, double y, int notches, FrontEnd* from = nullptr);
    static InputEvent hover(double x, double y, FrontEnd* from = nullptr);
    static InputEvent press(std::string control, FrontEnd* from = nullptr);
    static InputEvent turn(std::string control, int notches, FrontEnd* from = nullptr);
    static InputEvent pressed(KeyAction key, FrontEnd* from = nullptr);
    static InputEvent closed(FrontEnd* from = nullptr);
    // A line for the status line (a device plugged in or pulled out).
    static InputEvent note(std::string text, FrontEnd* from = nullptr);
};

class InputQueue {
public:
    static constexpr size_t bound = 4096;

    // Any thread.
    void push(InputEvent event);
    // The frame thread: everything pushed since the last call, in order.
    void take(std::vector<InputEvent>& into);
    // Events dropped because the queue was full, since the start.
    size_t dropped() const;

private:
    mutable std::mutex mutex_;
    std::vector<InputEvent> pending_;
    size_t dropped_ = 0;
};

}  // namespace panel::frontend
