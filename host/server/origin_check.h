// Whether a browser's WebSocket comes from the panel's own pages: a page served from elsewhere
// must not drive the panel through the user's browser. Browsers always send Origin; a program
// that sends none is no page.
#pragma once

#include <string_view>

namespace panel::server {

// `origin` as the Origin header gives it ("http://host:port"; empty when there was none), `host`
// as the Host header gives it ("host:port").
bool same_origin(std::string_view origin, std::string_view host);

// Whether an address ("127.0.0.1", "::1", "localhost") is this machine's loopback.
bool loopback_host(std::string_view host);

// Whether a request's Host header ("host:port", "[::1]:port", or empty) may be answered by a
// server listening on `listening`: one on loopback answers only names of loopback, so that a
// page elsewhere whose name was re-pointed at 127.0.0.1 reads nothing of the panel; one serving
// the network on purpose answers any name.
bool host_allowed(std::string_view host_header, std::string_view listening);

}  // namespace panel::server
