// Whether a browser's WebSocket comes from the panel's own pages: a page served from elsewhere
// must not drive the panel through the user's browser. Browsers always send Origin; a program
// that sends none is no page.
#pragma once

#include <string_view>

namespace panel::server {

// `origin` as the Origin header gives it ("http://host:port"; empty when there was none), `host`
// as the Host header gives it ("host:port").
bool same_origin(std::string_view origin, std::string_view host);

}  // namespace panel::server
