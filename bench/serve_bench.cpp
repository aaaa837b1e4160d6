// What the browser front end sends: through the whole demo flight, the changed regions against
// the whole panel every frame; and, on loopback, what one client receives a second while the
// panel does not change.
#include <benchmark/benchmark.h>

#include <utility>  // before Asio, whose awaitable.hpp uses std::exchange without it

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <cstring>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

#include "bench_targets.h"
#include "browser_layout.h"
#include "flight.h"
#include "flight_files.h"
#include "panel_picture.h"
#include "picture_update.h"
#include "real_time_flight.h"
#include "scenario_runner.h"
#include "server_front_end.h"
#include "world_source.h"

namespace {

using namespace panel;

// The picture as the server keeps it.
void copy(cairo_surface_t* surface, server::Picture& into) {
    cairo_surface_flush(surface);
    into.width = cairo_image_surface_get_width(surface);
    into.height = cairo_image_surface_get_height(surface);
    into.pixels.resize(size_t(into.width) * into.height);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < into.height; ++y) {
        std::memcpy(&into.pixels[size_t(y) * into.width], data + size_t(y) * stride, 4 * size_t(into.width));
    }
    ++into.number;
}

// The demo flight with its picture drawn every frame, as the server would send it to one
// client, against the whole picture as a PNG every frame.
void BM_ServeDemoBytes(benchmark::State& state) {
    app::FlightFiles files{
        .panel = app::demo_panel(), .script = app::demo_script(), .gauge_folders = {PANEL_MODULE_DIR}};
    double sent = 0, whole = 0;
    for (auto _ : state) {
        app::LoadedFlight loaded(files);
        app::WorldSource world(app::default_setup());
        app::Flight flight(loaded.panel, loaded.variables, world);
        app::PanelPicture picture(loaded.panel);
        server::Picture before, after;
        uint64_t frames = 0;
        flight.on_frame_end([&](uint64_t) {
            picture.draw();
            copy(picture.surface(), after);
            const server::Region all{0, 0, after.width, after.height};
            const size_t full = server::encode_update(after, {all}, server::UpdateKind::whole).size();
            whole += double(full);
            const std::vector<server::Region> regions = server::changed_regions(before, after);
            long changed = 0;
            for (const server::Region& region : regions) changed += long(region.width) * region.height;
            if (changed * 2 > long(after.width) * after.height) sent += double(full);
            else if (!regions.empty())
                sent += double(server::encode_update(after, regions, server::UpdateKind::regions).size());
            // The state line, once a second of real time.
            if (++frames % 18 == 0) sent += 110;
            std::swap(before, after);
        });
        scenario::ScenarioRunner(flight, loaded.script_name).run(*loaded.script);
    }
    state.counters["sent_share"] = sent / whole;
    state.counters["whole_kb"] = whole / 1024 / double(state.iterations());
}
BENCHMARK(BM_ServeDemoBytes)->Iterations(1)->Unit(benchmark::kMillisecond);
PANEL_COUNTER_TARGET(serve_bytes_vs_full_frames, "BM_ServeDemoBytes/iterations:1", "sent_share", at_most, 0.3);

namespace beast = boost::beast;
namespace net = boost::asio;

