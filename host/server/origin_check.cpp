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

}  // namespace panel::server
