#include "socket_address.h"

#include <netdb.h>
#include <netinet/in.h>

#include <charconv>
#include <cstring>
#include <stdexcept>

namespace panel::live {

SocketAddress resolve_address(const std::string& text, const std::string& option, int socket_type) {
    const auto refuse = [&](const std::string& why) { return std::runtime_error(option + " " + text + ": " + why); };
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) throw refuse("give HOST:PORT, e.g. 127.0.0.1:5500");
    std::string host = text.substr(0, colon);
    const std::string port_text = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    int port = -1;
    const auto [end, error] = std::from_chars(port_text.data(), port_text.data() + port_text.size(), port);
    if (port_text.empty() || error != std::errc() || end != port_text.data() + port_text.size() || port < 0 ||
        port > 65535) {
        throw refuse("the port must be a number from 0 to 65535");
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socket_type;
    addrinfo* found = nullptr;
    if (const int status = getaddrinfo(host.c_str(), port_text.c_str(), &hints, &found); status != 0) {
        throw refuse(std::string("cannot resolve the host (") + gai_strerror(status) + ")");
    }
    SocketAddress result;
    std::memcpy(&result.address, found->ai_addr, found->ai_addrlen);
    result.length = found->ai_addrlen;
    result.text = text;
    freeaddrinfo(found);
    return result;
}

int bound_port(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return -1;
}

}  // namespace panel::live
