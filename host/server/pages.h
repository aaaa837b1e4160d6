// The addresses the server answers by HTTP, and nothing else: the panel's pages, their script
// and style (carried in the program), and the panel's description.
//   /                the whole panel
//   /gauge/NAME      one gauge filling the screen ("gps", "dme", "gps-2")
//   /window/N        one window of the panel.cfg, from 0
//   /api/panel       the panel's gauges, windows and controls
// /api/state and the WebSocket (/socket) are the server's own.
#pragma once

#include <string>
#include <string_view>

#include "panel_layout.h"

namespace panel::server {

struct Answer {
    int status = 404;
    std::string_view type = "text/plain; charset=utf-8";
    std::string body;
};

class Pages {
public:
    Pages(const PanelLayout& layout, bool view_only);

    // `target` as the request line gives it, query included.
    Answer answer(std::string_view target) const;

private:
    bool is_page(std::string_view path) const;

    const PanelLayout& layout_;
    std::string description_;
};

// The path of a request target: no query, no fragment.
std::string_view target_path(std::string_view target);

}  // namespace panel::server
