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

#include "bench_targets.h"
#include "flight.h"
#include "flight_files.h"
#include "panel_picture.h"
#include "picture_update.h"
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

}  // namespace
