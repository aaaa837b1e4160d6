// HOST:PORT as the command line gives it, resolved for a socket (POSIX sockets).
#pragma once

#include <sys/socket.h>

#include <string>

namespace panel::live {

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
    std::string text;  // as given
};

// Throws std::runtime_error naming `option` and the text for one that is not HOST:PORT or
// whose host does not resolve. "[::1]:5500" for IPv6; the port 0 to 65535.
SocketAddress resolve_address(const std::string& text, const std::string& option, int socket_type);

// The port a bound socket got (for port 0).
int bound_port(int fd);

}  // namespace panel::live
