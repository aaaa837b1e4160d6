// What a browser sends the server: any bytes as an HTTP request (bounded as the server bounds
// it, then routed) and as a WebSocket message. A request is answered 200 or 404, never more; a
// message is input within the picture and its bounds, or refused with one line.
#include <utility>  // before Asio, whose awaitable.hpp uses std::exchange without it

#include <boost/beast/http.hpp>
#include <cmath>
#include <string_view>

#include "client_message.h"
#include "fuzz_support.h"
#include "module_fuzzers.h"
#include "origin_check.h"
#include "pages.h"
#include "web_server.h"

namespace panel::fuzz {
namespace {

namespace http = boost::beast::http;
using frontend::InputEvent;

constexpr int width = 500, height = 300;

void route(std::string_view bytes, const server::Pages& pages) {
    http::request_parser<http::string_body> parser;
    parser.header_limit(server::largest_header);
    parser.body_limit(server::largest_body);
    parser.eager(true);
    boost::beast::error_code error;
    parser.put(boost::asio::buffer(bytes.data(), bytes.size()), error);
    if (error || !parser.is_header_done()) return;
    const auto target = parser.get().target();
    const int status = pages.answer({target.data(), target.size()}).status;
    if (status != 200 && status != 404) throw FuzzFailure("a request answered " + std::to_string(status));
    const auto origin = parser.get()[http::field::origin], host = parser.get()[http::field::host];
    (void)server::same_origin({origin.data(), origin.size()}, {host.data(), host.size()});
}

void read_message(std::string_view text) {
    const auto read = server::read_client_message(text, width, height);
    if (const auto* refusal = std::get_if<server::Refusal>(&read)) {
        if (refusal->reason.empty() || refusal->reason.find_first_of("\r\n") != std::string::npos) {
            throw FuzzFailure("a refusal not in one line: " + refusal->reason);
        }
        return;
    }
    const auto& what = std::get<server::ClientMessage>(read).what;
    const InputEvent* event = std::get_if<InputEvent>(&what);
    if (!event) return;
    if (event->kind == InputEvent::Kind::click || event->kind == InputEvent::Kind::wheel) {
        if (!std::isfinite(event->x) || !std::isfinite(event->y) || event->x < 0 || event->y < 0 || event->x >= width ||
            event->y >= height) {
            throw FuzzFailure("a point off the picture taken");
        }
    }
    if ((event->kind == InputEvent::Kind::wheel || event->kind == InputEvent::Kind::turn) &&
        (event->notches == 0 || std::abs(event->notches) > server::largest_turn)) {
        throw FuzzFailure("notches out of range taken");
    }
    if (event->kind == InputEvent::Kind::key &&
        (event->key == frontend::KeyAction::quit || event->key == frontend::KeyAction::screenshot)) {
        throw FuzzFailure("a key only the machine's user may press taken");
    }
}

}  // namespace

void fuzz_served_input(std::span<const uint8_t> input) {
    static const server::PanelLayout layout = [] {
        server::PanelLayout panel{.width = width, .height = height, .panel_height = 268};
        panel.gauges.push_back({"gps", "gps", 0, {7, 6, 485, 154}});
        panel.windows.push_back({7, 6, 485, 154});
        return panel;
    }();
    static const server::Pages pages(layout, false);
    const std::string_view bytes(reinterpret_cast<const char*>(input.data()), input.size());
    route(bytes, pages);
    read_message(bytes);
}

}  // namespace panel::fuzz

#ifndef PANEL_FUZZ_NO_ENTRY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return panel::fuzz::run_fuzz_target(panel::fuzz::fuzz_served_input, data, size);
}
#endif
