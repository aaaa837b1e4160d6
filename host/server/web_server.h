// The HTTP and WebSocket server (Boost.Beast on Asio), on a thread of its own: pages and the
// API by HTTP, pictures out and input in by WebSocket. Every client is a stranger: headers and
// messages are bounded, a WebSocket from another origin's page is refused, and a client that
// sends what it should not gets one log line and a closed connection.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "hand_off.h"
#include "input_queue.h"
#include "listen_address.h"
#include "panel_layout.h"

namespace panel::server {

struct ServerSetup {
    ListenAddress address;
    bool view_only = false;
    size_t max_clients = 64;
};

// Bounds on what a client may send.
inline constexpr size_t largest_header = 8 * 1024, largest_body = 4 * 1024, largest_message = 4 * 1024;

class WebServer {
public:
    // Listens at once; throws std::runtime_error with one line when it cannot. Input goes to
    // `input` as from `from`. All must outlive the server.
    WebServer(const ServerSetup& setup, const PanelLayout& layout, HandOff& hand_off, frontend::InputQueue& input,
              frontend::FrontEnd* from);
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // The address a browser opens: "http://127.0.0.1:8080/".
    std::string url() const;
    // Any thread: new pictures wait in the hand-off.
    void pictures_ready();
    size_t clients() const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace panel::server
