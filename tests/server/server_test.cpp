#include <gtest/gtest.h>

#include <utility>  // before Asio, whose awaitable.hpp uses std::exchange without it

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <thread>

#include "client_message.h"
#include "listen_address.h"
#include "origin_check.h"
#include "pages.h"
#include "picture_update.h"
#include "web_server.h"

namespace panel::server {
namespace {

using frontend::InputEvent;

TEST(ServerOrigin, OnlyThePanelsOwnPagesOrNoPageAtAll) {
    EXPECT_TRUE(same_origin("http://127.0.0.1:8080", "127.0.0.1:8080"));
    EXPECT_TRUE(same_origin("HTTP://Tablet.local:8080", "tablet.local:8080"));
    EXPECT_TRUE(same_origin("", "127.0.0.1:8080"));  // a program, not a page
    EXPECT_FALSE(same_origin("http://127.0.0.1:9090", "127.0.0.1:8080"));
    EXPECT_FALSE(same_origin("http://evil.example", "127.0.0.1:8080"));
    EXPECT_FALSE(same_origin("http://127.0.0.1:8080.evil.example", "127.0.0.1:8080"));
    EXPECT_FALSE(same_origin("null", "127.0.0.1:8080"));
    EXPECT_FALSE(same_origin("http://127.0.0.1:8080", ""));
}

// A page elsewhere whose name now points at 127.0.0.1 (DNS rebinding) is the same origin to
// itself; only the name it asks for gives it away.
TEST(ServerOrigin, ALoopbackServerAnswersOnlyToLoopbackNames) {
    EXPECT_TRUE(host_allowed("127.0.0.1:8080", "127.0.0.1"));
    EXPECT_TRUE(host_allowed("LocalHost:8080", "127.0.0.1"));
    EXPECT_TRUE(host_allowed("[::1]:8080", "::1"));
    EXPECT_TRUE(host_allowed("127.0.0.2", "127.0.0.1"));
    EXPECT_FALSE(host_allowed("evil.example:8080", "127.0.0.1"));
    EXPECT_FALSE(host_allowed("127.0.0.1.evil.example:8080", "127.0.0.1"));
    EXPECT_FALSE(host_allowed("", "127.0.0.1"));
    EXPECT_FALSE(host_allowed("[::1:8080", "127.0.0.1"));
    EXPECT_TRUE(host_allowed("tablet.local:8080", "0.0.0.0"));  // the network, served on purpose
}

TEST(ServerAddress, LoopbackUnlessAHostIsNamed) {
    EXPECT_EQ(parse_listen_address("8080").host, "127.0.0.1");
    EXPECT_EQ(parse_listen_address("8080").port, 8080);
    EXPECT_EQ(parse_listen_address("0.0.0.0:80").host, "0.0.0.0");
    EXPECT_EQ(parse_listen_address("[::1]:5").host, "::1");
    for (const char* bad : {"", "http", ":80", "80x", "65536", "1.2.3.4:", "-1"}) {
        EXPECT_THROW(parse_listen_address(bad), std::invalid_argument) << bad;
    }
}

TEST(ServerMessages, InputWithinThePictureAndWithinBounds) {
    auto event = [](std::string_view text) {
        auto read = read_client_message(text, 500, 300);
        if (auto* refusal = std::get_if<Refusal>(&read)) ADD_FAILURE() << text << ": " << refusal->reason;
        return std::get<InputEvent>(std::get<ClientMessage>(read).what);
    };
    const InputEvent click = event(R"({"click":[12.5,299]})");
    EXPECT_EQ(click.kind, InputEvent::Kind::click);
    EXPECT_DOUBLE_EQ(click.x, 12.5);
    EXPECT_DOUBLE_EQ(click.y, 299);
    const InputEvent wheel = event(R"({"wheel":[1,2,-3]})");
    EXPECT_EQ(wheel.kind, InputEvent::Kind::wheel);
    EXPECT_EQ(wheel.notches, -3);
    const InputEvent turn = event(R"({"turn":"gps outer","notches":2})");
    EXPECT_EQ(turn.kind, InputEvent::Kind::turn);
    EXPECT_EQ(turn.control, "gps outer");
    EXPECT_EQ(turn.notches, 2);
    EXPECT_EQ(event(R"({"press":"dme power_on"})").control, "dme power_on");
    EXPECT_EQ(event(R"({"key":"pause"})").key, frontend::KeyAction::pause);

    auto view = [](std::string_view text) {
        auto read = read_client_message(text, 500, 300);
        if (auto* refusal = std::get_if<Refusal>(&read)) ADD_FAILURE() << text << ": " << refusal->reason;
        return std::get<View>(std::get<ClientMessage>(read).what);
    };
    EXPECT_EQ(view(R"({"view":{"night":true}})"), (View{.night = true, .density = 1.0}));
    // Densities in halves, within what is drawn, so that nearly alike screens share a picture.
    EXPECT_EQ(view(R"({"view":{"night":false,"density":2.25}})").density, 2.0);
    EXPECT_EQ(view(R"({"view":{"night":false,"density":0.5}})").density, 1.0);
    EXPECT_EQ(view(R"({"view":{"night":false,"density":1e300}})").density, largest_density);

    for (const char* bad : {"",
                            "[]",
                            "{}",
                            "not json",
                            R"({"click":[500,0]})",
                            R"({"click":[-1,0]})",
                            R"({"click":[1]})",
                            R"({"click":["1","2"]})",
                            R"({"click":[1,2],"press":"x"})",
                            R"({"wheel":[1,2,0]})",
                            R"({"wheel":[1,2,51]})",
                            R"({"wheel":[1,2,1.5]})",
                            R"({"turn":"gps outer"})",
                            R"({"press":""})",
                            R"({"key":"quit"})",
                            R"({"key":"screenshot"})",
                            R"({"key":7})",
                            R"({"view":{"night":1}})",
                            R"({"view":{"night":true,"scale":2}})",
                            R"({"view":{"night":true,"density":0}})",
                            R"({"view":{"night":true,"density":"2"}})",
                            R"({"view":{"density":2}})",
                            R"({"launch":true})",
                            R"({"click":[1e400,0]})"}) {
        EXPECT_TRUE(std::holds_alternative<Refusal>(read_client_message(bad, 500, 300))) << bad;
    }
}

Picture picture(int width, int height) {
    return {1, width, height, std::vector<uint32_t>(size_t(width) * height, 0xFF202020)};
}

TEST(ServerPictures, OnlyTheTilesThatChanged) {
    const Picture before = picture(100, 50);
    Picture after = before;
    EXPECT_TRUE(changed_regions(before, after).empty());

    after.pixels[size_t(20) * 100 + 40] = 0xFFFF0000;  // in tile (2, 1)
    EXPECT_EQ(changed_regions(before, after), (std::vector<Region>{{32, 16, 16, 16}}));

    // A column of changes over two tile rows is one region; a change at the edge is cut there.
    after.pixels[size_t(40) * 100 + 40] = 0xFFFF0000;
    after.pixels[size_t(49) * 100 + 99] = 0xFFFF0000;
    EXPECT_EQ(changed_regions(before, after), (std::vector<Region>{{32, 16, 16, 32}, {96, 48, 4, 2}}));

    EXPECT_EQ(changed_regions(before, picture(60, 50)), (std::vector<Region>{{0, 0, 60, 50}}));
}

TEST(ServerPictures, AMessageCarriesEachRegionsPng) {
    const Picture whole = picture(40, 20);
    const std::string message = encode_update(whole, {{0, 0, 16, 16}, {16, 0, 24, 20}}, UpdateKind::regions);
    auto u16 = [&](size_t at) { return uint8_t(message[at]) | uint8_t(message[at + 1]) << 8; };
    EXPECT_EQ(message[0], 1);
    EXPECT_EQ(u16(8), 40);
    EXPECT_EQ(u16(10), 20);
    ASSERT_EQ(u16(12), 2);
    size_t at = 16;
    for (int i = 0; i < 2; ++i) {
        const size_t length = u16(at + 8) | size_t(u16(at + 10)) << 16;
        EXPECT_EQ(message.substr(at + 12, 4), "\x89PNG");
        at += 12 + length;
    }
    EXPECT_EQ(at, message.size());
}

PanelLayout small_layout() {
    PanelLayout layout{.width = 500, .height = 300, .panel_height = 268};
    layout.gauges.push_back({"gps#2", "gps-2", 0, {0, 0, 100, 50}});
    layout.windows.push_back({0, 0, 100, 50});
    return layout;
}

TEST(ServerPages, NothingOutsideTheServedSet) {
    const PanelLayout layout = small_layout();
    const Pages pages(layout, false);
    for (const char* served : {"/", "/?night", "/gauge/gps-2", "/window/0", "/panel.js", "/panel.css", "/api/panel"}) {
        EXPECT_EQ(pages.answer(served).status, 200) << served;
    }
    for (const char* unknown : {"/gauge/gps#2", "/gauge/dme", "/window/1", "/window/x", "/window/", "/../etc/passwd",
                                "/index.html", "/api/", "/gauge/gps-2/x"}) {
        EXPECT_EQ(pages.answer(unknown).status, 404) << unknown;
    }
}

namespace beast = boost::beast;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;

// A real server on loopback, spoken to as a program would.
class ServerSockets : public testing::Test {
protected:
    void start(bool view_only, size_t max_clients) {
        server_.emplace(ServerSetup{.view_only = view_only, .max_clients = max_clients}, layout_, hand_off_, input_,
                        nullptr);
        const std::string url = server_->url();
        port_ = url.substr(url.rfind(':') + 1, url.size() - url.rfind(':') - 2);
    }

