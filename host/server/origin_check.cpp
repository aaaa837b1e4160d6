#include "origin_check.h"

#include <algorithm>
#include <cctype>

namespace panel::server {
namespace {

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

bool same_origin(std::string_view origin, std::string_view host) {
    if (origin.empty()) return true;
    for (std::string_view scheme : {"http://", "https://"}) {
        if (origin.size() > scheme.size() && equal_ignoring_case(origin.substr(0, scheme.size()), scheme)) {
            return !host.empty() && equal_ignoring_case(origin.substr(scheme.size()), host);
        }
    }
    // "null" (a file or sandboxed page) and anything else is a stranger.
    return false;
}

bool loopback_host(std::string_view host) {
    if (equal_ignoring_case(host, "localhost") || host == "::1") return true;
    // 127.0.0.0/8, written as four numbers.
    if (!host.starts_with("127.")) return false;
    int dots = 0;
    for (char c : host) {
        if (c == '.') ++dots;
        else if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return dots == 3;
}

bool host_allowed(std::string_view host_header, std::string_view listening) {
    if (!loopback_host(listening)) return true;
    std::string_view name = host_header;
    if (name.starts_with('[')) {
        const size_t close = name.find(']');
        if (close == std::string_view::npos) return false;
        name = name.substr(1, close - 1);
    } else if (const size_t colon = name.rfind(':'); colon != std::string_view::npos) {
        name = name.substr(0, colon);
    }
    return loopback_host(name);
}

}  // namespace panel::server
