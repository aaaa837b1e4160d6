#include "bridge_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace panel::bridge {
namespace {

constexpr size_t kept_error_bytes = 4096;
// How often a read waiting on a silent child looks whether it is still there.
constexpr auto liveness_slice = std::chrono::milliseconds(100);

std::string describe_status(int status) {
    if (WIFEXITED(status)) return "exited with status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
    return "was stopped";
}

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Writing to a child that has gone must fail with EPIPE, not kill this process: SIGPIPE is
// held back on this thread for the write, and one it raised is taken before letting go.
class SigpipeHeld {
public:
    SigpipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        already_pending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~SigpipeHeld() {
        if (raised_ && !already_pending_) {
            const timespec none{0, 0};
            while (sigtimedwait(&pipe_, nullptr, &none) == -1 && errno == EINTR) {}
        }
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    void raised() { raised_ = true; }

private:
    sigset_t pipe_{}, old_{};
    bool already_pending_ = false;
    bool raised_ = false;
};

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    if (argv.empty()) throw std::runtime_error("no program to start");
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    if (pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]), ::close(in[1]);
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        ::close(in[0]), ::close(in[1]), ::close(out[0]), ::close(out[1]);
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    }

    // The environment: ours, with the given variables put over it.
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view line(*entry);
        const std::string_view name = line.substr(0, line.find('='));
        const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const std::string& given) {
            return given.size() > name.size() && given.compare(0, name.size(), name) == 0 && given[name.size()] == '=';
        });
        if (!replaced) env.emplace_back(line);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> env_pointers, arg_pointers;
    for (std::string& entry : env) env_pointers.push_back(entry.data());
    env_pointers.push_back(nullptr);
    std::vector<std::string> args = argv;
    for (std::string& arg : args) arg_pointers.push_back(arg.data());
    arg_pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    // A process group of its own: a Ctrl-C at the terminal stops the host, which then ends its
    // children itself once it has written what it flew, instead of killing them mid-frame.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int failed =
        posix_spawnp(&pid_, args[0].c_str(), &actions, &attributes, arg_pointers.data(), env_pointers.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    in_ = in[1];
    out_ = out[0];
    err_ = err[0];
    if (failed != 0) {
        pid_ = -1;
        close_fd(in_), close_fd(out_), close_fd(err_);
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(failed));
    }
    fcntl(err_, F_SETFL, fcntl(err_, F_GETFL) | O_NONBLOCK);
}

ChildProcess::~ChildProcess() {
    end(std::chrono::milliseconds(2000));
    close_fd(out_);
    close_fd(err_);
}

void ChildProcess::write(std::span<const uint8_t> bytes) {
    if (in_ < 0) throw ChildLost(ChildLost::Why::unwritable, "its input is closed");
    SigpipeHeld held;
    while (!bytes.empty()) {
        const ssize_t n = ::write(in_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (errno == EPIPE) held.raised();
            throw ChildLost(ChildLost::Why::unwritable, std::string("cannot write to it: ") + std::strerror(errno));
        }
        bytes = bytes.subspan(static_cast<size_t>(n));
    }
}

void ChildProcess::read(std::span<uint8_t> into, Clock::time_point deadline) {
    while (buffer_.size() - buffered_from_ < into.size()) {
        if (buffered_from_ > 0) {
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(buffered_from_));
            buffered_from_ = 0;
        }
        if (out_ < 0) throw ChildLost(ChildLost::Why::ended, "its output is closed");
        const auto now = Clock::now();
        if (now >= deadline) throw ChildLost(ChildLost::Why::timed_out, "no answer in time");
        const auto wait = std::min<Clock::duration>(deadline - now, liveness_slice);
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        const int timeout = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wait).count());
        const int ready = ::poll(fds, err_ >= 0 ? 2 : 1, timeout);
        if (ready < 0 && errno != EINTR) throw ChildLost(ChildLost::Why::ended, std::strerror(errno));
        if (ready <= 0) {
            // Silence: a child that has died is not waited for to the deadline.
            if (ended()) {
                drain_errors();
                throw ChildLost(ChildLost::Why::ended, "it has ended");
            }
            continue;
        }
        if (err_ >= 0 && fds[1].revents != 0) drain_errors();
        if (fds[0].revents != 0) {
            uint8_t chunk[65536];
            const ssize_t n = ::read(out_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                close_fd(out_);
                drain_errors();
                throw ChildLost(ChildLost::Why::ended, "its output ended");
            }
            buffer_.insert(buffer_.end(), chunk, chunk + n);
        }
    }
    std::copy_n(buffer_.begin() + static_cast<std::ptrdiff_t>(buffered_from_), into.size(), into.begin());
    buffered_from_ += into.size();
}

void ChildProcess::drain_errors() {
    uint8_t chunk[4096];
    while (err_ >= 0) {
        const ssize_t n = ::read(err_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return;  // nothing more for now
        if (n == 0) {
            close_fd(err_);
            return;
        }
        keep_errors(chunk, static_cast<size_t>(n));
    }
}

void ChildProcess::keep_errors(const uint8_t* bytes, size_t n) {
    errors_.append(reinterpret_cast<const char*>(bytes), n);
    if (errors_.size() > kept_error_bytes) errors_.erase(0, errors_.size() - kept_error_bytes);
}

std::string ChildProcess::last_words() {
    drain_errors();
    // The last three lines that say something, joined; control characters made spaces.
    std::vector<std::string> lines;
    std::string line;
    for (char c : errors_ + "\n") {
        if (c == '\n' || c == '\r') {
            const auto first = line.find_first_not_of(' ');
            if (first != std::string::npos) lines.push_back(line.substr(first));
            line.clear();
        } else {
            line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    if (lines.size() > 3) lines.erase(lines.begin(), lines.end() - 3);
    std::string words;
    for (const std::string& kept : lines) words += (words.empty() ? "" : " / ") + kept;
    if (words.size() > 400) words = "..." + words.substr(words.size() - 397);
    return words;
}

std::optional<std::string> ChildProcess::ended() {
    if (!status_ && pid_ > 0) {
        int status = 0;
        const pid_t got = ::waitpid(pid_, &status, WNOHANG);
        if (got == pid_) status_ = status;
    }
    if (status_) return describe_status(*status_);
    return std::nullopt;
}

std::optional<std::string> ChildProcess::ended_within(std::chrono::milliseconds within) {
    const auto until = Clock::now() + within;
    std::optional<std::string> how;
    while (!(how = ended()) && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return how;
}

void ChildProcess::end(std::chrono::milliseconds grace) {
    close_fd(in_);
    if (pid_ <= 0 || status_) return;
    if (ended_within(grace)) return;
    ::kill(pid_, SIGTERM);
    if (ended_within(std::chrono::milliseconds(1000))) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {}
    status_ = status;
}

}  // namespace panel::bridge
