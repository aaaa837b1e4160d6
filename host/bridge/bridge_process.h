// A child program spoken to over pipes: its standard input and output are ours to write and
// read, its standard error is kept (the last few kilobytes) as its last words. Reads wait at
// most until a deadline and notice a child that has died even while something else holds its
// pipes open (wine's server inherits them). POSIX: posix_spawn, poll, waitpid.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace panel::bridge {

// The child cannot be reached: it has gone, closed its output, or not answered in time.
class ChildLost : public std::runtime_error {
public:
    enum class Why { ended, timed_out, unwritable };
    ChildLost(Why why, const std::string& what) : std::runtime_error(what), why(why) {}
    Why why;
};

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Starts `argv[0]` (searched in PATH) with this process's environment, in which each
    // NAME=VALUE of `environment` replaces or adds a variable. Throws std::runtime_error when
    // it cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment);
    // Ends the child as end() does.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void write(std::span<const uint8_t> bytes);
    // Exactly `into.size()` bytes of its output, or ChildLost.
    void read(std::span<uint8_t> into, Clock::time_point deadline);

    // The last lines it wrote to standard error, on one line ("" for none).
    std::string last_words();
    // How it ended ("exited with status 3", "was killed by signal 9"), once it has.
    std::optional<std::string> ended();
    // The same, waiting for it at most `within`.
    std::optional<std::string> ended_within(std::chrono::milliseconds within);
    // Closes its input and gives it `grace` to leave on its own, then asks it to stop
    // (SIGTERM), then stops it (SIGKILL); always reaps it.
    void end(std::chrono::milliseconds grace);
    pid_t pid() const { return pid_; }

private:
    void drain_errors();
    void keep_errors(const uint8_t* bytes, size_t n);

    pid_t pid_ = -1;
    int in_ = -1;                  // its standard input, our end
    int out_ = -1;                 // its standard output
    int err_ = -1;                 // its standard error
    std::optional<int> status_;    // from waitpid, once reaped
    std::vector<uint8_t> buffer_;  // read ahead from its output
    size_t buffered_from_ = 0;
    std::string errors_;  // the tail of its standard error
};

}  // namespace panel::bridge