// A panel that does not change, shown 18 times a second for three seconds to a server with one
// client: the bytes it receives after the first picture, per second.
void BM_ServeIdleBytes(benchmark::State& state) {
    constexpr int width = 500, height = 300;
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000 | uint32_t(i * 2654435761u >> 8);
    server::PanelLayout layout{.width = width, .height = height, .panel_height = height};
    frontend::InputQueue input;
    double per_second = 0;
    for (auto _ : state) {
        server::ServerFrontEnd served({}, layout, nullptr, input);
        const std::string url = served.url();
        const std::string port = url.substr(url.rfind(':') + 1, url.size() - url.rfind(':') - 2);
        frontend::FinishedFrame frame;
        frame.picture = {reinterpret_cast<const uint8_t*>(pixels.data()), width, height, width * 4};
        frame.status = "47 31.5N 122 14.0W  3000 ft  hdg 340  120 kt  supply on";

        net::io_context io;
        beast::websocket::stream<net::ip::tcp::socket> ws(io);
        net::connect(ws.next_layer(), net::ip::tcp::resolver(io).resolve("127.0.0.1", port));
        ws.handshake("127.0.0.1:" + port, "/socket");
        std::atomic<bool> done = false;
        std::thread shower([&] {
            for (uint64_t n = 1; !done; ++n) {
                frame.number = n;
                served.show(frame);
                std::this_thread::sleep_for(std::chrono::milliseconds(55));
            }
        });
        beast::flat_buffer buffer;
        size_t received = 0;
        bool pictured = false;
        const auto start = std::chrono::steady_clock::now();
        auto counted_since = start;
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(4)) {
            ws.read(buffer);
            if (!pictured) {
                pictured = !ws.got_text();
                counted_since = std::chrono::steady_clock::now();
            } else {
                received += buffer.size() + 2;  // with the frame's own header
            }
            buffer.consume(buffer.size());
        }
        done = true;
        shower.join();
        per_second =
            double(received) / std::chrono::duration<double>(std::chrono::steady_clock::now() - counted_since).count();
    }
    state.counters["bytes_per_second"] = per_second;
}
BENCHMARK(BM_ServeIdleBytes)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
PANEL_COUNTER_TARGET(serve_idle_bytes, "BM_ServeIdleBytes/iterations:1/real_time", "bytes_per_second", at_most, 200.0);

using tcp = net::ip::tcp;

std::string port_of(const std::string& url) {
    return url.substr(url.rfind(':') + 1, url.size() - url.rfind(':') - 2);
}

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The clients in a process of their own, so that their reading is not the server's CPU time.
pid_t start_clients(int count, int port_pipe) {
    const pid_t child = fork();
    if (child != 0) return child;
    char port[16] = {};
    if (read(port_pipe, port, sizeof port - 1) <= 0) _exit(1);
    net::io_context io;
    std::vector<std::unique_ptr<beast::websocket::stream<tcp::socket>>> sockets;
    std::vector<beast::flat_buffer> buffers(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto ws = std::make_unique<beast::websocket::stream<tcp::socket>>(io);
        net::connect(ws->next_layer(), tcp::resolver(io).resolve("127.0.0.1", port));
        ws->handshake(std::string("127.0.0.1:") + port, "/socket");
        sockets.push_back(std::move(ws));
    }
    std::function<void(size_t)> read_on = [&](size_t i) {
        sockets[i]->async_read(buffers[i], [&, i](beast::error_code error, size_t) {
            if (error) return;
            buffers[i].consume(buffers[i].size());
            read_on(i);
        });
    };
    for (size_t i = 0; i < sockets.size(); ++i) read_on(i);
    io.run();
    _exit(0);
}

