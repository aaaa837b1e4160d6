// What a browser (or a cockpit builder's program) sends over its WebSocket, one JSON object a
// message, turned into the panel's input:
//   {"click":[X,Y]}              a click at a point of the picture (day-size pixels)
//   {"wheel":[X,Y,NOTCHES]}      wheel notches there, clockwise positive
//   {"press":"gps ent"}          a control pressed by name
//   {"turn":"gps outer","notches":-2}
//   {"key":"pause"}              one of the cockpit's keys
//   {"view":{"night":true,"density":2}}  the picture this client wants: lit so, and at its
//                                screen's pixel density (optional; in halves from 1 to 3)
// Anything else is bad input.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "input_queue.h"

namespace panel::server {

// The picture a client is sent: by day or at night, at a pixel density.
struct View {
    bool night = false;
    double density = 1.0;
    auto operator<=>(const View&) const = default;
};
inline constexpr double largest_density = 3.0;
// Notches one message may turn: beyond any hand's drag between two messages.
inline constexpr int largest_turn = 50;

struct ClientMessage {
    std::variant<frontend::InputEvent, View> what;
};

struct Refusal {
    std::string reason;
};

// `width` x `height`: the day-size picture, which points must lie in.
std::variant<ClientMessage, Refusal> read_client_message(std::string_view text, int width, int height);

// The cockpit's keys a browser may send, by name, and back; quitting and screenshots (which write
// files on this machine) are for the one at the machine.
std::optional<frontend::KeyAction> key_named(std::string_view name);

}  // namespace panel::server
