// serve_soak [SECONDS]: the panel flies in real time with the browser server attached while 50
// clients in another process connect and go, read slowly or not at all, and send garbage (bad
// JSON, too long a message, bytes that are no HTTP). Passes (exit 0) when the flight never
// falls behind by more than a frame period, the host's memory stays flat (at most 8 MB more at
// the end than after the first seconds) and the server still answers; prints what it saw.
#include <utility>  // before Asio, whose awaitable.hpp uses std::exchange without it

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

#include "browser_layout.h"
#include "flight_files.h"
#include "real_time_flight.h"
#include "server_front_end.h"
#include "world_source.h"

namespace {

using namespace panel;
namespace beast = boost::beast;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using Clock = std::chrono::steady_clock;

long resident_kb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// One client's life, again and again until the time is up: each of the 50 behaves in one way.
void client(int kind, const std::string& port, Clock::time_point end) {
    std::mt19937 random(static_cast<unsigned>(kind));
    while (Clock::now() < end) {
        try {
            net::io_context io;
            tcp::socket raw(io);
            net::connect(raw, tcp::resolver(io).resolve("127.0.0.1", port));
            if (kind % 10 == 9) {
                net::write(raw, net::buffer(std::string("\x16\x03\x01 this is no HTTP\r\n\r\n")));
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                continue;
            }
            beast::websocket::stream<tcp::socket> ws(std::move(raw));
            ws.handshake("127.0.0.1:" + port, "/socket");
            beast::flat_buffer buffer;
            const auto life = Clock::now() + std::chrono::milliseconds(300 + random() % 3000);
            while (Clock::now() < life && Clock::now() < end) {
                switch (kind % 5) {
                    case 0: ws.read(buffer); break;  // a good reader
                    case 1:                          // a slow one
                        std::this_thread::sleep_for(std::chrono::milliseconds(700));
                        ws.read(buffer);
                        break;
                    case 2:  // garbage, then closed by the server
                        ws.text(true);
                        ws.write(net::buffer(std::string(R"({"click":[)") + std::to_string(random()) + "]}"));
                        ws.read(buffer);
                        break;
                    case 3:  // too long a message
                        ws.write(net::buffer(std::string(5000, '{')));
                        ws.read(buffer);
                        break;
                    default:  // reads nothing at all
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
                buffer.consume(buffer.size());
            }
        } catch (const std::exception&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));  // closed on it: again
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    app::FlightFiles files{.panel = app::demo_panel(), .gauge_folders = {PANEL_MODULE_DIR}};
    app::LoadedFlight loaded(files);
    app::WorldSource world(app::default_setup());
    const app::RealTimeOptions options{.mute = true};
    app::RealTimeFlight flight(options, loaded.panel, loaded.variables, world);
    std::atomic<bool> stop = false;
    server::ServerFrontEnd served({}, app::browser_layout(loaded.panel, flight), &loaded.variables, flight.input(),
                                  [&stop] { return stop.load(); });
    flight.attach(served);
    const std::string url = served.url();
    const std::string port = url.substr(url.rfind(':') + 1, url.size() - url.rfind(':') - 2);

    std::fflush(stdout);
    const pid_t clients = fork();
    if (clients == 0) {
        const auto end =
            Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        std::vector<std::thread> threads;
        for (int kind = 0; kind < 50; ++kind) threads.emplace_back(client, kind, port, end);
        for (std::thread& thread : threads) thread.join();
        _exit(0);
    }

    const double period = 1.0 / options.rate;
    double latest = 0.0;
    uint64_t frames = 0;
    Clock::time_point last{};
    long settled_kb = 0;
    const auto start = Clock::now();
    flight.flight().on_frame_end([&](uint64_t) {
        const auto now = Clock::now();
        // The first second is the flight's opening, not the soak's.
        if (now - start > std::chrono::seconds(1) && last != Clock::time_point{}) {
            latest = std::max(latest, std::chrono::duration<double>(now - last).count() - period);
        }
        last = now;
        ++frames;
        if (settled_kb == 0 && now - start > std::chrono::seconds(5)) settled_kb = resident_kb();
        if (now - start > std::chrono::duration<double>(seconds + 1.0)) stop = true;
    });
    flight.run(std::nullopt, "");
    int status = 0;
    waitpid(clients, &status, 0);
    const long end_kb = resident_kb();
    const bool flat = end_kb - settled_kb <= 8 * 1024;
    const bool on_time = latest <= period;
    std::printf(
        "serve_soak: %.0f s, 50 clients: %llu frames, the latest %.1f ms behind its period (at most %.1f); "
        "memory %ld kB after 5 s, %ld kB at the end; clients %s\n",
        seconds, static_cast<unsigned long long>(frames), latest * 1000, period * 1000, settled_kb, end_kb,
        WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "done" : "failed");
    const bool passed = flat && on_time && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("serve_soak %s\n", passed ? "passed" : "FAILED");
    return passed ? 0 : 1;
}