// The host's CPU time (frame loop and server) showing three seconds of a panel whose lamp moves
// every frame to `count` clients.
double serving_cost(int count) {
    constexpr int width = 500, height = 300;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return 0.0;
    const pid_t clients = start_clients(count, pipe_ends[0]);
    server::PanelLayout layout{.width = width, .height = height, .panel_height = height};
    frontend::InputQueue input;
    double cost = 0.0;
    {
        server::ServerFrontEnd served({}, layout, nullptr, input);
        const std::string port = port_of(served.url());
        if (write(pipe_ends[1], port.data(), port.size()) != ssize_t(port.size())) return 0.0;
        std::vector<uint32_t> pixels(size_t(width) * height, 0xFF202020);
        frontend::FinishedFrame frame;
        frame.picture = {reinterpret_cast<const uint8_t*>(pixels.data()), width, height, width * 4};
        for (int wait = 0; wait < 500 && served.clients() < size_t(count); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const double start = cpu_seconds();
        for (int n = 0; n < 54; ++n) {
            std::fill(pixels.begin(), pixels.end(), 0xFF202020);
            for (int y = 100; y < 130; ++y) {
                for (int x = 0; x < 30; ++x) pixels[size_t(y) * width + size_t(n * 8 % 470 + x)] = 0xFF30E040;
            }
            frame.number = uint64_t(n) + 1;
            served.show(frame);
            std::this_thread::sleep_for(std::chrono::milliseconds(55));
        }
        cost = cpu_seconds() - start;
    }
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    waitpid(clients, nullptr, 0);
    return cost;
}

void BM_ServeClientsCost(benchmark::State& state) {
    double one = 0.0, twenty = 0.0;
    for (auto _ : state) {
        one += serving_cost(1);
        twenty += serving_cost(20);
    }
    state.counters["twenty_vs_one"] = one > 0.0 ? twenty / one : 0.0;
}
BENCHMARK(BM_ServeClientsCost)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
PANEL_COUNTER_TARGET(serve_clients_cost, "BM_ServeClientsCost/iterations:1/real_time", "twenty_vs_one", at_most, 1.5);

// A click sent by a client (the GPS's power knob turned, on and off again) to the first picture
// that shows it (a region over the knob), in frame periods, the median of ten.
void BM_ServeClickToPixels(benchmark::State& state) {
    app::FlightFiles files{.panel = app::demo_panel(), .gauge_folders = {PANEL_MODULE_DIR}};
    double median = 0.0;
    for (auto _ : state) {
        app::LoadedFlight loaded(files);
        app::WorldSource world(app::default_setup());
        const app::RealTimeOptions options{.mute = true};
        app::RealTimeFlight flight(options, loaded.panel, loaded.variables, world);
        std::atomic<bool> stop = false;
        const server::PanelLayout layout = app::browser_layout(loaded.panel, flight);
        server::ServerFrontEnd served({}, layout, &loaded.variables, flight.input(), [&stop] { return stop.load(); });
        flight.attach(served);
        std::thread flying([&flight] { flight.run(std::nullopt, ""); });

        const auto knob = std::find_if(layout.controls.begin(), layout.controls.end(),
                                       [](const server::LaidOutControl& c) { return c.name == "gps power"; });
        net::io_context io;
        beast::websocket::stream<tcp::socket> ws(io);
        const std::string port = port_of(served.url());
        net::connect(ws.next_layer(), tcp::resolver(io).resolve("127.0.0.1", port));
        ws.handshake("127.0.0.1:" + port, "/socket");
        beast::flat_buffer buffer;
        auto covers_knob = [&](const std::string& message) {
            auto u16 = [&](size_t at) { return uint8_t(message[at]) | uint8_t(message[at + 1]) << 8; };
            if (message.size() < 16) return false;
            for (size_t at = 16, i = 0; i < size_t(u16(12)) && at + 12 <= message.size(); ++i) {
                const int x = u16(at), y = u16(at + 2), w = u16(at + 4), h = u16(at + 6);
                if (x < knob->area.x + knob->area.width && knob->area.x < x + w &&
                    y < knob->area.y + knob->area.height && knob->area.y < y + h) {
                    return true;
                }
                at += 12 + (u16(at + 8) | size_t(u16(at + 10)) << 16);
            }
            return false;
        };
        // The whole picture first.
        do {
            buffer.consume(buffer.size());
            ws.read(buffer);
        } while (ws.got_text());
        std::vector<double> periods;
        ws.text(true);
        for (int click = 0; click < 10 && knob != layout.controls.end(); ++click) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            const auto sent = std::chrono::steady_clock::now();
            ws.write(net::buffer(std::string(R"({"turn":"gps power","notches":)") + (click % 2 ? "-1}" : "1}")));
            for (;;) {
                buffer.consume(buffer.size());
                ws.read(buffer);
                if (!ws.got_text() && covers_knob(beast::buffers_to_string(buffer.data()))) break;
            }
            periods.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count() *
                              options.rate);
        }
        stop = true;
        flying.join();
        std::sort(periods.begin(), periods.end());
        median = periods.empty() ? 99.0 : (periods[4] + periods[5]) / 2;
    }
    state.counters["periods"] = median;
}
BENCHMARK(BM_ServeClickToPixels)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
PANEL_COUNTER_TARGET(serve_click_to_pixels, "BM_ServeClickToPixels/iterations:1/real_time", "periods", at_most, 1.5);

}  // namespace
