// Where the server listens, as `--serve [HOST:]PORT` gives it: loopback unless a host is named.
#pragma once

#include <cstdint>
#include <string>

namespace panel::server {

struct ListenAddress {
    std::string host = "127.0.0.1";
    uint16_t port = 0;  // 0: any free port, as the system picks
};

// "8080", "0.0.0.0:8080", "[::1]:8080". Throws std::invalid_argument with one line naming the
// text for anything else.
ListenAddress parse_listen_address(const std::string& text);

}  // namespace panel::server
