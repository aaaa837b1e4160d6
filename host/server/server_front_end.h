// The panel served to browsers, as a front end beside (or instead of) the window. Done: the
// whole panel, one gauge or one window a page; pictures as PNGs of what changed, by day or at
// night as each client asks, each lighting drawn once a frame for all that share it; clicks,
// wheel, touch drags across knobs, the cockpit's keys; /api/panel, /api/state and controls
// worked by name; view-only serving; pictures at each screen's pixel density, each density and
// lighting drawn once a frame for all the clients that share it. Not yet: WebP.
#pragma once

#include <functional>
#include <string>

#include "front_end.h"
#include "hand_off.h"
#include "panel_layout.h"
#include "variable_store.h"
#include "web_server.h"

namespace panel::server {

class ServerFrontEnd final : public frontend::FrontEnd {
public:
    // Listens at once (throws std::runtime_error with one line when it cannot); the layout, the
    // variables and the queue must outlive it. `stop`, asked at each poll, ends the flight.
    ServerFrontEnd(const ServerSetup& setup, PanelLayout layout, const VariableStore* variables,
                   frontend::InputQueue& input, std::function<bool()> stop = {});

    std::string url() const { return server_.url(); }
    size_t clients() const { return server_.clients(); }

    frontend::Capabilities capabilities() const override;
    void show(const frontend::FinishedFrame& frame) override;
    void poll(frontend::InputQueue& input) override;

private:
    PanelLayout layout_;
    const VariableStore* variables_;
    std::function<bool()> stop_;
    HandOff hand_off_;
    WebServer server_;
};

}  // namespace panel::server
