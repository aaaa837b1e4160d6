// The front ends attached to one flight: every finished frame shown to each, and what each
// reports worked on the panel. A click or a wheel notch at a point of the picture reaches the
// gauge under it; a control named by a browser or a bindings file is pressed or turned through
// the panel's controls; a hover sets the cursor of the front end it came from. Keys and closing
// are the flight's own business: they are handed back.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "flight.h"
#include "front_end.h"
#include "input_queue.h"
#include "panel_controls.h"
#include "panel_picture.h"

namespace panel::app {

// The panel's controls as a front end names them.
controls::PanelControls panel_controls(const Panel& panel);

class FrontEndHub {
public:
    // All must outlive the hub.
    FrontEndHub(Panel& panel, Flight& flight, const PanelPicture& picture, const controls::PanelControls& controls);

    void attach(frontend::FrontEnd& front_end) { front_ends_.push_back(&front_end); }
    void detach(frontend::FrontEnd& front_end);
    bool empty() const { return front_ends_.empty(); }
    // Whether any attached front end shows the drawn picture.
    bool wants_pictures() const;
    // Whether one shows the frame's own picture, not only pictures it asks for again.
    bool wants_frame_picture() const;

    void show(const frontend::FinishedFrame& frame);
    // Asks every front end for its input, works the panel with what is the panel's, and
    // returns the rest (keys, close) in the order reported. Never waits.
    std::vector<frontend::InputEvent> take_input();
    // Where a front end with a thread of its own reports.
    frontend::InputQueue& input() { return input_; }
    // What the last input that went nowhere said ("unknown control 'knob' of dme ..."), or the
    // last note a front end gave, once, for the status line.
    std::string take_problem() { return std::exchange(problem_, {}); }

private:
    void work(const frontend::InputEvent& event);
    void hover(const frontend::InputEvent& event);

    Panel& panel_;
    Flight& flight_;
    const PanelPicture& picture_;
    const controls::PanelControls& controls_;
    std::vector<frontend::FrontEnd*> front_ends_;
    frontend::InputQueue input_;
    std::vector<frontend::InputEvent> taken_;
    std::string problem_;
};

}  // namespace panel::app
