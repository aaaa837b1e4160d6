#include "server_front_end.h"

#include <utility>

#include "state_description.h"

namespace panel::server {

ServerFrontEnd::ServerFrontEnd(const ServerSetup& setup, PanelLayout layout, const VariableStore* variables,
                               frontend::InputQueue& input, std::function<bool()> stop)
    : layout_(std::move(layout)),
      variables_(variables),
      stop_(std::move(stop)),
      server_(setup, layout_, hand_off_, input, this) {}

frontend::Capabilities ServerFrontEnd::capabilities() const {
    // No client, no picture to draw for one.
    return {.pictures = server_.clients() > 0,
            .cursors = true,
            .wheel = true,
            .keys = true,
            .full_screen = true,
            .own_pictures = true};
}

void ServerFrontEnd::show(const frontend::FinishedFrame& frame) {
    hand_off_.put_state(frame);
    if (hand_off_.state_asked()) hand_off_.answer_state(describe_state(frame, variables_));
    if (server_.clients() == 0) return;
    bool drawn = false;
    for (const View& view : hand_off_.wanted_views()) {
        if (view.night == frame.night && view.density == 1.0 && frame.picture.pixels) {
            hand_off_.put_picture(view, frame.picture);
        } else if (frame.redraw) {
            hand_off_.put_picture(view, frame.redraw({.night = view.night, .density = view.density}));
        } else {
            continue;
        }
        drawn = true;
    }
    if (drawn) server_.pictures_ready();
}

void ServerFrontEnd::poll(frontend::InputQueue& input) {
    if (stop_ && stop_()) input.push(frontend::InputEvent::closed(this));
}

}  // namespace panel::server
