#include "fakes.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace panel::live::fakes {
namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

Protocol shipped_protocol() {
    return read_protocol(std::string(PANEL_SOURCE_DIR) + "/packaging/flightgear/panelhost.xml");
}

FakeFlightGear::FakeFlightGear() : protocol_(shipped_protocol()), fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    numbers_ = {
        // clang-format off
        {"elapsed-sec", 120.0},         {"latitude-deg", 37.6115},      {"longitude-deg", -122.3672},
        {"altitude-ft", 3290.0},        {"altitude-agl-ft", 3291.0},    {"airspeed-kt", 104.0},
        {"groundspeed-kt", 110.0},      {"vertical-speed-fps", 0.0},    {"heading-deg", 45.0},
        {"wind-from-heading-deg", 300.0}, {"wind-speed-kt", 10.0},      {"utc-hour", 20.0},
        {"utc-minute", 4.0},            {"utc-second", 14.0},           {"obs-deg", 0.0},
        {"altimeter-setting-hpa", 1013.21}, {"supply-volts", 28.0},     {"wp-latitude-deg", 37.7274693},
        {"wp-longitude-deg", -122.2163901}, {"wp-distance-nm", 10.051}, {"wp-bearing-true-deg", 44.97},
        {"wp-course-error-nm", -0.088}, {"leg-true-course-deg", 45.47}, {"dme-frequency-mhz", 115.80},
        {"dme-in-range", 1.0},          {"dme-distance-nm", 0.9},       {"dme-ground-speed-kt", 109.0},
        // clang-format on
    };
    texts_ = {{"gps-mode", "dto"}, {"wp-id", "KOAK"}};
}

FakeFlightGear::~FakeFlightGear() {
    close(fd_);
}

void FakeFlightGear::set(const std::string& chunk, double number) {
    numbers_.at(chunk) = number;
}

void FakeFlightGear::set_text(const std::string& chunk, const std::string& text) {
    texts_.at(chunk) = text;
}

std::string FakeFlightGear::datagram() const {
    std::string datagram;
    for (size_t i = 0; i < protocol_.chunks.size(); ++i) {
        const Chunk& chunk = protocol_.chunks[i];
        if (i > 0) datagram += protocol_.var_separator;
        if (chunk.type == ChunkType::text) datagram += format_chunk(chunk, 0.0, texts_.at(chunk.name));
        else datagram += format_chunk(chunk, numbers_.at(chunk.name));
    }
    return datagram + protocol_.line_separator;
}

void FakeFlightGear::send_raw(int port, const std::string& bytes) const {
    const sockaddr_in address = loopback(port);
    if (sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
        throw std::runtime_error("the fake FlightGear cannot send");
    }
}

FakePropertyServer::FakePropertyServer(int port) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address = loopback(port);
    if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listen_fd_, 4) != 0) {
        throw std::runtime_error("the fake property server cannot listen");
    }
    socklen_t length = sizeof address;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FakePropertyServer::~FakePropertyServer() {
    stopping_ = true;
    thread_.join();
    close(listen_fd_);
}

// One client at a time, as FlightGear's server serves a panel; polls a few times a second so
// that it notices when to stop.
void FakePropertyServer::serve() {
    int client = -1;
    std::string partial;
    const std::string noise(16384, 'x');
    while (!stopping_) {
        const bool flooding = std::chrono::steady_clock::now().time_since_epoch().count() < flood_until_;
        if (client >= 0 && flooding) send(client, noise.data(), noise.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (client >= 0 && drop_.exchange(false)) {
            close(client);
            client = -1;
            partial.clear();
        }
        pollfd watched{.fd = client >= 0 ? client : listen_fd_, .events = POLLIN, .revents = 0};
        if (::poll(&watched, 1, flooding ? 0 : 20) <= 0) continue;
        if (client < 0) {
            client = accept(listen_fd_, nullptr, nullptr);
            if (client >= 0) ++connections_;
            continue;
        }
        char buffer[1024];
        const ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            close(client);
            client = -1;
            partial.clear();
            continue;
        }
        partial.append(buffer, static_cast<size_t>(got));
        for (size_t end; (end = partial.find("\r\n")) != std::string::npos;) {
            std::lock_guard lock(mutex_);
            lines_.push_back(partial.substr(0, end));
            partial.erase(0, end + 2);
        }
    }
    if (client >= 0) close(client);
}

std::vector<std::string> FakePropertyServer::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool FakePropertyServer::wait_for_lines(size_t count, double seconds) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        if (lines().size() >= count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return lines().size() >= count;
}

void FakePropertyServer::flood_for(double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    flood_until_ = std::chrono::duration_cast<std::chrono::steady_clock::duration>(until.time_since_epoch()).count();
}

void FakePropertyServer::drop_client() {
    drop_ = true;
}

}  // namespace panel::live::fakes
