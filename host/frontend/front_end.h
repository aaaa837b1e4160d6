// A front end shows a flying panel to someone and reports what they do: the SDL window, a
// browser server, a box of knobs and buttons, a test's script. Each implements this interface
// and opens with what it can do; nothing above it knows which are attached, and any number may
// be attached to one flight at once.
//
// The frame loop shows each front end every finished frame and asks it for input, on its own
// thread; neither call may block. A front end with a thread of its own (a server) reports into
// the input queue from there at any time.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "gauge_instance.h"

namespace panel::frontend {

class InputQueue;

// What a front end can do, for the loop (a frame is drawn only when one shows pictures) and for
// help texts.
struct Capabilities {
    bool pictures = false;  // shows the drawn panel (else draws from element states)
    bool cursors = false;   // changes the pointer's shape over controls
    bool wheel = false;     // reports wheel notches
    bool keys = false;      // reports the cockpit's keys
    bool full_screen = false;
    bool several_windows = false;  // one window per window of the panel.cfg
    // Asks for its pictures through the frame's redraw (its viewers each choose lighting and
    // density), so the frame's own picture need not be drawn for it.
    bool own_pictures = false;
};

// The cockpit's keys, whatever reports them.
enum class KeyAction {
    // clang-format off
    heading_left, heading_right, climb, descend, faster_aircraft, slower_aircraft,
    pause, faster_time, slower_time, supply, night, screenshot, full_screen, help, quit,
    // clang-format on
};

// The shapes a mouse area's cursor code turns into.
enum class CursorShape { arrow, turn_right, turn_left, push };

// A finished picture: premultiplied ARGB32 in native byte order, rows `stride` bytes apart.
struct PictureView {
    const uint8_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
};

// A picture asked for again: lit by day or at night, at a screen's pixel density (2: twice the
// panel's pixels each way, its texts laid out at that size).
struct PictureRequest {
    bool night = false;
    double density = 1.0;
};

// A density as pictures are drawn at: halves (so that nearly alike screens share a picture)
// from 1 up to `largest`; 1 for what is not a number.
inline double density_in_halves(double asked, double largest) {
    return std::isfinite(asked) ? std::clamp(std::floor(asked * 2.0) / 2.0, 1.0, largest) : 1.0;
}

// One gauge as the frame left it, for a front end that draws the face itself.
struct GaugeFrame {
    std::string name;                         // as controls name it: "gps", "gps#2"
    int x = 0, y = 0, width = 0, height = 0;  // where it stands in the picture
    const std::vector<ElementState>* elements = nullptr;
};

struct FinishedFrame {
    uint64_t number = 0;
    double simulated_seconds = 0.0;
    // The panel with its status lines under it (panel_height rows of panel); empty when no
    // attached front end shows pictures.
    PictureView picture;
    int panel_height = 0;
    std::span<const GaugeFrame> gauges;
    std::string status;  // the source's state, as the status line shows it
    bool paused = false;
    bool night = false;  // how `picture` is lit
    // The same frame drawn again, lit and at the density asked, for a front end whose viewers
    // each choose; a density whose picture would be too large to draw is lowered to one that
    // is not (the picture's width tells). The picture lasts until show() returns. Empty when
    // nothing draws.
    std::function<PictureView(PictureRequest)> redraw;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    virtual Capabilities capabilities() const = 0;
    // After every update, and while paused. The frame's pointers last until the call returns.
    virtual void show(const FinishedFrame& frame) = 0;
    // Before the loop takes input: a front end without a thread of its own reports here.
    virtual void poll(InputQueue& input) { (void)input; }
    // Answers to what it reported: the cursor over the control under its pointer, full screen.
    virtual void set_cursor(CursorShape shape) { (void)shape; }
    virtual void toggle_full_screen() {}
};

}  // namespace panel::frontend
