#include "listen_address.h"

#include <charconv>
#include <stdexcept>

namespace panel::server {

ListenAddress parse_listen_address(const std::string& text) {
    auto refuse = [&text]() -> ListenAddress {
        throw std::invalid_argument("--serve " + text + ": expected [HOST:]PORT, e.g. 8080 or 0.0.0.0:8080");
    };
    ListenAddress address;
    std::string_view port = text;
    if (const size_t colon = text.rfind(':'); colon != std::string::npos) {
        std::string host = text.substr(0, colon);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
        if (host.empty()) return refuse();
        address.host = host;
        port = std::string_view(text).substr(colon + 1);
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc{} || end != port.data() + port.size() || value > 65535) return refuse();
    address.port = static_cast<uint16_t>(value);
    return address;
}

}  // namespace panel::server
