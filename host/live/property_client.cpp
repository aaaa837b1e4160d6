#include "property_client.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace panel::live {
namespace {

bool is_control(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

std::string property_path_problem(std::string_view path) {
    for (const char c : path) {
        if (c == '\n' || c == '\r') return "a line break";
        if (c == ' ') return "a space";
        if (c == '\t') return "a tab";
        if (is_control(c)) return "a control character";
    }
    return "";
}

PropertyClient::PropertyClient(const std::string& server)
    : server_(resolve_address(server, "--fgfs-props", SOCK_STREAM)) {}

PropertyClient::~PropertyClient() {
    if (fd_ >= 0) close(fd_);
}

bool PropertyClient::set(const std::string& path, const std::string& value) {
    std::string problem = property_path_problem(path);
    if (!problem.empty()) problem = "the path holds " + problem;
    else if (std::any_of(value.begin(), value.end(), is_control)) problem = "the value holds a control character";
    if (!problem.empty()) {
        std::string shown = path.substr(0, 64);
        std::replace_if(shown.begin(), shown.end(), is_control, '?');
        notes_.push_back("props " + server_.text + ": a write to " + shown + " refused: " + problem);
        return false;
    }
    if (queue_.size() >= max_queued_lines) {
        // The oldest goes: a later write of the same property supersedes it anyway.
        if (sent_of_front_ == 0) queue_.pop_front();
        else queue_.erase(queue_.begin() + 1);
        if (dropped_++ == 0)
            notes_.push_back("props " + server_.text + ": the queue is full; the oldest writes are dropped");
    }
    queue_.push_back("set " + path + " " + value + "\r\n");
    return true;
}

void PropertyClient::pump() {
    if (state_ == State::waiting && Clock::now() >= retry_at_) start_connecting();
    if (state_ == State::connecting) finish_connecting();
    if (state_ == State::connected) {
        drain_input();
        if (state_ == State::connected) send_queued();
    }
}

void PropertyClient::start_connecting() {
    fd_ = socket(server_.address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        lose(std::strerror(errno));
        return;
    }
    connect_started_ = Clock::now();
    state_ = State::connecting;
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&server_.address), server_.length) != 0 &&
        errno != EINPROGRESS) {
        lose(std::strerror(errno));
    }
}

void PropertyClient::finish_connecting() {
    pollfd waiting{.fd = fd_, .events = POLLOUT, .revents = 0};
    if (::poll(&waiting, 1, 0) <= 0) {
        if (Clock::now() - connect_started_ > std::chrono::duration<double>(connect_timeout_seconds)) {
            lose("no answer");
        }
        return;
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        lose(std::strerror(error != 0 ? error : errno));
        return;
    }
    state_ = State::connected;
    backoff_seconds_ = first_retry_seconds;
    problem_.clear();
    unasked_since_ = Clock::now();
    unasked_bytes_ = 0;
    notes_.push_back("props " + server_.text + ": connected");
    // Data mode first: no prompts, and `set` answers nothing. A line half sent on the last
    // connection is sent again whole.
    sent_of_front_ = 0;
    queue_.push_front("data\r\n");
}

void PropertyClient::send_queued() {
    while (!queue_.empty()) {
        const std::string& line = queue_.front();
        const ssize_t sent =
            send(fd_, line.data() + sent_of_front_, line.size() - sent_of_front_, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) lose(std::strerror(errno));
            return;
        }
        sent_of_front_ += static_cast<size_t>(sent);
        if (sent_of_front_ < line.size()) return;
        queue_.pop_front();
        sent_of_front_ = 0;
    }
}

// The server's answers (to nothing we ask, in data mode) are read and dropped; end of file is a
// closed connection. Bounded, so that a server that keeps sending cannot hold the panel.
void PropertyClient::drain_input() {
    char buffer[4096];
    for (size_t read = 0; read < max_read_per_pump;) {
        const ssize_t got = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0) {
            lose("closed by the server");
            return;
        }
        if (got < 0) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) lose(std::strerror(errno));
            break;
        }
        read += static_cast<size_t>(got);
        unasked_bytes_ += static_cast<size_t>(got);
    }
    if (state_ != State::connected) return;
    const Clock::time_point now = Clock::now();
    if (unasked_bytes_ > max_unasked_bytes_per_second) {
        lose("it sends without being asked: more than " + std::to_string(max_unasked_bytes_per_second >> 10) +
             " KB in a second");
        // Such a server is tried again only now and then.
        retry_at_ =
            now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(longest_retry_seconds));
        backoff_seconds_ = longest_retry_seconds;
    } else if (now - unasked_since_ >= std::chrono::seconds(1)) {
        unasked_since_ = now;
        unasked_bytes_ = 0;
    }
}

void PropertyClient::lose(const std::string& why) {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (state_ == State::connected) notes_.push_back("props " + server_.text + ": connection lost (" + why + ")");
    else if (problem_ != why) notes_.push_back("props " + server_.text + ": cannot connect (" + why + ")");
    state_ = State::waiting;
    problem_ = why;
    sent_of_front_ = 0;
    retry_at_ =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(backoff_seconds_));
    backoff_seconds_ = std::min(backoff_seconds_ * 2.0, longest_retry_seconds);
}

std::string PropertyClient::describe() const {
    const std::string name = "props " + server_.text;
    switch (state_) {
        case State::connected: return name + " connected";
        case State::connecting: return name + " connecting";
        case State::waiting: {
            if (problem_.empty()) return name + " connecting";
            const double wait = std::chrono::duration<double>(retry_at_ - Clock::now()).count();
            return name + " down (" + problem_ + "), retry in " +
                   std::to_string(static_cast<int>(std::ceil(std::max(wait, 0.0)))) + " s";
        }
    }
    return name;
}

std::vector<std::string> PropertyClient::take_notes() {
    std::vector<std::string> notes;
    notes.swap(notes_);
    return notes;
}

}  // namespace panel::live