    std::unique_ptr<websocket::stream<tcp::socket>> open(beast::error_code& error) {
        auto ws = std::make_unique<websocket::stream<tcp::socket>>(io_);
        tcp::resolver resolver(io_);
        net::connect(ws->next_layer(), resolver.resolve("127.0.0.1", port_));
        ws->handshake("127.0.0.1:" + port_, "/socket", error);
        return ws;
    }

    std::vector<InputEvent> input_after(std::chrono::milliseconds wait) {
        std::this_thread::sleep_for(wait);
        std::vector<InputEvent> taken;
        input_.take(taken);
        return taken;
    }

    // Whether the server closes the connection after `message` (reading through what it sends).
    bool closed_after(websocket::stream<tcp::socket>& ws, const std::string& message) {
        ws.write(net::buffer(message));
        beast::flat_buffer buffer;
        beast::error_code error;
        for (int i = 0; i < 10 && !error; ++i) ws.read(buffer, error);
        return error == websocket::error::closed;
    }

    PanelLayout layout_ = small_layout();
    HandOff hand_off_;
    frontend::InputQueue input_;
    std::optional<WebServer> server_;
    net::io_context io_;
    std::string port_;
};

TEST_F(ServerSockets, InputIsHandedOverAndBadInputClosesTheConnection) {
    start(false, 4);
    beast::error_code error;
    auto ws = open(error);
    ASSERT_FALSE(error) << error.message();
    ws->text(true);
    ws->write(net::buffer(std::string(R"({"press":"gps#2 ent"})")));
    const std::vector<InputEvent> taken = input_after(std::chrono::milliseconds(200));
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].kind, InputEvent::Kind::press);
    EXPECT_EQ(taken[0].control, "gps#2 ent");

    EXPECT_TRUE(closed_after(*ws, R"({"click":[9999,0]})"));
    auto big = open(error);
    ASSERT_FALSE(error);
    big->text(true);
    EXPECT_TRUE(closed_after(*big, std::string(largest_message + 1, ' ')));
}

TEST_F(ServerSockets, ViewOnlyTakesNoInputAndClientsAreCounted) {
    start(true, 1);
    beast::error_code error;
    auto first = open(error);
    ASSERT_FALSE(error) << error.message();
    first->text(true);
    first->write(net::buffer(std::string(R"({"press":"gps#2 ent"})")));
    EXPECT_TRUE(input_after(std::chrono::milliseconds(200)).empty());

    auto second = open(error);
    EXPECT_EQ(error, websocket::error::upgrade_declined);
    first.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto third = open(error);
    EXPECT_FALSE(error) << "a client's place is freed when it goes";
}

}  // namespace
}  // namespace panel::server
