// Stand-ins for FlightGear in the tests, on the loopback interface with ports the system picks:
// one that sends datagrams by the shipped protocol file, and a property server that records
// the lines it is sent and can drop its connection, stop listening or flood its client.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "generic_protocol.h"

namespace panel::live::fakes {

// The protocol file shipped for FlightGear.
Protocol shipped_protocol();

class FakeFlightGear {
public:
    // Every chunk starts with a plausible value: on the SFO DME, heading for KOAK.
    FakeFlightGear();
    ~FakeFlightGear();

    void set(const std::string& chunk, double number);
    void set_text(const std::string& chunk, const std::string& text);

    // The datagram for the values now, as FlightGear formats it.
    std::string datagram() const;
    // Sends it, or any bytes, to 127.0.0.1:`port`.
    void send(int port) const { send_raw(port, datagram()); }
    void send_raw(int port, const std::string& bytes) const;

    const Protocol& protocol() const { return protocol_; }

private:
    Protocol protocol_;
    std::map<std::string, double> numbers_;
    std::map<std::string, std::string> texts_;
    int fd_;
};

class FakePropertyServer {
public:
    // Listens on 127.0.0.1 at `port`, or at a free one.
    explicit FakePropertyServer(int port = 0);
    ~FakePropertyServer();

    int port() const { return port_; }
    // Every line received, without its \r\n, in order.
    std::vector<std::string> lines() const;
    // Waits (up to `seconds`) until `count` lines have come.
    bool wait_for_lines(size_t count, double seconds) const;
    // Closes the client's connection; the next one is accepted again.
    void drop_client();
    size_t connections() const { return connections_; }
    // Sends bytes to each client as fast as it takes them, unasked, for `seconds` from now.
    void flood_for(double seconds);

private:
    void serve();

    int listen_fd_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> drop_{false};
    std::atomic<size_t> connections_{0};
    std::atomic<std::chrono::steady_clock::rep> flood_until_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace panel::live::fakes
