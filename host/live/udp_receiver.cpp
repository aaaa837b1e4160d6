#include "udp_receiver.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "datagram.h"
#include "socket_address.h"

namespace panel::live {
namespace {

// Bounds the work of one poll however fast the datagrams come; the rest wait for the next.
constexpr size_t read_per_poll = 4096;

}  // namespace

UdpReceiver::UdpReceiver(const std::string& listen) : listen_(listen), buffer_(65536, '\0') {
    const SocketAddress address = resolve_address(listen, "--listen", SOCK_DGRAM);
    fd_ = socket(address.address.ss_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error("--listen " + listen + ": cannot open a socket (" + std::strerror(errno) + ")");
    if (bind(fd_, reinterpret_cast<const sockaddr*>(&address.address), address.length) != 0) {
        const std::string why = std::strerror(errno);
        close(fd_);
        throw std::runtime_error("--listen " + listen + ": cannot listen there (" + why + ")");
    }
    port_ = bound_port(fd_);
    if (listen_.ends_with(":0")) listen_ = listen_.substr(0, listen_.size() - 1) + std::to_string(port_);
}

UdpReceiver::~UdpReceiver() {
    if (fd_ >= 0) close(fd_);
}

size_t UdpReceiver::poll(double, std::vector<std::string>& into) {
    size_t arrived = 0;
    for (; arrived < read_per_poll; ++arrived) {
        // MSG_TRUNC gives the real length of one too long for the buffer.
        const ssize_t length = recv(fd_, buffer_.data(), buffer_.size(), MSG_TRUNC);
        if (length < 0) break;  // EAGAIN: nothing more waiting (or an error, tried again next frame)
        // One longer than the parser takes is handed on cut just past that length, to be refused
        // for it without the memory of a backlog of such.
        const size_t kept = std::min(static_cast<size_t>(length), max_datagram_bytes + 1);
        into.emplace_back(buffer_.data(), kept);
    }
    return arrived;
}

double UdpReceiver::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace panel::live
