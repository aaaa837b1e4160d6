// A client of FlightGear's property server (TCP, POSIX sockets): `set PATH VALUE` lines sent in
// data mode, so that the server answers nothing. It never blocks the panel: the connection is
// made and written without blocking at each update, lost connections are made again after a
// back-off, and lines given meanwhile wait in a bounded queue. What the server says is read
// and dropped, a bounded amount at each update; a server that floods is dropped.
#pragma once

#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "socket_address.h"

namespace panel::live {

// What would make the property server read a path as more than one, or a line as more than one
// command: "a space", "a line break", ...; "" for a path it reads whole.
std::string property_path_problem(std::string_view path);

class PropertyClient {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr double first_retry_seconds = 0.5;
    static constexpr double longest_retry_seconds = 8.0;
    static constexpr double connect_timeout_seconds = 5.0;
    static constexpr size_t max_queued_lines = 256;
    // In data mode the server answers nothing; a few prompts or error lines are all it ever
    // says. Read per update, and let through in one second before the connection is dropped.
    static constexpr size_t max_read_per_pump = 16u << 10;
    static constexpr size_t max_unasked_bytes_per_second = 64u << 10;

    // HOST:PORT; throws std::runtime_error with one line for one that cannot be resolved.
    explicit PropertyClient(const std::string& server);
    ~PropertyClient();
    PropertyClient(const PropertyClient&) = delete;
    PropertyClient& operator=(const PropertyClient&) = delete;

    // Queues `set PATH VALUE`; refuses (with a note) a path the server would misread or a value
    // holding a control character, either of which could end the line and start a command.
    bool set(const std::string& path, const std::string& value);
    // One step of the connection, at each panel update: connects, sends what waits, reads and
    // drops what the server says.
    void pump();

    bool connected() const { return state_ == State::connected; }
    size_t queued() const { return queue_.size(); }
    // "props 127.0.0.1:5501 connected", "... connecting", "... down (Connection refused), retry in 2 s".
    std::string describe() const;
    // Lines for the log: connections made and lost, lines dropped from a full queue.
    std::vector<std::string> take_notes();

private:
    enum class State { waiting, connecting, connected };

    void start_connecting();
    void finish_connecting();
    void send_queued();
    void drain_input();
    void lose(const std::string& why);

    SocketAddress server_;
    int fd_ = -1;
    State state_ = State::waiting;
    Clock::time_point retry_at_ = Clock::now();
    Clock::time_point connect_started_;
    double backoff_seconds_ = first_retry_seconds;
    std::string problem_;
    std::deque<std::string> queue_;  // whole lines with their \r\n
    size_t sent_of_front_ = 0;       // bytes of the first line already written
    std::vector<std::string> notes_;
    size_t dropped_ = 0;
    Clock::time_point unasked_since_;
    size_t unasked_bytes_ = 0;  // since unasked_since_
};

}  // namespace panel::live
